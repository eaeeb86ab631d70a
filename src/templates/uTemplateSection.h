#pragma once
// Sections: named blocks of lines that the data prints any number of times, in data order.
#include <cstdint>
#include <string>

#include "automation/Variant.h"
#include "templates/uTemplateBase.h"
#include "templates/uTemplateCompositeString.h"

namespace fr::templates {

// Printer control strings put around styled text, already as text (escape bytes as characters).
struct TControlStrings {
    std::u16string ESCBoldOn, ESCBoldOff, ESCItalicOn, ESCItalicOff, ESCUnderlineOn, ESCUnderlineOff;
    std::u16string ESCInversionOn, ESCInversionOff, ESCBarcodeOn, ESCBarcodeOff, ESCImageOn, ESCImageOff;
};

class TSectionItem : public TBaseItem {
public:
    explicit TSectionItem(TBaseList& collection) : TBaseItem(collection), CompositeStrings(*this) {}

    std::u16string Name;
    bool Fixed = false, Predefined = false;
    TCompositeStringList CompositeStrings;
    int32_t DataIndex = -1;
    int32_t MaxRowLength = 32;
    bool HasParameters = false;  // whether a data row's parameter array is read at all

    void AssignWithSection(const TBaseItem& source, TSectionItem* newSectionItem) override;
    void ApplyData(const TParams& params) override;
};

class TSectionList : public TItemList<TSectionItem> {
public:
    using TItemList::TItemList;

    std::u16string Text;  // the last output
    TControlStrings Control;

    // One section per element of the sections array (columns 0..3); rows are at least 20
    // characters wide.
    void Prepare(const Variant& SASections, int32_t MaxRowLength);
    // Prints the sections the data rows name, in data order, into Text.
    void ApplyData(const Variant& SAData);
    using TBaseList::ApplyData;
    std::u16string GetText() const override { return Text; }
    // The first section of this name (Latin and Cyrillic letter case ignored), or null.
    TSectionItem* FindSection(std::u16string_view name) const;
};

}  // namespace fr::templates
