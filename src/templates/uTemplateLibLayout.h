#pragma once
// Laying a composite string out: column widths, row count and each column's block of text.
#include <cstdint>
#include <string>
#include <vector>

namespace fr::templates {

inline constexpr int32_t haLeft = 0, haRight = 1, haCenter = 2;     // other codes: as left
inline constexpr int32_t vaTop = 0, vaBottom = 1, vaMiddle = 2;     // other codes: as top
inline constexpr int32_t tpWrap = 0, tpCut = 1, tpFill = 2;         // other codes: as wrap
inline constexpr int32_t dtText = 0, dtBarcode = 1, dtImage = 2;

// The most characters one composite string may occupy (rows times the row's width); a template
// asking for more is refused rather than allowed to exhaust memory.
inline constexpr int64_t kMaxBlockChars = int64_t{1} << 22;

// Nearest integer, halves to the even neighbour.
double RoundHalfEven(double x);

struct TColumnLayout {
    bool Resizable = false;
    int32_t Length = 0;  // width, or the weight of a resizable column
};
// Fixed columns keep their Length; resizable ones share the free width of the row in proportion to
// their Length (halves to even), the last never pushing the row past rowWidth. Widths may come out
// 0 or negative (fixed columns wider than the row): such a column shows nothing.
std::vector<int32_t> ComputeColumnWidths(int32_t rowWidth, const std::vector<TColumnLayout>& columns);

struct TRowNeed {
    int64_t TextLength = 0;
    int32_t Width = 0;
    int32_t Placement = tpWrap;
};
// At least minRows, at most maxRows, enough for the longest wrapped column. A column of width 0
// or below needs no rows.
int32_t ComputeRowCount(int32_t minRows, int32_t maxRows, const std::vector<TRowNeed>& columns);

// n characters of s picked by the alignment: the last n when right-aligned, the middle ones when
// centred, the first n otherwise.
std::u16string CutToWidth(std::u16string_view s, int64_t n, int32_t hAlign);
// The chunk aligned in `width` characters with spaces.
std::u16string PadToWidth(std::u16string_view chunk, int32_t width, int32_t hAlign);
// `rows` rows of `width` characters stored one after another: the text wrapped, cut or replaced
// by "#" per the placement, every row aligned by itself, the rows placed vertically. Empty when
// the width or the row count is 0 or below.
std::u16string LayoutFieldBlock(std::u16string_view text, int32_t width, int32_t rows, int32_t hAlign,
                                int32_t vAlign, int32_t placement);

}  // namespace fr::templates
