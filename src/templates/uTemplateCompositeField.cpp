#include "templates/uTemplateCompositeField.h"

#include "templates/uTemplateArrayReader.h"
#include "templates/uTemplateObj.h"

namespace fr::templates {

void TCompositeFieldItem::AssignWithSection(const TBaseItem& source, TSectionItem* newSectionItem) {
    const auto* src = dynamic_cast<const TCompositeFieldItem*>(&source);
    if (!src) TBaseItem::AssignWithSection(source, newSectionItem);
    SectionItem = newSectionItem;
    Fixed = src->Fixed;
    Resizable = src->Resizable;
    Length = src->Length;
    HorizontalAlign = src->HorizontalAlign;
    VerticalAlign = src->VerticalAlign;
    TextPlacement = src->TextPlacement;
    FontSize = src->FontSize;
    Bold = src->Bold;
    Italic = src->Italic;
    Underline = src->Underline;
    Inversion = src->Inversion;
    DisplayType = src->DisplayType;
    Fields.AssignWithSection(src->Fields, newSectionItem);
}

void TCompositeFieldItem::ApplyData(const TParams& params) {
    Fields.ApplyData(params);
    FieldText.clear();  // keeps the storage for the next data row
    Fields.AppendText(FieldText);
}

namespace {
const TSectionList* sectionListOf(const TCompositeFieldItem& field) {
    if (!field.SectionItem) return nullptr;
    return dynamic_cast<const TSectionList*>(&field.SectionItem->Collection());
}
}  // namespace

std::u16string TCompositeFieldItem::GetFormatOn() const {
    const TSectionList* s = sectionListOf(*this);
    if (!s) return {};
    const TControlStrings& c = s->Control;
    std::u16string out;
    if (Bold) out += c.ESCBoldOn;
    if (Italic) out += c.ESCItalicOn;
    if (Underline) out += c.ESCUnderlineOn;
    if (Inversion) out += c.ESCInversionOn;
    if (DisplayType == 1) out += c.ESCBarcodeOn;
    else if (DisplayType == 2) out += c.ESCImageOn;
    return out;
}

std::u16string TCompositeFieldItem::GetFormatOff() const {
    const TSectionList* s = sectionListOf(*this);
    if (!s) return {};
    const TControlStrings& c = s->Control;
    std::u16string out;
    if (Bold) out += c.ESCBoldOff;
    if (Italic) out += c.ESCItalicOff;
    if (Underline) out += c.ESCUnderlineOff;
    if (Inversion) out += c.ESCInversionOff;
    if (DisplayType == 1) out += c.ESCBarcodeOff;
    else if (DisplayType == 2) out += c.ESCImageOff;
    return out;
}

void TCompositeFieldList::Prepare(TSectionItem* section, const Variant& SACompositeFields, const std::u16string& place) {
    const TArrayReader a(SACompositeFields, u"массив составных полей", u"составное поле", [&] { return place; },
                         TemplateObj->FormatSettings());
    for (int32_t r = a.FirstRow(); r <= a.LastRow(); ++r) {
        TCompositeFieldItem& f = Add();
        f.SectionItem = section;
        f.Fixed = a.Bool(0, r, u"Fixed");
        f.Resizable = a.Bool(1, r, u"Resizable");
        f.Length = a.Int(2, r, u"Length");
        f.HorizontalAlign = a.Int(3, r, u"HorizontalAlign");
        f.VerticalAlign = a.Int(4, r, u"VerticalAlign");
        f.TextPlacement = a.Int(5, r, u"TextPlacement");
        f.FontSize = a.Int(6, r, u"Size") != 0;
        f.Bold = a.Bool(7, r, u"Bold");
        f.Italic = a.Bool(8, r, u"Italic");
        f.Underline = a.Bool(9, r, u"Underline");
        f.Inversion = a.Bool(10, r, u"Inversion");
        // The display type travels as a byte.
        f.DisplayType = a.HasCell(12, r) ? static_cast<uint8_t>(a.Int(12, r, u"DisplayType")) : 0;
        f.Fields.Prepare(section, a.Cell(11, r, u"Fields"), a.ElementPlace(r) + u", колонка 11 (Fields)");
    }
}

bool TCompositeFieldList::ParamValuesIsPresent() const {
    bool anyParameter = false;
    for (int32_t i = 0; i < Count(); ++i) {
        const TFieldList& fields = GetItem(i).Fields;
        for (int32_t k = 0; k < fields.Count(); ++k) {
            const TFieldItem& f = fields.GetItem(k);
            if (!f.IsParameter) continue;
            if (f.ParamValueIsPresent) return true;
            anyParameter = true;
        }
    }
    return !anyParameter;
}

bool TCompositeFieldList::HasParameters() const {
    for (int32_t i = 0; i < Count(); ++i)
        if (GetItem(i).Fields.HasParameters()) return true;
    return false;
}

}  // namespace fr::templates
