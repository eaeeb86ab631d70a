#include "dispatch/uSettings.h"

#include "automation/DateTime.h"
#include "automation/NumberText.h"
#include "automation/Text.h"

namespace fr {

std::u16string DataTypeName(TDataType type) {
    switch (type) {
        case TDataType::dtNumber: return u"Number";
        case TDataType::dtString: return u"String";
        case TDataType::dtDateTime: return u"Date";
        case TDataType::dtBoolean: return u"Boolean";
    }
    return u"String";
}

Variant TextToSettingValue(TDataType type, const std::u16string& text, const TFormatSettings& fs) {
    switch (type) {
        case TDataType::dtNumber: {
            double d = 0;
            return Variant(tryTextToDouble(text, fs, d) ? d : 0.0);
        }
        case TDataType::dtDateTime: {
            double d = 0;
            if (tryTextToDateTime(text, fs, d)) return Variant::date(d);
            return Variant(text);
        }
        case TDataType::dtBoolean: return Variant(sameTextAscii(text, u"True"));
        case TDataType::dtString: break;
    }
    return Variant(text);
}

void TSettingList::AddSetting(const std::u16string& id, TDataType type, const Variant& def, bool readOnly,
                              const std::u16string& name, const std::u16string& description) {
    if (TSettingStruct* s = Find(id)) {
        s->Value = def;
        s->Default = def;
        s->ReadOnly = readOnly;
        s->Description = description;
        return;
    }
    FItems.push_back({id, def, type, def, readOnly, name, description});
}

Variant TSettingList::GetSettingValue(const std::u16string& id, bool defaultValue) const {
    const TSettingStruct* s = Find(id);
    if (!s) return Variant();
    return defaultValue ? s->Default : s->Value;
}

bool TSettingList::GetSettingValueBool(const std::u16string& id) const { return GetSettingValue(id).toBool(); }
int32_t TSettingList::GetSettingValueInt(const std::u16string& id) const { return GetSettingValue(id).toInt(); }
int64_t TSettingList::GetSettingValueCurr(const std::u16string& id) const { return GetSettingValue(id).toCurrency(); }
double TSettingList::GetSettingValueDbl(const std::u16string& id) const { return GetSettingValue(id).toDouble(); }
std::u16string TSettingList::GetSettingValueStr(const std::u16string& id) const { return GetSettingValue(id).toText(); }
double TSettingList::GetSettingValueDate(const std::u16string& id) const { return GetSettingValue(id).toDate(); }

bool TSettingList::GetSettingReadOnly(const std::u16string& id) const {
    const TSettingStruct* s = Find(id);
    return s && s->ReadOnly;
}

void TSettingList::SetSettingValue(const std::u16string& id, const Variant& value) {
    if (TSettingStruct* s = Find(id)) s->Value = value;
}

void TSettingList::SetAllSettingsDefault() {
    for (auto& s : FItems) s.Value = s.Default;
}

TSettingStruct* TSettingList::GetSetting(int index) {
    return index < 0 || index >= SettingsCount() ? nullptr : &FItems[static_cast<size_t>(index)];
}
const TSettingStruct* TSettingList::GetSetting(int index) const {
    return index < 0 || index >= SettingsCount() ? nullptr : &FItems[static_cast<size_t>(index)];
}

TSettingStruct* TSettingList::Find(const std::u16string& id) {
    for (auto& s : FItems)
        if (sameTextAscii(s.ID, id)) return &s;
    return nullptr;
}
const TSettingStruct* TSettingList::Find(const std::u16string& id) const {
    for (const auto& s : FItems)
        if (sameTextAscii(s.ID, id)) return &s;
    return nullptr;
}

Variant TSettingList::ToExchangeArray() const {
    VariantArray table = VariantArray::matrix(7, static_cast<uint32_t>(FItems.size()));
    for (size_t k = 0; k < FItems.size(); ++k) {
        const auto& s = FItems[k];
        int32_t j = static_cast<int32_t>(k);
        table.at({0, j}) = Variant(s.ID);
        table.at({1, j}) = s.Value;
        table.at({2, j}) = Variant(DataTypeName(s.ValueType));
        table.at({3, j}) = s.Default;
        table.at({4, j}) = Variant(s.ReadOnly);
        table.at({5, j}) = Variant(s.Name);
        table.at({6, j}) = Variant(s.Description);
    }
    return Variant(VariantArray::vector({Variant(std::move(table))}));
}

bool TSettingList::ApplyExchangeArray(const Variant& inData) {
    if (!inData.isArray()) return false;
    const VariantArray& outer = inData.array();
    if (outer.dimCount() < 1 || !outer.contains({0})) return false;
    const Variant& tableVar = outer.at({0});
    if (!tableVar.isArray()) return false;
    const VariantArray& table = tableVar.array();
    // Rows 0 (IDs) and 1 (values) must both be there.
    if (table.dimCount() != 2 || table.lowBound(1) > 0 || table.highBound(1) < 1) return false;
    // Read every ID first: a row whose ID cannot be read as text fails before anything changes.
    const int32_t row = 0;
    std::vector<std::pair<TSettingStruct*, const Variant*>> writes;
    for (int32_t k = table.lowBound(2); k <= table.highBound(2); ++k) {
        std::u16string id = table.at({row, k}).toText();
        if (TSettingStruct* s = Find(id)) writes.emplace_back(s, &table.at({row + 1, k}));
    }
    for (auto& [s, v] : writes) s->Value = *v;
    return true;
}

}  // namespace fr
