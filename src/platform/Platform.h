#pragma once
// Operating-system services behind one interface; platform/posix and platform/win32 implement it.
// Natively folders come from the XDG variables, text is written as UTF-8 and message boxes are
// recorded, not shown.
#include <array>
#include <cstdint>
#include <string>

#include "automation/FormatSettings.h"

namespace fr::platform {

// The user's locale formats (native: Russian defaults).
TFormatSettings userFormatSettings();

// Current local date and time as an OLE serial (milliseconds kept).
double nowLocal();

// A new GUID in registry form: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, upper-case digits.
std::u16string newGuidString();

}  // namespace fr::platform
