#pragma once
// The template tree: owning ordered lists of items, each item knowing the list that holds it, the
// template object and (below the section level) its section.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "automation/Variant.h"

namespace fr::templates {

class TTemplateObj;
class TSectionItem;
class TBaseList;

// One parameter of a data row: its name and value, read once per data row.
struct TParam {
    std::u16string Name;
    const Variant* Value = nullptr;
    int32_t Row = 0;  // index in the parameter array, for error messages
};
// The parameters of one data row, in the order given.
struct TParams {
    std::vector<TParam> Items;
    int32_t DataRow = 0;  // index in the data array, for error messages
};

class TBaseItem {
public:
    explicit TBaseItem(TBaseList& collection);
    virtual ~TBaseItem() = default;
    TBaseItem(const TBaseItem&) = delete;
    TBaseItem& operator=(const TBaseItem&) = delete;

    TBaseList& Collection() const { return FCollection; }
    TSectionItem* SectionItem = nullptr;
    TTemplateObj* TemplateObj = nullptr;

    // Deep copy of the template attributes of an item of the same class, re-parented to
    // newSectionItem; any other source fails with "Не перекрыт".
    virtual void AssignWithSection(const TBaseItem& source, TSectionItem* newSectionItem);
    virtual void ApplyData(const TParams& params);
    std::u16string SectionName() const;
    // Position in the holding list.
    int32_t Index() const;

private:
    TBaseList& FCollection;
};

class TBaseList {
public:
    explicit TBaseList(TTemplateObj& owner);
    explicit TBaseList(TBaseItem& owner);  // the template object is the item's
    virtual ~TBaseList() = default;
    TBaseList(const TBaseList&) = delete;
    TBaseList& operator=(const TBaseList&) = delete;

    TTemplateObj* TemplateObj = nullptr;

    virtual void ApplyData(const TParams& params);
    virtual std::u16string GetText() const { return {}; }

    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TBaseItem& BaseItem(int32_t i) const { return *FItems.at(static_cast<size_t>(i)); }
    int32_t IndexOf(const TBaseItem& item) const;  // -1 when not held here
    void Clear() { FItems.clear(); }
    // Replaces this list's items by copies of the source's, re-parented to newSectionItem.
    void AssignWithSection(const TBaseList& source, TSectionItem* newSectionItem);

protected:
    // A new item of this list's item class (not yet added).
    virtual std::unique_ptr<TBaseItem> NewItem() = 0;
    TBaseItem& AddBase();

private:
    std::vector<std::unique_ptr<TBaseItem>> FItems;
};

// A list of one item class with typed access.
template <class TItem>
class TItemList : public TBaseList {
public:
    using TBaseList::TBaseList;
    TItem& Add() { return static_cast<TItem&>(AddBase()); }
    TItem& GetItem(int32_t i) const { return static_cast<TItem&>(BaseItem(i)); }

protected:
    std::unique_ptr<TBaseItem> NewItem() override { return std::make_unique<TItem>(*this); }
};

}  // namespace fr::templates
