#pragma once
// Text documents built as a list of lines before anything is printed (the plain-text receipt and
// the EGAIS slip), and the layouts that make their lines.
#include <cstdint>
#include <string>
#include <vector>

namespace fr {

// What a line is: plain text, the total line, a barcode to print as a barcode, a barcode to
// print as text.
enum TLineMarker : int32_t { lmText = 0, lmTotal = 1, lmBarcode = 2, lmBarcodeText = 4 };

struct TReceiptLine {
    std::u16string Text;
    TLineMarker Marker = lmText;
    bool operator==(const TReceiptLine&) const = default;
};
using TLineList = std::vector<TReceiptLine>;

// Left at the left edge and Right at the right edge of Width characters (0: lineLen; 0 too: 24).
// Left is cut to make room; Right never is, so a long Right gives a longer line.
std::u16string JustifyPair(const std::u16string& Left, const std::u16string& Right, int32_t Width, int32_t lineLen);
// Text without its outer blanks, centred in Width: the odd blank goes to the right; a text
// longer than Width loses characters at both ends, the odd one at the right.
std::u16string CenterText(const std::u16string& Text, int32_t Width);
// Left at the left and Right at the right edge of Width, the gap filled with Fill; a Right of
// Width or more fills the line alone. Lengths count characters of the system's single-byte
// code page, in which the line is made.
std::u16string AlignPair(const std::u16string& Left, const std::u16string& Right, int32_t Width, char16_t Fill);
// Text in pieces of N characters, the last one shorter; none for an empty text.
std::vector<std::u16string> SplitByLength(const std::u16string& Text, int32_t N);

// Money (currency, scaled by 10 000) with two decimals, half away from zero, no thousands
// separators, the process's decimal separator.
std::u16string AmountText(int64_t scaled);
// A quantity: a whole number as such, otherwise with three decimals.
std::u16string QuantityText(double quantity);

}  // namespace fr
