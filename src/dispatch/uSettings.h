#pragma once
// The typed settings store: an ordered list of named values that classes declare while the object
// is initialised and the host reads and writes as a variant array.
#include <string>
#include <vector>

#include "automation/FormatSettings.h"
#include "automation/Variant.h"

namespace fr {

enum class TDataType { dtNumber = 0, dtString = 1, dtDateTime = 2, dtBoolean = 3 };

// "Number", "String", "Date", "Boolean".
std::u16string DataTypeName(TDataType type);

struct TSettingStruct {
    std::u16string ID;
    Variant Value;
    TDataType ValueType = TDataType::dtString;
    Variant Default;
    bool ReadOnly = false;
    std::u16string Name;
    std::u16string Description;
};

// An edited text turned into a value of the setting's type (the settings list editor).
Variant TextToSettingValue(TDataType type, const std::u16string& text,
                           const TFormatSettings& fs = processFormatSettings());

class TSettingList {
public:
    // Declares a setting; a second declaration replaces Value, Default, ReadOnly and Description
    // and keeps the first Name and ValueType.
    void AddSetting(const std::u16string& id, TDataType type, const Variant& def, bool readOnly,
                    const std::u16string& name, const std::u16string& description);

    Variant GetSettingValue(const std::u16string& id, bool defaultValue = false) const;
    bool GetSettingValueBool(const std::u16string& id) const;
    int32_t GetSettingValueInt(const std::u16string& id) const;
    int64_t GetSettingValueCurr(const std::u16string& id) const;  // scaled by 10 000
    double GetSettingValueDbl(const std::u16string& id) const;
    std::u16string GetSettingValueStr(const std::u16string& id) const;
    double GetSettingValueDate(const std::u16string& id) const;
    bool GetSettingReadOnly(const std::u16string& id) const;
    // Stores the value as given; an unknown ID is ignored.
    void SetSettingValue(const std::u16string& id, const Variant& value);
    void SetAllSettingsDefault();

    int SettingsCount() const { return static_cast<int>(FItems.size()); }
    // The setting at a position, or nullptr outside 0..count-1.
    TSettingStruct* GetSetting(int index);
    const TSettingStruct* GetSetting(int index) const;
    // The first setting with this ID (ASCII letters compared without case), or nullptr.
    TSettingStruct* Find(const std::u16string& id);
    const TSettingStruct* Find(const std::u16string& id) const;

    // The GetSettings exchange form: a one-element array holding [0..6, 0..N-1].
    Variant ToExchangeArray() const;
    // Writes Value of every named setting from a SetSettings array. The shape is checked first
    // (an array whose element 0 is a two-dimensional array with rows 0 and 1), so a bad
    // array changes nothing; returns false then.
    bool ApplyExchangeArray(const Variant& inData);

    const std::vector<TSettingStruct>& items() const { return FItems; }

private:
    std::vector<TSettingStruct> FItems;
};

}  // namespace fr
