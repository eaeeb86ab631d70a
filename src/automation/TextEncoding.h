#pragma once
// Text files as Windows programs write them: Notepad saves UTF-8 (with or without a byte-order
// mark), "Unicode" (UTF-16 LE with a mark) or the ANSI code page, which on our users' systems is
// 1251. The bytes say which: a mark, or whether they are valid UTF-8.
#include <string>
#include <string_view>

namespace fr {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view s);
// Code page 1251 (Cyrillic); its one unassigned byte, 0x98, becomes U+FFFD.
std::u16string cp1251ToUtf16(std::string_view s);
// A file's bytes as text: UTF-16 LE after its mark, UTF-8 (mark dropped), otherwise code page 1251.
std::u16string decodeTextFile(std::string_view bytes);

}  // namespace fr
