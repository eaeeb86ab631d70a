#pragma once
// Text helpers of the evaluator. Expressions and names are UTF-16 (std::u16string): that is what
// the host's strings are, so character positions reported in errors count what the host counts.
// The saved form carries text as UTF-8, hence the conversions.
#include <string>
#include <string_view>

namespace fr::evaluator {

// Unpaired surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text);
// Strict: false (and `out` untouched) on malformed, overlong or surrogate-encoding input.
bool FromUtf8(std::string_view bytes, std::u16string& out);
// Lenient: every malformed byte becomes U+FFFD (for command-line input).
std::u16string FromUtf8Lenient(std::string_view bytes);

// Names compare ignoring the case of Latin letters only.
constexpr char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }
constexpr char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }
std::u16string AsciiLowerCase(std::u16string_view text);
std::u16string AsciiUpperCase(std::u16string_view text);

}  // namespace fr::evaluator
