#pragma once
// How values are written into the debug log: one line per value, arrays in nested brackets.
#include <string>

#include "automation/FormatSettings.h"
#include "automation/Variant.h"

namespace fr {

std::u16string VariantToLogText(const Variant& value, const TFormatSettings& fs = processFormatSettings());
std::u16string ArrayToLogText(const Variant& value, const TFormatSettings& fs = processFormatSettings());

}  // namespace fr
