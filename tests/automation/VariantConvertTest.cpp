// The conversion table, case by case: each row is one source value, one target and the expected
// outcome (a value or a failure).
#include <gtest/gtest.h>

#include <optional>

#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "automation/FormatSettings.h"
#include "automation/Text.h"
#include "automation/Variant.h"

using namespace fr;

namespace {
const TFormatSettings kComma = TFormatSettings::russian();
const TFormatSettings kDot = TFormatSettings::invariant();

struct IntCase {
    const char* name;
    Variant from;
    std::optional<int32_t> expected;  // nullopt: the conversion fails
};

TEST(VariantConvert, ToInt32) {
    const IntCase cases[] = {
        {"empty", Variant(), 0},
        {"null fails", Variant::null(), std::nullopt},
        {"true", Variant(true), -1},
        {"false", Variant(false), 0},
        {"i2", Variant::ofInt(VarType::I2, -7), -7},
        {"ui4 in range", Variant::ofInt(VarType::UI4, 2147483647), 2147483647},
        {"ui4 out of range", Variant::ofInt(VarType::UI4, 2147483648LL), std::nullopt},
        {"i8 out of range", Variant::ofInt(VarType::I8, -2147483649LL), std::nullopt},
        {"real half to even down", Variant(2.5), 2},
        {"real half to even up", Variant(3.5), 4},
        {"real negative half", Variant(-2.5), -2},
        {"real out of range", Variant(3e9), std::nullopt},
        {"currency 1.5", Variant::currency(15000), 2},
        {"currency 2.5", Variant::currency(25000), 2},
        {"currency -1.5", Variant::currency(-15000), -2},
        {"date", Variant::date(45000.75), 45001},
        {"text integer", Variant(u" -42 "), -42},
        {"text real", Variant(u"2,5"), 2},
        {"text real dot not a number in comma locale", Variant(u"2.5"), std::nullopt},
        {"text not a number", Variant(u"abc"), std::nullopt},
        {"text empty", Variant(u""), std::nullopt},
        {"text too large", Variant(u"99999999999"), std::nullopt},
        {"array fails", Variant(VariantArray::vector({Variant(1)})), std::nullopt},
        {"error fails", Variant::error(5), std::nullopt},
        {"object fails", Variant(std::shared_ptr<AutomationObject>()), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.expected) EXPECT_EQ(c.from.toInt(kComma), *c.expected);
        else EXPECT_THROW(c.from.toInt(kComma), EError);
    }
}

struct RealCase {
    const char* name;
    Variant from;
    const TFormatSettings* fs;
    std::optional<double> expected;
};

TEST(VariantConvert, ToDouble) {
    const RealCase cases[] = {
        {"empty", Variant(), &kComma, 0.0},
        {"null fails", Variant::null(), &kComma, std::nullopt},
        {"true", Variant(true), &kComma, -1.0},
        {"i4", Variant(12), &kComma, 12.0},
        {"currency", Variant::currency(12345), &kComma, 1.2345},
        {"date serial", Variant::date(1.25), &kComma, 1.25},
        {"text comma", Variant(u"1,5"), &kComma, 1.5},
        {"text dot in dot locale", Variant(u"1.5"), &kDot, 1.5},
        {"text comma in dot locale fails", Variant(u"1,5"), &kDot, std::nullopt},
        {"text exponent and blanks", Variant(u"  -2,5e3 "), &kComma, -2500.0},
        {"text sign only fails", Variant(u"-"), &kComma, std::nullopt},
        {"text inner blank fails", Variant(u"1 5"), &kComma, std::nullopt},
        {"array fails", Variant(VariantArray::vector({})), &kComma, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.expected) EXPECT_DOUBLE_EQ(c.from.toDouble(*c.fs), *c.expected);
        else EXPECT_THROW(c.from.toDouble(*c.fs), EError);
    }
}

TEST(VariantConvert, ToCurrency) {
    struct Case { const char* name; Variant from; std::optional<int64_t> expected; };
    const Case cases[] = {
        {"empty", Variant(), 0},
        {"null fails", Variant::null(), std::nullopt},
        {"true", Variant(true), -10000},
        {"integer", Variant(3), 30000},
        {"real rounds to 4 places half to even", Variant(0.00005), 0},
        {"real 1.23456", Variant(1.23456), 12346},
        {"text exact", Variant(u"123,4567"), 1234567},
        {"text fifth decimal tie to even", Variant(u"0,00025"), 2},
        {"text fifth decimal tie to even up", Variant(u"0,00035"), 4},
        {"text above tie", Variant(u"0,000251"), 3},
        {"text large exact", Variant(u"922337203685477,5807"), INT64_MAX},
        {"text overflow", Variant(u"922337203685478"), std::nullopt},
        {"text not a number", Variant(u"12a"), std::nullopt},
        {"real out of range", Variant(1e300), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.expected) EXPECT_EQ(c.from.toCurrency(kComma), *c.expected);
        else EXPECT_THROW(c.from.toCurrency(kComma), EError);
    }
}

TEST(VariantConvert, ToBoolean) {
    struct Case { const char* name; Variant from; std::optional<bool> expected; };
    const Case cases[] = {
        {"empty", Variant(), false},
        {"null fails", Variant::null(), std::nullopt},
        {"integer", Variant(2), true},
        {"zero", Variant::ofInt(VarType::UI1, 0), false},
        {"real", Variant(0.1), true},
        {"currency", Variant::currency(0), false},
        {"text TRUE", Variant(u"TRUE"), true},
        {"text false", Variant(u"false"), false},
        {"text number", Variant(u"1"), true},
        {"text zero", Variant(u"0"), false},
        {"text other", Variant(u"да"), std::nullopt},
        {"array fails", Variant(VariantArray::vector({})), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.expected) EXPECT_EQ(c.from.toBool(kComma), *c.expected);
        else EXPECT_THROW(c.from.toBool(kComma), EError);
    }
}

TEST(VariantConvert, ToText) {
    struct Case { const char* name; Variant from; const TFormatSettings* fs; std::optional<std::u16string> expected; };
    const Case cases[] = {
        {"empty", Variant(), &kComma, u""},
        {"null fails", Variant::null(), &kComma, std::nullopt},
        {"true", Variant(true), &kComma, u"True"},
        {"false", Variant(false), &kComma, u"False"},
        {"integer", Variant(-15), &kComma, u"-15"},
        {"ui8", Variant::ofUInt64(18446744073709551615ull), &kComma, u"18446744073709551615"},
        {"real comma", Variant(1.5), &kComma, u"1,5"},
        {"real dot", Variant(1.5), &kDot, u"1.5"},
        {"real 15 digits", Variant(0.1 + 0.2), &kComma, u"0,3"},
        {"real large", Variant(1e20), &kComma, u"1E20"},
        {"real small", Variant(0.00001), &kComma, u"1E-5"},
        {"real 1/3", Variant(1.0 / 3.0), &kComma, u"0,333333333333333"},
        {"currency trims zeros", Variant::currency(12500), &kComma, u"1,25"},
        {"currency whole", Variant::currency(20000), &kComma, u"2"},
        {"currency negative", Variant::currency(-1), &kComma, u"-0,0001"},
        {"date at midnight", Variant::date(encodeDate(2026, 12, 9)), &kComma, u"09.12.2026"},
        {"date with time", Variant::date(encodeDateTime(2026, 12, 9, 7, 5, 3, 0)), &kComma, u"09.12.2026 7:05:03"},
        {"text itself", Variant(u"Нет бумаги"), &kComma, u"Нет бумаги"},
        {"array fails", Variant(VariantArray::vector({})), &kComma, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.expected) EXPECT_EQ(u8(c.from.toText(*c.fs)), u8(*c.expected));
        else EXPECT_THROW(c.from.toText(*c.fs), EError);
    }
}

TEST(VariantConvert, ToDate) {
    struct Case { const char* name; Variant from; std::optional<double> expected; };
    const Case cases[] = {
        {"empty", Variant(), 0.0},
        {"null fails", Variant::null(), std::nullopt},
        {"true", Variant(true), -1.0},
        {"integer is a serial", Variant(45000), 45000.0},
        {"real is a serial", Variant(45000.5), 45000.5},
        {"text date", Variant(u"09.12.2026"), encodeDate(2026, 12, 9)},
        {"text date and time", Variant(u"09.12.2026 14:30:15"), encodeDateTime(2026, 12, 9, 14, 30, 15, 0)},
        {"text time", Variant(u"14:30"), encodeTime(14, 30, 0, 0)},
        {"text bad day", Variant(u"31.02.2026"), std::nullopt},
        {"text not a date", Variant(u"вчера"), std::nullopt},
        {"text number is not a date", Variant(u"45000"), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.expected) EXPECT_DOUBLE_EQ(c.from.toDate(kComma), *c.expected);
        else EXPECT_THROW(c.from.toDate(kComma), EError);
    }
}

TEST(VariantConvert, ConvertToTypedSlotChecksRange) {
    EXPECT_EQ(Variant(200).convertTo(VarType::UI1, kComma), Variant::ofInt(VarType::UI1, 200));
    EXPECT_THROW(Variant(300).convertTo(VarType::UI1, kComma), EError);
    EXPECT_THROW(Variant(-1).convertTo(VarType::UI2, kComma), EError);
    EXPECT_EQ(Variant(u"12").convertTo(VarType::I2, kComma), Variant::ofInt(VarType::I2, 12));
    EXPECT_EQ(Variant(1).convertTo(VarType::BStr, kComma), Variant(u"1"));
    EXPECT_EQ(Variant(u"True").convertTo(VarType::Bool, kComma), Variant(true));
    EXPECT_THROW(Variant(VariantArray::vector({})).convertTo(VarType::I4, kComma), EError);
    EXPECT_THROW(Variant(u"x").convertTo(VarType::Dispatch, kComma), EError);
}

TEST(VariantConvert, FailureNamesBothTypes) {
    try {
        Variant(u"abc").toInt(kComma);
        FAIL();
    } catch (const EError& e) {
        EXPECT_NE(e.message().find(u"OleStr"), std::u16string::npos);
        EXPECT_NE(e.message().find(u"Integer"), std::u16string::npos);
    }
}

}  // namespace
