#pragma once
// The system's text for a Win32 error code, without the line break it ends with.
#include <string>

namespace fr::platform {
std::u16string systemMessage(unsigned long code);
}  // namespace fr::platform
