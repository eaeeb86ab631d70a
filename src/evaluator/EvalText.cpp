#include "evaluator/EvalText.h"

namespace fr::evaluator {

namespace {
void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += char16_t(cp);
    } else {
        cp -= 0x10000;
        out += char16_t(0xD800 + (cp >> 10));
        out += char16_t(0xDC00 + (cp & 0x3FF));
    }
}

// Decodes one sequence at `i`; returns its length, 0 when malformed.
size_t DecodeOne(std::string_view s, size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    size_t len;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}
}  // namespace

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

bool FromUtf8(std::string_view bytes, std::u16string& out) {
    std::u16string result;
    result.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp;
        const size_t len = DecodeOne(bytes, i, cp);
        if (len == 0) return false;
        AppendUtf16(result, cp);
        i += len;
    }
    out = std::move(result);
    return true;
}

std::u16string FromUtf8Lenient(std::string_view bytes) {
    std::u16string result;
    result.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp;
        size_t len = DecodeOne(bytes, i, cp);
        if (len == 0) cp = 0xFFFD, len = 1;
        AppendUtf16(result, cp);
        i += len;
    }
    return result;
}

std::u16string AsciiLowerCase(std::u16string_view text) {
    std::u16string s(text);
    for (auto& c : s) c = AsciiLower(c);
    return s;
}

std::u16string AsciiUpperCase(std::u16string_view text) {
    std::u16string s(text);
    for (auto& c : s) c = AsciiUpper(c);
    return s;
}

}  // namespace fr::evaluator
