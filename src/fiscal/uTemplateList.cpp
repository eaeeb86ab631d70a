#include "fiscal/uTemplateList.h"

#include <mutex>
#include <vector>

#include "dispatch/uEquipmentErrors.h"
#include "templates/uNameCase.h"

namespace fr {

namespace {
struct TStore {
    std::mutex lock;
    std::vector<TTemplateItem> items;
};
// Made on first use and kept until the module unloads.
TStore& store() {
    static TStore s;
    return s;
}
bool sameKey(const TTemplateItem& i, int32_t number, const std::u16string& instanceID) {
    return i.TemplateNumber == number && templates::SameName(i.InstanceID, instanceID);
}
}  // namespace

TTemplateList& TTemplateList::Instance() {
    static TTemplateList list;
    return list;
}

void TTemplateList::Store(const TTemplateItem& item) {
    TStore& s = store();
    std::lock_guard guard(s.lock);
    for (TTemplateItem& i : s.items)
        if (sameKey(i, item.TemplateNumber, item.InstanceID)) {
            i = item;
            return;
        }
    s.items.push_back(item);
}

bool TTemplateList::Find(int32_t TemplateNumber, const std::u16string& InstanceID, TTemplateItem& item) const {
    TStore& s = store();
    std::lock_guard guard(s.lock);
    for (const TTemplateItem& i : s.items)
        if (sameKey(i, TemplateNumber, InstanceID)) {
            item = i;
            return true;
        }
    return false;
}

int32_t TTemplateList::Count() const {
    TStore& s = store();
    std::lock_guard guard(s.lock);
    return static_cast<int32_t>(s.items.size());
}

int32_t StoreTemplate(int32_t TemplateNumber, const std::u16string& TemplateDescription, const Variant& Sections,
                      const std::u16string& InstanceID) {
    TTemplateList::Instance().Store(TTemplateItem{TemplateNumber, InstanceID, TemplateDescription, Sections});
    return rcOK;
}

int32_t FindTemplate(int32_t TemplateNumber, Variant& Sections, std::u16string& TemplateDescription,
                     const std::u16string& InstanceID) {
    Sections = Variant();
    TemplateDescription.clear();
    TTemplateItem item;
    if (TemplateNumber != 0 && TTemplateList::Instance().Find(TemplateNumber, InstanceID, item)) {
        Sections = item.Sections;
        TemplateDescription = item.TemplateDescription;
    }
    return Sections.isArray() ? rcOK : rcTemplateNotFound;
}

}  // namespace fr
