#include <gtest/gtest.h>

#include "automation/DateTime.h"
#include "automation/Text.h"

using namespace fr;

TEST(DateTime, OleSerialRoundTrip) {
    EXPECT_DOUBLE_EQ(encodeDate(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(encodeDate(1900, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(encodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    auto p = decodeDateTime(-1.25);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
    double d = encodeDateTime(2024, 2, 29, 23, 59, 59, 999);
    p = decodeDateTime(d);
    EXPECT_EQ(p.year, 2024);
    EXPECT_EQ(p.month, 2);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.millisecond, 999);
    EXPECT_EQ(p.dayOfWeek, 4);  // a Thursday
    double out;
    EXPECT_FALSE(tryEncodeDateTime(2023, 2, 29, 0, 0, 0, 0, out));
}

TEST(DateTime, Patterns) {
    const auto fs = TFormatSettings::russian();
    double d = encodeDateTime(2026, 3, 7, 9, 5, 4, 12);
    struct Case { const char16_t* pattern; const char16_t* expected; };
    const Case cases[] = {
        {u"yyyy.mm.dd hh:nn:ss.zzz", u"2026.03.07 09:05:04.012"},
        {u"d/m/yy", u"7.3.26"},
        {u"hh:mm", u"09:05"},  // m after h is minutes
        {u"dddd, d mmmm", u"суббота, 7 Март"},
        {u"'at' h:nn", u"at 9:05"},
        {u"ddddd", u"07.03.2026"},
        {u"c", u"07.03.2026 9:05:04"},
    };
    for (const auto& c : cases) EXPECT_EQ(u8(formatDateTime(c.pattern, d, fs)), u8(c.expected)) << u8(c.pattern);
}
