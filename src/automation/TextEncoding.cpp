#include "automation/TextEncoding.h"

#include "automation/Text.h"

namespace fr {

namespace {
// Bytes 0x80..0xBF; 0xC0..0xFF are А..я in order.
constexpr char16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
}  // namespace

bool isValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t n;
        char32_t cp, min;
        if (c < 0x80) { ++i; continue; }
        if ((c >> 5) == 6) { n = 2; cp = c & 0x1F; min = 0x80; }
        else if ((c >> 4) == 14) { n = 3; cp = c & 0x0F; min = 0x800; }
        else if ((c >> 3) == 30) { n = 4; cp = c & 0x07; min = 0x10000; }
        else return false;
        if (i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc >> 6) != 2) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return false;
        i += n;
    }
    return true;
}

std::u16string cp1251ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) out.push_back(c);
        else if (c < 0xC0) out.push_back(kCp1251High[c - 0x80]);
        else out.push_back(static_cast<char16_t>(0x0410 + (c - 0xC0)));
    }
    return out;
}

std::u16string decodeTextFile(std::string_view bytes) {
    if (startsWith(bytes, "\xFF\xFE")) {
        std::u16string out;
        out.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (bytes.size() % 2) out.push_back(0xFFFD);  // a file cut in the middle of a character
        return out;
    }
    if (startsWith(bytes, "\xEF\xBB\xBF")) return utf8ToUtf16(bytes.substr(3));
    if (isValidUtf8(bytes)) return utf8ToUtf16(bytes);
    return cp1251ToUtf16(bytes);
}

}  // namespace fr
