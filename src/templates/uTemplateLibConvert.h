#pragma once
// Bringing a raw value (a template cell or a data parameter) to a field's value type.
#include <cstdint>
#include <string>

#include "automation/FormatSettings.h"
#include "automation/Variant.h"

namespace fr::templates {

// Field value type codes.
inline constexpr int32_t ftText = 0;
inline constexpr int32_t ftNumber = 1;
inline constexpr int32_t ftDateTime = 2;
inline constexpr int32_t ftString = 3;
inline constexpr int32_t ftHexBytes = 6;

// Types 0 and 3: text (empty or null as empty text); 1: a double (text that does not read as a
// number gives 0); 2: a date, or the text unchanged; 6: the bytes of a hexadecimal text; other
// types: Empty. Values that have no such conversion (arrays, objects, Null for numbers and dates)
// raise EVariantError.
Variant ConvertFieldValue(const Variant& value, int32_t type, const TFormatSettings& fs);

// "12.5" and "12,5" both read as twelve and a half whatever the decimal separator.
std::u16string NormalizeDecimalSeparator(std::u16string_view text, const TFormatSettings& fs);

// "48 65 6C" -> the characters 0x48 0x65 0x6C; blanks removed, an odd last digit dropped, a pair
// that is not hexadecimal gives the code 0.
std::u16string HexToBytes(std::u16string_view text);

// The value's text, an empty or null value as empty text.
std::u16string LenientText(const Variant& value, const TFormatSettings& fs);

}  // namespace fr::templates
