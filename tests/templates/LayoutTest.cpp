// Laying a line out: column widths, row counts and each column's block.
#include <gtest/gtest.h>

#include "automation/Text.h"
#include "templates/uTemplateLibLayout.h"

using namespace fr;
using namespace fr::templates;

namespace {

// The block's rows, each in brackets, for readable comparisons.
std::string rowsOf(const std::u16string& block, int width) {
    std::string out;
    for (size_t i = 0; i < block.size(); i += static_cast<size_t>(width))
        out += "[" + u8(block.substr(i, static_cast<size_t>(width))) + "]";
    return out;
}

struct BlockCase {
    const char16_t* text;
    int width, rows, halign, valign, placement;
    const char* expected;
};

TEST(LayoutFieldBlock, PlacesTextInTheBlock) {
    const BlockCase cases[] = {
        // Wrap: every row aligned by itself, the last one included.
        {u"abcdefghij", 4, 3, haLeft, vaTop, tpWrap, "[abcd][efgh][ij  ]"},
        {u"abcdefghij", 4, 3, haRight, vaTop, tpWrap, "[abcd][efgh][  ij]"},
        {u"abcdefghij", 4, 3, haCenter, vaTop, tpWrap, "[abcd][efgh][ ij ]"},
        // Too long for the block: cut to width x rows first, by the alignment.
        {u"abcdefghij", 4, 2, haLeft, vaTop, tpWrap, "[abcd][efgh]"},
        {u"abcdefghij", 4, 2, haRight, vaTop, tpWrap, "[cdef][ghij]"},
        {u"abcdefghij", 4, 2, haCenter, vaTop, tpWrap, "[bcde][fghi]"},
        // Cut to one row.
        {u"1234567890", 4, 1, haRight, vaTop, tpCut, "[7890]"},
        {u"1234567890", 4, 1, haLeft, vaTop, tpCut, "[1234]"},
        {u"1234567890", 4, 1, haCenter, vaTop, tpCut, "[4567]"},
        {u"1234567890", 4, 2, haLeft, vaBottom, tpCut, "[    ][1234]"},
        // "#" fill when too long, otherwise padded as usual.
        {u"12345", 4, 1, haLeft, vaTop, tpFill, "[####]"},
        {u"123", 4, 1, haRight, vaTop, tpFill, "[ 123]"},
        // Centring puts the odd space on the right.
        {u"ab", 5, 1, haCenter, vaTop, tpWrap, "[ ab  ]"},
        // Vertical placement of one row of text in four.
        {u"ab", 2, 4, haLeft, vaTop, tpWrap, "[ab][  ][  ][  ]"},
        {u"ab", 2, 4, haLeft, vaBottom, tpWrap, "[  ][  ][  ][ab]"},
        {u"ab", 2, 4, haLeft, vaMiddle, tpWrap, "[  ][ab][  ][  ]"},
        {u"ab", 2, 3, haLeft, vaMiddle, tpWrap, "[  ][ab][  ]"},
        // Unknown codes act as left, top and wrap.
        {u"abcde", 3, 2, 7, 7, 7, "[abc][de ]"},
        // Empty text: a block of spaces.
        {u"", 3, 2, haLeft, vaTop, tpWrap, "[   ][   ]"},
    };
    for (const auto& c : cases) {
        const std::u16string block = LayoutFieldBlock(c.text, c.width, c.rows, c.halign, c.valign, c.placement);
        EXPECT_EQ(block.size(), static_cast<size_t>(c.width * c.rows)) << u8(c.text);
        EXPECT_EQ(rowsOf(block, c.width), c.expected)
            << u8(c.text) << " w" << c.width << " r" << c.rows << " h" << c.halign << " v" << c.valign << " p" << c.placement;
    }
}

TEST(LayoutFieldBlock, SeventyCharactersInThirtyTwoColumns) {
    std::u16string text;
    for (int i = 0; i < 70; ++i) text.push_back(static_cast<char16_t>(u'A' + i % 26));
    const std::u16string three = LayoutFieldBlock(text, 32, 3, haLeft, vaTop, tpWrap);
    EXPECT_EQ(three, text + std::u16string(26, u' '));
    EXPECT_EQ(LayoutFieldBlock(text, 32, 2, haLeft, vaTop, tpWrap), text.substr(0, 64));
    EXPECT_EQ(LayoutFieldBlock(text, 32, 2, haCenter, vaTop, tpWrap), text.substr(3, 64));  // characters 4 to 67
    EXPECT_EQ(LayoutFieldBlock(text, 32, 2, haRight, vaTop, tpWrap), text.substr(6, 64));
}

TEST(LayoutFieldBlock, NoWidthOrNoRowsGivesNothing) {
    for (auto [w, r] : {std::pair{0, 3}, {-5, 3}, {4, 0}, {4, -1}})
        EXPECT_EQ(LayoutFieldBlock(u"abc", w, r, haLeft, vaTop, tpWrap), u"") << w << " " << r;
}

TEST(CutAndPad, Alignments) {
    EXPECT_EQ(CutToWidth(u"abcdef", 10, haRight), u"abcdef");
    EXPECT_EQ(CutToWidth(u"abcdef", 3, haCenter), u"bcd");
    EXPECT_EQ(CutToWidth(u"abcdef", 0, haLeft), u"");
    EXPECT_EQ(PadToWidth(u"ab", 5, haRight), u"   ab");
    EXPECT_EQ(PadToWidth(u"ab", 5, haCenter), u" ab  ");
    EXPECT_EQ(PadToWidth(u"abcdef", 3, haLeft), u"abcdef");
}

struct WidthCase {
    int rowWidth;
    std::vector<TColumnLayout> columns;
    std::vector<int32_t> expected;
};

TEST(ComputeColumnWidths, ResizableColumnsShareTheFreeWidth) {
    const WidthCase cases[] = {
        {32, {{true, 20}, {false, 8}, {true, 4}}, {20, 8, 4}},
        {21, {{true, 1}, {true, 1}}, {10, 10}},           // 10.5 each: halves to even
        {23, {{true, 1}, {true, 1}}, {12, 11}},           // 11.5 -> 12, then at most 23 - 12
        {48, {{false, 10}, {true, 1}, {false, 10}}, {10, 28, 10}},
        {48, {{true, 1}, {true, 2}}, {16, 32}},
        {20, {{false, 30}, {true, 1}}, {30, -10}},        // fixed columns wider than the row
        {20, {{false, 5}, {false, 0}}, {5, 0}},
        {20, {{true, 0}}, {0}},                           // no weight: nothing to share
        {2147483647, {{true, 1}, {true, -1}, {true, 1}}, {2147483647, -2147483647, 2147483647}},
        {20, {}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ComputeColumnWidths(c.rowWidth, c.columns), c.expected) << c.rowWidth;
}

struct RowCase {
    int minRows, maxRows;
    std::vector<TRowNeed> columns;
    int expected;
};

TEST(ComputeRowCount, LongestWrappedColumnWithinMinAndMax) {
    const RowCase cases[] = {
        {1, 3, {{70, 32, tpWrap}}, 3},
        {1, 2, {{70, 32, tpWrap}}, 2},
        {1, 5, {{10, 4, tpWrap}, {3, 4, tpWrap}}, 3},
        {1, 5, {{70, 4, tpCut}}, 1},      // cut and "#" fill need one row
        {1, 5, {{70, 4, tpFill}}, 1},
        {2, 5, {{1, 4, tpWrap}}, 2},      // at least MinRows
        {2, 5, {}, 2},                    // no columns: MinRows
        {1, 0, {{70, 32, tpWrap}}, 0},    // MaxRows 0: no rows
        {1, 5, {{70, 0, tpWrap}}, 1},     // a column without width needs no rows
        {1, 5, {{70, -3, tpWrap}}, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(ComputeRowCount(c.minRows, c.maxRows, c.columns), c.expected);
}

TEST(RoundHalfEven, Halves) {
    EXPECT_EQ(RoundHalfEven(10.5), 10);
    EXPECT_EQ(RoundHalfEven(11.5), 12);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
}

}  // namespace
