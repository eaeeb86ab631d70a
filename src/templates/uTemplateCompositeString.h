#pragma once
// Composite strings: one line of a section, laid out as a block of text rows.
#include <cstdint>
#include <string>
#include <vector>

#include "templates/uTemplateBase.h"
#include "templates/uTemplateCompositeField.h"

namespace fr::templates {

class TCompositeStringItem : public TBaseItem {
public:
    explicit TCompositeStringItem(TBaseList& collection) : TBaseItem(collection), CompositeFields(*this) {}

    bool Fixed = false;
    int32_t MinRows = 0, MaxRows = 0;
    bool PrintEmptyData = false;
    TCompositeFieldList CompositeFields;

    // Run-time state of the layout.
    std::vector<std::u16string> RowText;  // the rendered rows
    int32_t CurrentRows = 0;
    bool DataIsPresent = false;

    void AssignWithSection(const TBaseItem& source, TSectionItem* newSectionItem) override;
    // Applies the data row to the columns, then renders the line when it received a value (or
    // prints regardless, PrintEmptyData); otherwise the line contributes nothing.
    void ApplyData(const TParams& params) override;

    // The layout steps, in this order.
    void ComputeColumnWidths();
    void ComputeRowCount();
    void RenderRows();

    // Each row followed by CR LF.
    void AppendText(std::u16string& out) const;
};

class TCompositeStringList : public TItemList<TCompositeStringItem> {
public:
    using TItemList::TItemList;

    void Prepare(TSectionItem* section, const Variant& SACompositeStrings, const std::u16string& place);
    std::u16string GetText() const override;
    void AppendText(std::u16string& out) const;
    bool HasParameters() const;
};

}  // namespace fr::templates
