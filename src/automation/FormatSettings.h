#pragma once
// Process-wide formats for numbers, dates and times. Every formatting function takes the settings
// as an argument with the process value as default, so tests state their locale.
#include <array>
#include <string>

namespace fr {

struct TFormatSettings {
    char16_t DecimalSeparator = u',';
    char16_t ThousandSeparator = u'\u00A0';
    char16_t DateSeparator = u'.';
    char16_t TimeSeparator = u':';
    std::u16string ShortDateFormat = u"dd.mm.yyyy";
    std::u16string LongDateFormat = u"d mmmm yyyy 'г.'";
    std::u16string ShortTimeFormat = u"h:nn";
    std::u16string LongTimeFormat = u"h:nn:ss";
    std::u16string TimeAMString;
    std::u16string TimePMString;
    std::array<std::u16string, 12> ShortMonthNames;
    std::array<std::u16string, 12> LongMonthNames;
    std::array<std::u16string, 7> ShortDayNames;  // Sunday first
    std::array<std::u16string, 7> LongDayNames;

    // Russian defaults: what the native build starts from.
    static TFormatSettings russian();
    // Invariant-style settings with "." as decimal separator (for tests and machine formats).
    static TFormatSettings invariant();
};

// The process value: starts from the user's locale, may be replaced once by the driver.
// Reads are lock-free after the value has been published.
const TFormatSettings& processFormatSettings();
void setProcessFormatSettings(const TFormatSettings& fs);

}  // namespace fr
