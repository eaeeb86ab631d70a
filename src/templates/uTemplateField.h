#pragma once
// Fields: pieces of a column's text, a fixed text or a parameter value with a prefix and a postfix.
#include <string>

#include "automation/Variant.h"
#include "templates/uTemplateBase.h"
#include "templates/uTemplateLibFormatEntries.h"

namespace fr::templates {

class TFieldItem : public TBaseItem {
public:
    using TBaseItem::TBaseItem;

    std::u16string Name;
    int32_t Type_ = 0;
    std::u16string Format, Prefix, Postfix;
    std::u16string Value;          // the text printed
    std::u16string TemplateValue;  // the template's own text, where every data row starts from
    bool Fixed = false, Predefined = false, IsParameter = false, ParamValueIsPresent = false;

    void AssignWithSection(const TBaseItem& source, TSectionItem* newSectionItem) override;
    // A parameter field takes the last value given for its name in this data row; one given none
    // shows its template text (not the value of an earlier row).
    void ApplyData(const TParams& params) override;

private:
    // Format split into entries once, not for every data row.
    const TFormatEntries& FormatEntries();
    TFormatEntries FFormatEntries;
    std::u16string FFormatEntriesOf;
    bool FFormatParsed = false;
};

class TFieldList : public TItemList<TFieldItem> {
public:
    using TItemList::TItemList;

    // One field per element of the field array (columns 0..8); `place` locates the array in errors.
    void Prepare(TSectionItem* section, const Variant& SAFields, const std::u16string& place);
    // Prefix + Value + Postfix of every field, in order.
    std::u16string GetText() const override;
    void AppendText(std::u16string& out) const;
    bool HasParameters() const;
};

}  // namespace fr::templates
