#pragma once
// OLE dates: days since 1899-12-30 as a double, the fraction being the time of day.
#include <string>

#include "automation/FormatSettings.h"

namespace fr {

struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    int dayOfWeek = 0;  // 0 = Sunday
};

// Raise EVariantError for values outside the calendar (years 1..9999).
double encodeDate(int year, int month, int day);
double encodeTime(int hour, int minute, int second, int millisecond);
double encodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond);
bool tryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond, double& out);
DateParts decodeDateTime(double serial);
bool isLeapYear(int year);
int daysInMonth(int year, int month);

// The familiar picture language: d dd ddd dddd ddddd dddddd, m mm mmm mmmm (minutes after h),
// yy yyyy, h hh, n nn, s ss, z zzz, t tt, c, am/pm a/p ampm, / and : separators, quoted text.
std::u16string formatDateTime(std::u16string_view pattern, double serial, const TFormatSettings& fs);
// Short date, a blank and long time; the time is left out at midnight.
std::u16string dateTimeToText(double serial, const TFormatSettings& fs);

// Date and time in the settings' formats: "date", "date time" or "time"; false when it does not parse.
bool tryTextToDateTime(std::u16string_view text, const TFormatSettings& fs, double& out);

}  // namespace fr
