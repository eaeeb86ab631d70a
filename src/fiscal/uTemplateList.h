#pragma once
// The document templates hosts upload: kept in memory for the life of the process, in one list
// shared by every driver object, told apart by the device ID of the object that stored them.
#include <cstdint>
#include <string>

#include "automation/Variant.h"

namespace fr {

struct TTemplateItem {
    int32_t TemplateNumber = 0;
    std::u16string InstanceID;  // device ID of the driver object that stored it
    std::u16string TemplateDescription;
    Variant Sections;           // the template array, as given
};

// The process's list. Driver objects living on different threads use it at once, so every access
// takes its lock; entries are never removed.
class TTemplateList {
public:
    static TTemplateList& Instance();

    // Replaces the entry of the same number and device ID (case ignored) in place, or appends one.
    void Store(const TTemplateItem& item);
    // A copy of the entry, or false.
    bool Find(int32_t TemplateNumber, const std::u16string& InstanceID, TTemplateItem& item) const;
    int32_t Count() const;
};

// Always 0.
int32_t StoreTemplate(int32_t TemplateNumber, const std::u16string& TemplateDescription, const Variant& Sections,
                      const std::u16string& InstanceID);
// 0 with a copy of the stored array and description, or 3007 (Sections Empty, description empty).
// Number 0 is the built-in template, which this module does not carry: always 3007.
int32_t FindTemplate(int32_t TemplateNumber, Variant& Sections, std::u16string& TemplateDescription,
                     const std::u16string& InstanceID);

}  // namespace fr
