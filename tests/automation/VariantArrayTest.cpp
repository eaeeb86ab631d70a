#include <gtest/gtest.h>

#include "automation/Errors.h"
#include "automation/Variant.h"

using namespace fr;

TEST(VariantArray, BoundsAndFirstIndexFastestOrder) {
    VariantArray a({{1, 2}, {-1, 3}});  // [1..2, -1..1]
    EXPECT_EQ(a.dimCount(), 2);
    EXPECT_EQ(a.lowBound(1), 1);
    EXPECT_EQ(a.highBound(1), 2);
    EXPECT_EQ(a.lowBound(2), -1);
    EXPECT_EQ(a.highBound(2), 1);
    a.at({2, -1}) = Variant(7);
    a.at({1, 0}) = Variant(8);
    EXPECT_EQ(a.items()[1], Variant(7));  // [2,-1] is the second element
    EXPECT_EQ(a.items()[2], Variant(8));  // [1,0] the third
    EXPECT_THROW(a.at({3, 0}), EError);
    EXPECT_THROW(a.at({1}), EError);
    EXPECT_THROW(a.lowBound(3), EError);
}

TEST(VariantArray, CopiesDeeply) {
    Variant inner(VariantArray::vector({Variant(1), Variant(u"a")}));
    Variant outer(VariantArray::vector({inner}));
    Variant copy = outer;
    copy.array().at(0).array().at(1) = Variant(u"b");
    EXPECT_EQ(outer.array().at(0).array().at(1), Variant(u"a"));
    EXPECT_FALSE(copy == outer);
}

TEST(VariantArray, NoDimensionsHoldsNoData) {
    VariantArray empty;
    EXPECT_FALSE(empty.hasData());
    EXPECT_EQ(empty.size(), 0u);
    VariantArray zero({{0, 0}});
    EXPECT_TRUE(zero.hasData());
    EXPECT_EQ(zero.highBound(1), -1);
}

TEST(Variant, TypeCodesAreKept) {
    EXPECT_EQ(Variant::ofInt(VarType::I2, 5).vartype(), 2);
    EXPECT_EQ(Variant::ofInt(VarType::I8, 5).vartype(), 20);
    EXPECT_EQ(Variant(VariantArray::vector({})).vartype(), 0x200C);
    EXPECT_TRUE(Variant(true).isOrdinal());
    EXPECT_TRUE(Variant::ofInt(VarType::UI8, 1).isOrdinal());
    EXPECT_FALSE(Variant(1.0).isOrdinal());
    EXPECT_THROW(Variant::ofInt(VarType::I2, 40000), EError);
}
