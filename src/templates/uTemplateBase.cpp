#include "templates/uTemplateBase.h"

#include "automation/Errors.h"
#include "templates/uTemplateSection.h"

namespace fr::templates {

TBaseItem::TBaseItem(TBaseList& collection) : TemplateObj(collection.TemplateObj), FCollection(collection) {}

void TBaseItem::AssignWithSection(const TBaseItem&, TSectionItem*) { throw EError(u"Не перекрыт"); }

void TBaseItem::ApplyData(const TParams&) {}

std::u16string TBaseItem::SectionName() const { return SectionItem ? SectionItem->Name : std::u16string(); }

int32_t TBaseItem::Index() const { return FCollection.IndexOf(*this); }

TBaseList::TBaseList(TTemplateObj& owner) : TemplateObj(&owner) {}

TBaseList::TBaseList(TBaseItem& owner) : TemplateObj(owner.TemplateObj) {}

void TBaseList::ApplyData(const TParams& params) {
    for (auto& item : FItems) item->ApplyData(params);
}

int32_t TBaseList::IndexOf(const TBaseItem& item) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == &item) return static_cast<int32_t>(i);
    return -1;
}

TBaseItem& TBaseList::AddBase() {
    FItems.push_back(NewItem());
    return *FItems.back();
}

void TBaseList::AssignWithSection(const TBaseList& source, TSectionItem* newSectionItem) {
    if (&source == this) return;
    // Copies are made before the old items go: the source may be part of this very tree, and a
    // failed copy leaves the list as it was.
    std::vector<std::unique_ptr<TBaseItem>> copies;
    copies.reserve(static_cast<size_t>(source.Count()));
    for (int32_t i = 0; i < source.Count(); ++i) {
        copies.push_back(NewItem());
        copies.back()->AssignWithSection(source.BaseItem(i), newSectionItem);
    }
    FItems = std::move(copies);
}

}  // namespace fr::templates
