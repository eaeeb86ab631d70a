#pragma once
// Composite fields: the columns of a line, each with a width, alignments, text styles and fields.
#include <cstdint>
#include <string>

#include "templates/uTemplateBase.h"
#include "templates/uTemplateField.h"

namespace fr::templates {

class TCompositeFieldItem : public TBaseItem {
public:
    explicit TCompositeFieldItem(TBaseList& collection) : TBaseItem(collection), Fields(*this) {}

    bool Fixed = false, Resizable = false;
    int32_t Length = 0, HorizontalAlign = 0, VerticalAlign = 0, TextPlacement = 0;
    bool FontSize = false, Bold = false, Italic = false, Underline = false, Inversion = false;
    uint8_t DisplayType = 0;
    TFieldList Fields;

    // Run-time state of the layout.
    std::u16string FieldText;      // the fields' prefixes, values and postfixes joined
    std::u16string FormattedText;  // the laid-out block (rows of CurrentLength characters)
    int32_t CurrentLength = 0;

    void AssignWithSection(const TBaseItem& source, TSectionItem* newSectionItem) override;
    void ApplyData(const TParams& params) override;

    // The control strings around this column's text: bold, italic, underline, inversion, then
    // barcode or image; the "off" strings in the same order.
    std::u16string GetFormatOn() const;
    std::u16string GetFormatOff() const;
};

class TCompositeFieldList : public TItemList<TCompositeFieldItem> {
public:
    using TItemList::TItemList;

    // Columns 0..11, and DisplayType from column 12 when the array has it.
    void Prepare(TSectionItem* section, const Variant& SACompositeFields, const std::u16string& place);
    // True when no field is a parameter, or when at least one parameter received a value.
    bool ParamValuesIsPresent() const;
    bool HasParameters() const;
};

}  // namespace fr::templates
