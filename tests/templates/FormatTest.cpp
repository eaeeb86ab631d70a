// Field values: conversion to the field's type and formatting by the format string.
#include <gtest/gtest.h>

#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "automation/Text.h"
#include "templates/uTemplateLib.h"

using namespace fr;
using namespace fr::templates;

namespace {

TFormatSettings withDs(char16_t ds) {
    TFormatSettings fs = TFormatSettings::russian();
    fs.DecimalSeparator = ds;
    return fs;
}

std::string fmt(const Variant& raw, int type, std::u16string_view format, char16_t ds = u',') {
    const TFormatSettings fs = withDs(ds);
    return u8(FormatFieldValue(ConvertFieldValue(raw, type, fs), type, format, fs));
}

struct NumberCase {
    double value;
    const char16_t* format;
    char16_t ds;
    const char* expected;
};

TEST(FormatFieldValue, NumberKeys) {
    const NumberCase cases[] = {
        {1234.5, u"ЧЦ=10;ЧДЦ=2", u',', "   1234,50"},
        {1234.5, u"ЧЦ=10;ЧДЦ=2;ЧВН=", u',', "0001234,50"},
        {1234.5, u"ЧЦ=10;ЧДЦ=2;ЧРД=.", u',', "   1234.50"},
        {1234.5, u"ND=10;NFD=2", u'.', "   1234.50"},
        {1234.5, u"NFD=1;NDS=,", u'.', "1234,5"},
        {3.7, u"ND=6", u',', "     4"},
        {5, u"NFD=2", u',', "5,00"},
        {-5, u"ND=7;NFD=2;NLZ=", u',', "00-5,00"},
        // A blank after ";" belongs to the key: " ЧДЦ" is no key, so no decimals.
        {1234.5, u"ЧЦ=10; ЧДЦ=2", u',', "      1235"},
        // Keys ignore letter case in both alphabets; the first of a repeated key counts.
        {1.5, u"nd=4;nfd=1", u',', " 1,5"},
        {1.5, u"чц=4;чдц=1", u',', " 1,5"},
        {1.5, u"ND=5;ND=8", u',', "    2"},
        // A Latin key that is not an integer falls back to the Cyrillic one.
        {1.5, u"ND=x;ЧЦ=3", u',', "  2"},
        // Ties away from zero on the exact decimal expansion.
        {0.125, u"NFD=2", u',', "0,13"},
        {-0.125, u"NFD=2", u',', "-0,13"},
        {2.5, u"ND=0", u',', "3"},
        {-2.5, u"ND=0", u',', "-3"},
        {1.005, u"NFD=2", u',', "1,00"},    // 1.00499999999999989...
        {9.995, u"NFD=2", u',', "9,99"},    // 9.99499999999999921...
        {999.995, u"NFD=2", u',', "1000,00"},  // 999.995000000000004547...
        {-0.001, u"NFD=2", u',', "0,00"},   // no "-0"
        {1e20, u"NFD=1", u',', "100000000000000000000,0"},
        {1e23, u"NFD=0", u',', "99999999999999991611392"},  // every digit, not 17 and zeros
        {1234.5, u"", u',', "1234,5"},      // no format: the default text
        {1234.5, u"ЧЦ", u',', "1234,5"},    // an entry without "=" has no key
        {0.1, u"NFD=20", u'.', "0.10000000000000000555"},
        // Widths beyond what a field can be are refused: the text stays as it was.
        {1234.5, u"ND=1000000", u',', "1234,5"},
        {1234.5, u"NFD=99999999;ЧРД=.", u',', "1234,5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fmt(Variant(c.value), ftNumber, c.format, c.ds), c.expected) << u8(c.format) << " on " << c.value;
    // More places than the stack buffer holds.
    EXPECT_EQ(fmt(Variant(0.5), ftNumber, u"NFD=600", u'.'), "0.5" + std::string(599, '0'));
}

TEST(FormatFieldValue, ExpressionComputesThePrintedNumber) {
    const NumberCase cases[] = {
        {1234.5, u"EXPR=V*2;NFD=2", u',', "2469,00"},
        {1234.5, u"EXPR=V*2", u',', "2469"},
        {1234.5, u"EXPR=V*2", u'.', "2469"},
        {1234.5, u"expr=v/2", u',', "617,25"},     // key and V in any case
        {1234.5, u"EXPR=V*", u',', "Error"},       // does not parse: nothing else applies
        {1234.5, u"EXPR=V*;ND=10", u',', "Error"},
        {1234.5, u"EXPR=V/0", u',', "0"},          // a computation error gives 0
        {1234.5, u"EXPR=V+unknown", u',', "0"},
        {1234.5, u"EXPR=", u',', "1234,5"},        // empty: the value itself
        {1234.5, u"EXPR=  ;NFD=1", u',', "1234,5"},
        {-3, u"EXPR=2-V", u',', "5"},              // a negative value keeps its sign
        {1e-5, u"EXPR=V*1000000", u',', "10"},     // exponent text of the value reads back
        // ";" ends the entry, so a function takes its arguments with ", " (a comma ending a number
        // separates arguments when the decimal separator is a comma).
        {10, u"EXPR=max(V, 20)+1,5", u',', "21,5"},
        {10.5, u"EXPR=max(V, 2)", u',', "10,5"},
        {10, u"EXPR=max(V;20)", u',', "Error"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fmt(Variant(c.value), ftNumber, c.format, c.ds), c.expected) << u8(c.format) << " on " << c.value;
}

TEST(ConvertFieldValue, ByType) {
    const TFormatSettings comma = withDs(u','), point = withDs(u'.');
    for (const auto* fs : {&comma, &point}) {
        EXPECT_EQ(ConvertFieldValue(Variant(u"12.5"), ftNumber, *fs), Variant(12.5));
        EXPECT_EQ(ConvertFieldValue(Variant(u"12,5"), ftNumber, *fs), Variant(12.5));
        EXPECT_EQ(ConvertFieldValue(Variant(u"1 234,5"), ftNumber, *fs), Variant(0.0));  // grouping is not read
        EXPECT_EQ(ConvertFieldValue(Variant(u"abc"), ftNumber, *fs), Variant(0.0));
    }
    EXPECT_EQ(ConvertFieldValue(Variant(true), ftNumber, comma), Variant(-1.0));
    EXPECT_EQ(ConvertFieldValue(Variant(7), ftText, comma), Variant(u"7"));
    EXPECT_EQ(ConvertFieldValue(Variant(1234.5), ftString, comma), Variant(u"1234,5"));
    EXPECT_EQ(ConvertFieldValue(Variant(true), ftText, comma), Variant(u"True"));
    EXPECT_EQ(ConvertFieldValue(Variant::null(), ftText, comma), Variant(u""));
    EXPECT_EQ(ConvertFieldValue(Variant(u"05.03.2021"), ftDateTime, comma), Variant(u"05.03.2021"));
    EXPECT_EQ(ConvertFieldValue(Variant(44260.0), ftDateTime, comma), Variant::date(44260.0));
    EXPECT_EQ(ConvertFieldValue(Variant(u"31 32 3G"), ftHexBytes, comma), Variant(std::u16string(u"12\0", 3)));
    EXPECT_EQ(ConvertFieldValue(Variant(u"48 65 6c 6"), ftHexBytes, comma), Variant(u"Hel"));
    EXPECT_EQ(ConvertFieldValue(Variant(u"FF"), ftHexBytes, comma), Variant(u"\u00FF"));
    for (int type : {4, 5, 7, -1}) EXPECT_TRUE(ConvertFieldValue(Variant(u"x"), type, comma).isEmpty()) << type;
    // Values with no such conversion raise; the caller says where.
    EXPECT_THROW(ConvertFieldValue(Variant::null(), ftNumber, comma), EError);
    EXPECT_THROW(ConvertFieldValue(Variant(VariantArray::vector({Variant(1)})), ftText, comma), EError);
}

TEST(FormatFieldValue, OtherTypesAreNotFormatted) {
    EXPECT_EQ(fmt(Variant(u"abc"), ftText, u"ND=10"), "abc");
    EXPECT_EQ(fmt(Variant(1234.5), ftString, u"NFD=2"), "1234,5");
    EXPECT_EQ(fmt(Variant(u"41 42"), ftHexBytes, u"ND=10"), "AB");
    for (int type : {4, 5, 7}) EXPECT_EQ(fmt(Variant(u"x"), type, u"ND=10"), "") << type;
    // Formatting a value that was not converted first: a step that fails keeps the text so far.
    const TFormatSettings fs = withDs(u',');
    EXPECT_EQ(FormatFieldValue(Variant(u"abc"), ftNumber, u"NFD=2", fs), u"abc");
    EXPECT_EQ(FormatFieldValue(Variant(u"2,5"), ftNumber, u"NFD=2", fs), u"2,50");
    EXPECT_EQ(FormatFieldValue(Variant(VariantArray::vector({})), ftNumber, u"NFD=2", fs), u"");
}

struct DateCase {
    const char16_t* format;
    const char* expected;
};

TEST(FormatFieldValue, DatePatterns) {
    const Variant when = Variant::date(encodeDateTime(2021, 3, 5, 14, 7, 9, 0));
    const DateCase cases[] = {
        {u"ДФ=дд.ММ.гггг чч:мм", "05.03.2021 14:07"},
        {u"ДФ=дд.ММ.гггг", "05.03.2021"},
        {u"ДФ=ЧЧ:мм:сс", "14:07:09"},
        {u"ДФ='dd'", "dd"},                          // quoted text is literal
        {u"ДФ=гггг \"г.\"", "2021 г."},              // and not translated either
        {u"DF=dd/mm/yy", "05.03.21"},                // "/" is the locale's date separator
        {u"DF=d.m.yyyy h:n:s", "5.3.2021 14:7:9"},
        {u"DF=hh:mm", "14:07"},                      // m after h is the minute
        {u"DF=mmm mmmm", "мар Март"},
        {u"DF=ddd dddd", "Пт пятница"},
        {u"DF=ddddd", "05.03.2021"},
        {u"DF=c", "05.03.2021 14:07:09"},
        {u"DF=h:nn am/pm", "2:07 pm"},
        {u"DF=кк zzz", "qq 000"},                    // к is q, which is no specifier
        {u"DF=ДД ГГГГ", "ДД ГГГГ"},                  // upper-case Д and Г are not translated
        {u"DF=;ДФ=дд", "05"},                        // an empty DF falls back to ДФ
        {u"DF=yyyy;ДФ=дд", "2021"},
        {u"ND=5", "05.03.2021 14:07:09"},            // no date key: the default text
        {u"", "05.03.2021 14:07:09"},
    };
    for (const auto& c : cases) EXPECT_EQ(fmt(when, ftDateTime, c.format), c.expected) << u8(c.format);
    EXPECT_EQ(fmt(Variant::date(encodeDate(2021, 3, 5)), ftDateTime, u""), "05.03.2021");  // midnight: no time
}

TEST(FormatFieldValue, DateGivenAsText) {
    // A number is a serial, a date in the locale's format is read as a date, other text is kept.
    EXPECT_EQ(fmt(Variant(u"44260"), ftDateTime, u"ДФ=дд.ММ.гггг"), "05.03.2021");
    EXPECT_EQ(fmt(Variant(u"05.03.2021 14:07"), ftDateTime, u"ДФ=гггг-ММ-дд чч:мм"), "2021-03-05 14:07");
    EXPECT_EQ(fmt(Variant(u"до востребования"), ftDateTime, u"ДФ=гггг"), "до востребования");
    // A serial outside the calendar cannot be shown: empty text, no error.
    const TFormatSettings fs = withDs(u',');
    EXPECT_EQ(FormatFieldValue(Variant(u"1e12"), ftDateTime, u"ДФ=гггг", fs), u"");
    EXPECT_EQ(FormatFieldValue(Variant(1e12), ftDateTime, u"", fs), u"");
}

}  // namespace
