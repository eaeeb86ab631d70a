#pragma once
// A device for the settings list editor's tests: one setting of each type, one of them read-only.
#include "automation/DateTime.h"
#include "device/uBaseDevice.h"

namespace fr::test {

inline const double kSettingsListDate = encodeDateTime(2024, 2, 1, 10, 30, 0, 0);

class TListDevice : public TBaseDevice {
protected:
    void DeclareSettings() override {
        AddSetting(u"Timeout", TDataType::dtNumber, Variant(120), false, u"Таймаут", u"Секунды ожидания");
        AddSetting(u"Cashier", TDataType::dtString, Variant(u"Иванов"), false, u"Кассир", u"Имя кассира");
        AddSetting(u"Logging", TDataType::dtBoolean, Variant(true), false, u"Лог", u"Вести лог");
        AddSetting(u"Since", TDataType::dtDateTime, Variant::date(kSettingsListDate), false, u"С даты",
                   u"Начало периода");
        AddSetting(u"Serial", TDataType::dtString, Variant(u"A-1"), true, u"Заводской номер", u"Только чтение");
    }
};
enum { rowNumber, rowString, rowBoolean, rowDate, rowReadOnly, rowCount };

}  // namespace fr::test
