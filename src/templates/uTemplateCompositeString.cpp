#include "templates/uTemplateCompositeString.h"

#include <algorithm>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "templates/uTemplateArrayReader.h"
#include "templates/uTemplateLibLayout.h"
#include "templates/uTemplateObj.h"

namespace fr::templates {

void TCompositeStringItem::AssignWithSection(const TBaseItem& source, TSectionItem* newSectionItem) {
    const auto* src = dynamic_cast<const TCompositeStringItem*>(&source);
    if (!src) TBaseItem::AssignWithSection(source, newSectionItem);
    SectionItem = newSectionItem;
    Fixed = src->Fixed;
    MinRows = src->MinRows;
    MaxRows = src->MaxRows;
    PrintEmptyData = src->PrintEmptyData;
    CompositeFields.AssignWithSection(src->CompositeFields, newSectionItem);
}

void TCompositeStringItem::ApplyData(const TParams& params) {
    CompositeFields.ApplyData(params);
    if (CompositeFields.ParamValuesIsPresent() || PrintEmptyData) {
        ComputeColumnWidths();
        ComputeRowCount();
        RenderRows();
    } else {
        RowText.clear();
    }
}

void TCompositeStringItem::ComputeColumnWidths() {
    std::vector<TColumnLayout> columns;
    columns.reserve(static_cast<size_t>(CompositeFields.Count()));
    for (int32_t i = 0; i < CompositeFields.Count(); ++i) {
        const TCompositeFieldItem& f = CompositeFields.GetItem(i);
        columns.push_back({f.Resizable, f.Length});
    }
    const int32_t rowWidth = SectionItem ? SectionItem->MaxRowLength : 0;
    const std::vector<int32_t> widths = templates::ComputeColumnWidths(rowWidth, columns);
    for (int32_t i = 0; i < CompositeFields.Count(); ++i) CompositeFields.GetItem(i).CurrentLength = widths[static_cast<size_t>(i)];
}

void TCompositeStringItem::ComputeRowCount() {
    std::vector<TRowNeed> needs;
    needs.reserve(static_cast<size_t>(CompositeFields.Count()));
    int64_t rowWidth = 0;
    for (int32_t i = 0; i < CompositeFields.Count(); ++i) {
        const TCompositeFieldItem& f = CompositeFields.GetItem(i);
        needs.push_back({static_cast<int64_t>(f.FieldText.size()), f.CurrentLength, f.TextPlacement});
        if (f.DisplayType == dtText && f.CurrentLength > 0) rowWidth += f.CurrentLength;
    }
    CurrentRows = std::max(0, templates::ComputeRowCount(MinRows, MaxRows, needs));
    // Every row holds every text column at its full width: refuse a line that would not fit in memory.
    if (CurrentRows > 0 && rowWidth + 1 > kMaxBlockChars / CurrentRows)
        throw EError(u"Ошибка шаблона: секция «" + SectionName() + u"», " + NumberedPlace(u"составная строка", Index()) +
                     u": строка занимает " + u16(std::to_string(CurrentRows)) + u" строк по " +
                     u16(std::to_string(rowWidth)) + u" символов, больше допустимого");
}

void TCompositeStringItem::RenderRows() {
    RowText.resize(static_cast<size_t>(std::max(0, CurrentRows)));
    for (auto& row : RowText) row.clear();  // keeps the storage for the next data row
    const int32_t count = CompositeFields.Count();
    for (int32_t k = 0; k < count; ++k) {
        TCompositeFieldItem& f = CompositeFields.GetItem(k);
        if (f.DisplayType != dtText) {
            // Barcodes and images go to the printer whole, on the first row.
            const auto& t = f.FieldText;
            size_t b = 0, e = t.size();
            while (b < e && t[b] <= u' ') ++b;
            while (e > b && t[e - 1] <= u' ') --e;
            f.FormattedText = t.substr(b, e - b);
        } else {
            f.FormattedText = LayoutFieldBlock(f.FieldText, f.CurrentLength, CurrentRows, f.HorizontalAlign,
                                               f.VerticalAlign, f.TextPlacement);
        }
    }
    TTemplateObj* obj = TemplateObj;
    const bool printing = obj && obj->PrintMode;
    for (int32_t i = 0; i < CurrentRows; ++i) {
        std::u16string& line = RowText[static_cast<size_t>(i)];
        for (int32_t k = 0; k < count; ++k) {
            const TCompositeFieldItem& f = CompositeFields.GetItem(k);
            std::u16string_view piece;
            if (f.DisplayType == dtText) {
                if (f.CurrentLength > 0) {
                    const size_t from = static_cast<size_t>(f.CurrentLength) * static_cast<size_t>(i);
                    if (from < f.FormattedText.size())
                        piece = std::u16string_view(f.FormattedText).substr(from, static_cast<size_t>(f.CurrentLength));
                }
            } else if (i == 0) {
                piece = f.FormattedText;
            }
            if (piece.empty()) continue;
            line += f.GetFormatOn();
            line += piece;
            line += f.GetFormatOff();
            if (printing) obj->PrintText(std::u16string(piece), f);
        }
        if (printing) obj->NextRow();
    }
}

void TCompositeStringItem::AppendText(std::u16string& out) const {
    for (const auto& row : RowText) {
        out += row;
        out += u"\r\n";
    }
}

void TCompositeStringList::Prepare(TSectionItem* section, const Variant& SACompositeStrings, const std::u16string& place) {
    const TArrayReader a(SACompositeStrings, u"массив составных строк", u"составная строка", [&] { return place; },
                         TemplateObj->FormatSettings());
    for (int32_t r = a.FirstRow(); r <= a.LastRow(); ++r) {
        TCompositeStringItem& s = Add();
        s.SectionItem = section;
        s.Fixed = a.Bool(0, r, u"Fixed");
        s.MinRows = a.Int(1, r, u"MinRows");
        s.MaxRows = a.Int(2, r, u"MaxRows");
        s.PrintEmptyData = a.Bool(4, r, u"PrintEmptyData");
        s.CompositeFields.Prepare(section, a.Cell(3, r, u"CompositeFields"), a.ElementPlace(r) + u", колонка 3 (CompositeFields)");
    }
}

std::u16string TCompositeStringList::GetText() const {
    std::u16string out;
    AppendText(out);
    return out;
}

void TCompositeStringList::AppendText(std::u16string& out) const {
    for (int32_t i = 0; i < Count(); ++i) GetItem(i).AppendText(out);
}

bool TCompositeStringList::HasParameters() const {
    for (int32_t i = 0; i < Count(); ++i)
        if (GetItem(i).CompositeFields.HasParameters()) return true;
    return false;
}

}  // namespace fr::templates
