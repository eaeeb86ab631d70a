#pragma once
// Fixed-point rendering of numbers for number fields.
#include <string>

#include "automation/FormatSettings.h"

namespace fr::templates {

// Widths and decimal places a format may ask for; larger ones are refused (a field is never that
// wide, and rendering them would cost memory in proportion).
inline constexpr int kMaxFormatDigits = 1000;

// `decimals` places (0..kMaxFormatDigits), rounded on the exact decimal expansion of the value with
// ties away from zero (0.125 -> "0,13"); the settings' decimal separator, no grouping, a leading
// "-" for negatives (never "-0"), right-aligned with spaces to at least `width` characters.
std::u16string FormatFixed(double value, int decimals, int width, const TFormatSettings& fs);

}  // namespace fr::templates
