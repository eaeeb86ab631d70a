#pragma once
// Date-time patterns of date fields, written with Latin or Russian letters.
#include <string>

#include "automation/FormatSettings.h"

namespace fr::templates {

// Russian pattern letters to the Latin ones, one for one: д d, М M, к q, г y, ч h, Ч H, м n, с s.
// Quoted text is literal and left as written.
std::u16string TranslateDatePattern(std::u16string_view pattern);

// The date-time by a pattern in either alphabet.
std::u16string FormatFieldDate(double serial, std::u16string_view pattern, const TFormatSettings& fs);

}  // namespace fr::templates
