#include <gtest/gtest.h>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "dispatch/uInputReaders.h"
#include "platform/Platform.h"

namespace fr {
namespace {

// [0] text, [1] 42, [2] Empty, [3] Null, [4] 3.5, [5] true, [6] a date, [7] "12", [8] nested array
Variant sample() {
    return Variant(VariantArray::vector({Variant(u"текст"), Variant(42), Variant(), Variant::null(), Variant(3.5),
                                         Variant(true), Variant::date(45000.5), Variant(u"12"),
                                         Variant(VariantArray::vector({Variant(1)}))}));
}

// Two-dimensional, first index 0..1, second 0..2; only [1,2] and [0,0] are set.
Variant table() {
    VariantArray t = VariantArray::matrix(2, 3);
    t.at({1, 2}) = Variant(u"7");
    t.at({0, 0}) = Variant::null();
    return Variant(std::move(t));
}

// Lower bound 5: indexes 5..6.
Variant shifted() {
    VariantArray a({ArrayBound{5, 2}});
    a.at(5) = Variant(1);
    a.at(6) = Variant(2);
    return Variant(std::move(a));
}

TEST(InputReaders, PresenceAndConversions) {
    const Variant A = sample();
    struct Case {
        const char* what;
        Variant array;
        int32_t index;
        bool exists;
        std::u16string asString;  // with default u"def"
        int32_t asInteger;        // with default -1
        bool asBoolean;           // with default true
    } cases[] = {
        {"integer", A, 1, true, u"42", 42, true},
        {"Empty element", A, 2, false, u"def", -1, true},
        {"Null element", A, 3, false, u"def", -1, true},
        {"real rounds half to even", A, 4, true, u"3,5", 4, true},
        {"Boolean", A, 5, true, u"True", -1, true},
        {"numeric text", A, 7, true, u"12", 12, true},
        {"past the upper bound", A, 9, false, u"def", -1, true},
        {"negative index", A, -1, false, u"def", -1, true},
        {"not an array", Variant(5), 0, false, u"def", -1, true},
        {"Empty", Variant(), 0, false, u"def", -1, true},
        {"two-dimensional read as one", table(), 1, false, u"def", -1, true},
        {"below a lower bound of 5", shifted(), 4, false, u"def", -1, true},
        {"at a lower bound of 5", shifted(), 5, true, u"1", 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ItemExists(c.array, c.index), c.exists);
        EXPECT_EQ(u8(ItemAsString(c.array, c.index, u"def")), u8(c.asString));
        EXPECT_EQ(ItemAsInteger(c.array, c.index, -1), c.asInteger);
        EXPECT_EQ(ItemAsBoolean(c.array, c.index, true), c.asBoolean);
    }
    EXPECT_FALSE(ItemAsBoolean(Variant(VariantArray::vector({Variant(0)})), 0, true));

    // A present element that does not convert raises instead of falling back to the default.
    EXPECT_THROW(ItemAsInteger(A, 0, -1), EVariantError);
    EXPECT_THROW(ItemAsBoolean(A, 0, false), EVariantError);
    EXPECT_THROW(ItemAsString(A, 8, u""), EVariantError);

    EXPECT_DOUBLE_EQ(ItemAsDate(A, 6), 45000.5);
    EXPECT_DOUBLE_EQ(ItemAsDate(A, 1), 42.0);
    double before = platform::nowLocal();
    double absent = ItemAsDate(A, 2);
    double after = platform::nowLocal();
    EXPECT_GE(absent, before);
    EXPECT_LE(absent, after);
}

TEST(InputReaders, TwoDimensionalReads) {
    const Variant T = table();
    struct Case {
        int32_t i, j;
        bool exists;
        int32_t asInteger;
    } cases[] = {{1, 2, true, 7}, {0, 0, false, -1}, {0, 1, false, -1}, {2, 0, false, -1}, {1, 3, false, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.i << "," << c.j);
        EXPECT_EQ(ItemExists2(T, c.i, c.j), c.exists);
        EXPECT_EQ(ItemAsInteger2(T, c.i, c.j, -1), c.asInteger);
    }
    EXPECT_FALSE(ItemExists2(sample(), 1, 0));  // one-dimensional read as two
}

TEST(InputReaders, ValueOrDefaultTakesOnlyFittingKinds) {
    const Variant arr(VariantArray::vector({Variant(1)}));
    struct Case {
        const char* what;
        Variant v;
        VarType type;
        Variant def;
        Variant expected;
    } cases[] = {
        {"I2 as integer", Variant::ofInt(VarType::I2, 5), VarType::I4, Variant(-1), Variant(5)},
        {"Boolean is ordinal", Variant(true), VarType::I4, Variant(0), Variant(-1)},
        {"real is not ordinal", Variant(2.0), VarType::I4, Variant(-1), Variant(-1)},
        {"text is not ordinal", Variant(u"3"), VarType::I4, Variant(-1), Variant(-1)},
        {"integer as double", Variant(3), VarType::R8, Variant(0.0), Variant(3.0)},
        {"real as currency", Variant(1.23456), VarType::CY, Variant(), Variant::currency(12346)},
        {"text is not numeric", Variant(u"1,5"), VarType::R8, Variant(0.5), Variant(0.5)},
        {"date", Variant::date(100.25), VarType::Date, Variant(), Variant::date(100.25)},
        {"real is not a date", Variant(100.25), VarType::Date, Variant::date(1), Variant::date(1)},
        {"Boolean", Variant(false), VarType::Bool, Variant(true), Variant(false)},
        {"integer is not Boolean", Variant(1), VarType::Bool, Variant(false), Variant(false)},
        {"text", Variant(u"да"), VarType::BStr, Variant(u""), Variant(u"да")},
        {"integer is not text", Variant(1), VarType::BStr, Variant(u"нет"), Variant(u"нет")},
        {"Empty", Variant(), VarType::I4, Variant(9), Variant(9)},
        {"Null", Variant::null(), VarType::BStr, Variant(u"x"), Variant(u"x")},
        {"array", arr, VarType::I4, Variant(9), Variant(9)},
        {"default is converted too", Variant(), VarType::BStr, Variant(12), Variant(u"12")},
        {"empty default gives the type's zero", Variant::null(), VarType::I4, Variant(), Variant(0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ValueOrDefault(c.v, c.type, c.def), c.expected);
    }
}

}  // namespace
}  // namespace fr
