#pragma once
// How a device describes itself to the host (GetDeviceInfo) and to the user (settings window).
#include <cstdint>
#include <string>

#include "automation/Variant.h"

namespace fr {

struct TDeviceInfoStruct {
    std::u16string TypeName;
    std::u16string ModelID;
    std::u16string ModelName;
    int32_t MajorVersion = 0;
    int32_t MinorVersion = 0;
    int32_t BuildVersion = 0;
    std::u16string ProcessorName;
    int32_t ProcessorType = 0;
    bool IsSettingsDlgExist = false;
    std::u16string Description;
    std::u16string DeveloperName;
    std::u16string CI_email;
    std::u16string CI_www;
    std::u16string CI_Phones;
    std::u16string CI_address;
    std::u16string DriverURL;          // not filled, not sent
    std::u16string DriverDescription;  // not filled, not sent
};

// The project's support contacts: the one place they are kept.
struct SupportContacts {
    static constexpr const char16_t* DeveloperName = u"Сольвикс";
    static constexpr const char16_t* Email = u"support@solvix.example";
    static constexpr const char16_t* Web = u"https://solvix.example/fr-vornlex";
    static constexpr const char16_t* Phones = u"+7 (495) 000-00-00, 8-800-000-00-00";
    static constexpr const char16_t* Address = u"Россия, 123000, Москва, ул. Примерная, д. 1";
};

// Device base defaults: type "Unknown", versions from this module's file version (first, second
// and fourth numbers), processor type 1, the support contacts.
void SetDefaultDeviceInfo(TDeviceInfoStruct& info);

// The 15-element array GetDeviceInfo returns.
Variant DeviceInfoToArray(const TDeviceInfoStruct& info);

// "%d.%d.%d" of the three version numbers.
std::u16string DeviceVersionText(const TDeviceInfoStruct& info);

// The Russian caption of an equipment type name; an unknown name comes back unchanged.
std::u16string EquipmentTypeCaption(const std::u16string& typeName);

// The contact block of the settings window.
std::u16string ContactBlockText(const TDeviceInfoStruct& info);

}  // namespace fr
