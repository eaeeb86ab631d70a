#pragma once
// Numbers to and from text in the process format (decimal separator of the settings).
#include <cstdint>
#include <string>

#include "automation/FormatSettings.h"

namespace fr {

// General format with up to `digits` significant digits ("1,5", "1E20", "1E-5").
std::u16string floatToText(double value, const TFormatSettings& fs, int digits = 15);
// Currency (scaled by 10 000): up to four decimals, no trailing zeros.
std::u16string currencyToText(int64_t scaled, const TFormatSettings& fs);

// A decimal integer with optional sign and blanks around.
bool tryTextToInt64(std::u16string_view text, int64_t& out);
// A number with the settings' decimal separator, optional sign and exponent, blanks around.
bool tryTextToDouble(std::u16string_view text, const TFormatSettings& fs, double& out);

enum class NumberParse { Ok, NotANumber, Overflow };
// The same syntax read exactly in decimal, rounded to four places half to even.
NumberParse tryTextToCurrency(std::u16string_view text, const TFormatSettings& fs, int64_t& scaled);

}  // namespace fr
