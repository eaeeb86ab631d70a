#include "templates/uTemplateField.h"

#include "automation/Errors.h"
#include "automation/Text.h"
#include "templates/uNameCase.h"
#include "templates/uTemplateArrayReader.h"
#include "templates/uTemplateLibConvert.h"
#include "templates/uTemplateLibFormat.h"
#include "templates/uTemplateObj.h"

namespace fr::templates {

void TFieldItem::AssignWithSection(const TBaseItem& source, TSectionItem* newSectionItem) {
    const auto* src = dynamic_cast<const TFieldItem*>(&source);
    if (!src) TBaseItem::AssignWithSection(source, newSectionItem);
    SectionItem = newSectionItem;
    Name = src->Name;
    Type_ = src->Type_;
    Format = src->Format;
    Prefix = src->Prefix;
    Postfix = src->Postfix;
    Value = src->Value;
    TemplateValue = src->TemplateValue;
    Fixed = src->Fixed;
    Predefined = src->Predefined;
    IsParameter = src->IsParameter;
}

const TFormatEntries& TFieldItem::FormatEntries() {
    if (!FFormatParsed || FFormatEntriesOf != Format) {
        FFormatEntries = TFormatEntries(Format);
        FFormatEntriesOf = Format;
        FFormatParsed = true;
    }
    return FFormatEntries;
}

void TFieldItem::ApplyData(const TParams& params) {
    ParamValueIsPresent = false;
    if (!IsParameter) return;
    const TFormatSettings& fs = TemplateObj->FormatSettings();
    for (const TParam& p : params.Items) {
        if (!SameName(p.Name, Name)) continue;
        Variant converted;
        try {
            converted = ConvertFieldValue(*p.Value, Type_, fs);
        } catch (const EError& e) {
            throw EError(u"Ошибка данных: " + NumberedPlace(u"строка", params.DataRow) + u" (секция «" + SectionName() +
                         u"»), " + NumberedPlace(u"параметр", p.Row) + u" «" + p.Name + u"»: " + e.message());
        }
        Value = FormatFieldValue(converted, Type_, FormatEntries(), fs);
        ParamValueIsPresent = true;
    }
    if (!ParamValueIsPresent) Value = TemplateValue;
}

void TFieldList::Prepare(TSectionItem* section, const Variant& SAFields, const std::u16string& place) {
    const TFormatSettings& fs = TemplateObj->FormatSettings();
    const TArrayReader a(SAFields, u"массив полей", u"поле", [&] { return place; }, fs);
    for (int32_t r = a.FirstRow(); r <= a.LastRow(); ++r) {
        TFieldItem& f = Add();
        f.SectionItem = section;
        f.Name = a.Text(0, r, u"Name");
        f.Fixed = a.Bool(1, r, u"Fixed");
        f.Predefined = a.Bool(2, r, u"Predefined");
        f.Type_ = a.Int(3, r, u"Type");
        f.Format = a.Text(4, r, u"Format");
        f.IsParameter = a.Bool(5, r, u"IsParameter");
        f.Prefix = a.Text(6, r, u"Prefix");
        f.Postfix = a.Text(7, r, u"Postfix");
        const Variant& raw = a.Cell(8, r, u"Value");
        try {
            f.TemplateValue = LenientText(ConvertFieldValue(raw, f.Type_, fs), fs);
        } catch (const EError& e) {
            a.Fail(8, r, u"Value", e.message());
        }
        f.Value = f.TemplateValue;
    }
}

std::u16string TFieldList::GetText() const {
    std::u16string out;
    AppendText(out);
    return out;
}

void TFieldList::AppendText(std::u16string& out) const {
    for (int32_t i = 0; i < Count(); ++i) {
        const TFieldItem& f = GetItem(i);
        out += f.Prefix;
        out += f.Value;
        out += f.Postfix;
    }
}

bool TFieldList::HasParameters() const {
    for (int32_t i = 0; i < Count(); ++i)
        if (GetItem(i).IsParameter) return true;
    return false;
}

}  // namespace fr::templates
