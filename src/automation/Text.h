#pragma once
// Text helpers: UTF-8/UTF-16 conversion and the ASCII-only case rules the driver compares names by.
#include <string>
#include <string_view>

namespace fr {

std::u16string utf8ToUtf16(std::string_view s);
std::string utf16ToUtf8(std::u16string_view s);
inline std::u16string u16(std::string_view s) { return utf8ToUtf16(s); }
inline std::string u8(std::u16string_view s) { return utf16ToUtf8(s); }

char16_t asciiUpper(char16_t c);
char16_t asciiLower(char16_t c);
std::u16string asciiUpperCase(std::u16string_view s);
std::u16string asciiLowerCase(std::u16string_view s);
// Equal length and equal characters after folding ASCII a-z to A-Z; nothing else is folded.
bool sameTextAscii(std::u16string_view a, std::u16string_view b);

std::u16string trim(std::u16string_view s);
std::u16string replaceAll(std::u16string_view s, std::u16string_view what, std::u16string_view with);

}  // namespace fr
