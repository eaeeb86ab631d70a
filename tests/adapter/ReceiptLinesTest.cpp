// The layouts that make a text document's lines.
#include <gtest/gtest.h>

#include "adapter/uDriver.h"
#include "adapter/uReceiptLines.h"
#include "automation/Text.h"

using namespace fr;

namespace {
std::string sp(size_t n) { return std::string(n, ' '); }
}  // namespace

TEST(ReceiptLines, JustifyPair) {
    struct Case {
        const char16_t *left, *right;
        int32_t width, lineLen;
        std::string line;
    };
    const Case cases[] = {
        {u"ИТОГ", u"=123.45", 20, 40, "ИТОГ" + sp(9) + "=123.45"},
        {u" ", u"2 X 10.00", 0, 40, " " + sp(30) + "2 X 10.00"},     // 0: the line length
        {u"A", u"B", 0, 0, "A" + sp(22) + "B"},                       // neither: 24
        {u"длинное название товара", u"=1.00", 12, 40, "длинное=1.00"},  // Left cut to make room
        {u"L", u"=1234567890", 8, 40, "=1234567890"},                  // Right never cut, Left dropped
        {u"", u"", 3, 40, sp(3)},
    };
    for (const auto& c : cases) EXPECT_EQ(u8(JustifyPair(c.left, c.right, c.width, c.lineLen)), c.line) << u8(c.left);
}

TEST(ReceiptLines, CenterText) {
    struct Case {
        const char16_t* text;
        int32_t width;
        std::string line;
    };
    const Case cases[] = {
        {u"ABC", 4, "ABC "},
        {u"ABCDEF", 4, "BCDE"},
        {u"ABCDEFG", 4, "BCDE"},   // the odd character goes at the right
        {u"ABCD", 4, "ABCD"},
        {u"  AB  ", 6, "  AB  "},  // measured without the outer blanks
        {u"Спасибо", 11, "  Спасибо  "},
    };
    for (const auto& c : cases) EXPECT_EQ(u8(CenterText(c.text, c.width)), c.line) << u8(c.text);
}

TEST(ReceiptLines, AlignPairAndSplitByLength) {
    EXPECT_EQ(u8(AlignPair(u"ИНН:7701234567", u"КПП:770101001", 40, u' ')),
              "ИНН:7701234567" + sp(13) + "КПП:770101001");
    EXPECT_EQ(u8(AlignPair(u"ЧЕК:0025", u"ДАТА:", 12, u'.')), "ЧЕК:002ДАТА:");
    EXPECT_EQ(u8(AlignPair(u"Left", std::u16string(40, u'R'), 40, u' ')), std::string(40, 'R'));  // Left dropped
    EXPECT_EQ(u8(AlignPair(u"Left", std::u16string(45, u'R'), 40, u' ')), std::string(40, 'R'));  // Right cut
    EXPECT_EQ(u8(AlignPair(u"a", u"b", 5, u'-')), "a---b");

    struct Case {
        std::u16string text;
        int32_t n;
        std::vector<size_t> sizes;
    };
    const Case cases[] = {
        {std::u16string(100, u'q'), 40, {40, 40, 20}},
        {std::u16string(80, u'q'), 40, {40, 40}},
        {u"", 40, {}},
        {u"abc", 1, {1, 1, 1}},
    };
    for (const auto& c : cases) {
        std::vector<size_t> sizes;
        std::u16string joined;
        for (const auto& piece : SplitByLength(c.text, c.n)) {
            sizes.push_back(piece.size());
            joined += piece;
        }
        EXPECT_EQ(sizes, c.sizes) << c.text.size();
        EXPECT_EQ(joined, c.text);
    }
}

TEST(ReceiptLines, AmountsAndQuantities) {
    SetDriverProcessFormats();  // the driver's texts use "." whatever the user's locale
    const std::pair<int64_t, const char*> amounts[] = {
        {1234500, "123.45"}, {0, "0.00"}, {50, "0.01"}, {49, "0.00"}, {-35000, "-3.50"}, {-49, "0.00"},
        {123456789012345, "12345678901.23"}};
    for (const auto& [v, text] : amounts) EXPECT_EQ(u8(AmountText(v)), text) << v;
    const std::pair<double, const char*> quantities[] = {
        {2, "2"}, {1.5, "1.500"}, {2.00000001, "2"}, {0.0005, "0.001"}, {1000, "1000"}, {0.3333, "0.333"}};
    for (const auto& [q, text] : quantities) EXPECT_EQ(u8(QuantityText(q)), text) << q;
}
