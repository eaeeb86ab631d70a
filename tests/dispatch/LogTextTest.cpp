// How values look in the debug log.
#include <gtest/gtest.h>

#include "automation/DateTime.h"
#include "automation/Text.h"
#include "dispatch/uLogText.h"
#include "dispatch/uSettings.h"

using namespace fr;

TEST(LogText, ValuesAsTheLogShowsThem) {
    const auto fs = TFormatSettings::russian();
    struct Case { const char* name; Variant v; const char* expected; };
    const Case cases[] = {
        {"empty", Variant(), "EMPTY"},
        {"null", Variant::null(), "NULL"},
        {"i2", Variant::ofInt(VarType::I2, -3), "-3"},
        {"i4", Variant(120), "120"},
        {"r8", Variant(1.5), "1,5"},
        {"r4", Variant::ofReal4(0.5f), "0,5"},
        {"currency", Variant::currency(12345), "1,2345"},
        {"boolean", Variant(true), "True"},
        {"date", Variant::date(encodeDateTime(2026, 12, 9, 10, 0, 0, 0)), "09.12.2026 10:00:00"},
        {"text with a line break", Variant(u"a\r\nб"), "'a\\nб'"},
        {"byte 65", Variant::ofInt(VarType::UI1, 65), "A"},
        {"i8 is nothing", Variant::ofInt(VarType::I8, 5), ""},
        {"ui4 is nothing", Variant::ofInt(VarType::UI4, 5), ""},
        {"i1 is nothing", Variant::ofInt(VarType::I1, 5), ""},
        {"error is nothing", Variant::error(3), ""},
        {"1-d array", Variant(VariantArray::vector({Variant(1), Variant(u"a"), Variant()})), "[(1; 'a'; EMPTY)]"},
        {"array without data", Variant(VariantArray()), "EMPTY"},
    };
    for (const auto& c : cases) EXPECT_EQ(u8(VariantToLogText(c.v, fs)), c.expected) << c.name;
}

TEST(LogText, TwoDimensionsRunTheFirstIndexInside) {
    VariantArray a = VariantArray::matrix(2, 2);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) a.at({i, j}) = Variant(1 + i + 2 * j);
    EXPECT_EQ(u8(ArrayToLogText(Variant(a))), "[((1; 2)(3; 4))]");
}

TEST(LogText, SettingsArrayNestsOneGroupPerSetting) {
    TSettingList list;
    list.AddSetting(u"A", TDataType::dtNumber, Variant(1), false, u"n", u"d");
    list.AddSetting(u"B", TDataType::dtBoolean, Variant(false), true, u"m", u"e");
    EXPECT_EQ(u8(VariantToLogText(list.ToExchangeArray(), TFormatSettings::russian())),
              "[([(('A'; 1; 'Number'; 1; False; 'n'; 'd')('B'; False; 'Boolean'; False; True; 'm'; 'e'))])]");
}
