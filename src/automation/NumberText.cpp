#include "automation/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "automation/Text.h"

namespace fr {

std::u16string floatToText(double value, const TFormatSettings& fs, int digits) {
    if (std::isnan(value)) return u"NAN";
    if (std::isinf(value)) return value > 0 ? u"INF" : u"-INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, value);
    std::string s = buf;
    // "1E+20" -> "1E20", "1E-05" -> "1E-5"
    auto e = s.find('E');
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    std::string exp;
    if (e != std::string::npos) {
        std::string x = s.substr(e + 1);
        bool neg = !x.empty() && x[0] == '-';
        size_t k = (!x.empty() && (x[0] == '-' || x[0] == '+')) ? 1 : 0;
        while (k + 1 < x.size() && x[k] == '0') ++k;
        exp = std::string("E") + (neg ? "-" : "") + x.substr(k);
    }
    if (mant.find('.') != std::string::npos) {
        while (!mant.empty() && mant.back() == '0') mant.pop_back();
        if (!mant.empty() && mant.back() == '.') mant.pop_back();
    }
    std::u16string out;
    for (char c : mant + exp) out.push_back(c == '.' ? fs.DecimalSeparator : static_cast<char16_t>(c));
    // A negative zero loses its sign. (Erased rather than assigned "0": g++ 12 inlines that
    // assignment into a copy it wrongly reports as overlapping, -Wrestrict.)
    if (out == u"-0") out.erase(0, 1);
    return out;
}

std::u16string currencyToText(int64_t scaled, const TFormatSettings& fs) {
    bool neg = scaled < 0;
    uint64_t a = neg ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    std::string s = std::to_string(a / 10000);
    uint64_t frac = a % 10000;
    std::u16string out = neg ? u"-" : u"";
    out += utf8ToUtf16(s);
    if (frac) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04u", static_cast<unsigned>(frac));
        std::string f = buf;
        while (!f.empty() && f.back() == '0') f.pop_back();
        out.push_back(fs.DecimalSeparator);
        out += utf8ToUtf16(f);
    }
    return out;
}

namespace {
// Blanks around are allowed; returns the ASCII form with '.' as separator, or false.
bool normalise(std::u16string_view text, char16_t sep, std::string& out, bool allowFraction) {
    size_t b = 0, e = text.size();
    while (b < e && text[b] == u' ') ++b;
    while (e > b && text[e - 1] == u' ') --e;
    if (b == e) return false;
    out.clear();
    size_t i = b;
    if (text[i] == u'+' || text[i] == u'-') out.push_back(static_cast<char>(text[i++]));
    size_t digits = 0;
    while (i < e && text[i] >= u'0' && text[i] <= u'9') out.push_back(static_cast<char>(text[i++])), ++digits;
    if (allowFraction && i < e && text[i] == sep) {
        out.push_back('.');
        ++i;
        while (i < e && text[i] >= u'0' && text[i] <= u'9') out.push_back(static_cast<char>(text[i++])), ++digits;
    }
    if (digits == 0) return false;
    if (allowFraction && i < e && (text[i] == u'e' || text[i] == u'E')) {
        out.push_back('e');
        ++i;
        if (i < e && (text[i] == u'+' || text[i] == u'-')) out.push_back(static_cast<char>(text[i++]));
        size_t ed = 0;
        while (i < e && text[i] >= u'0' && text[i] <= u'9') out.push_back(static_cast<char>(text[i++])), ++ed;
        if (ed == 0) return false;
    }
    return i == e;
}
}  // namespace

bool tryTextToInt64(std::u16string_view text, int64_t& out) {
    std::string s;
    if (!normalise(text, 0, s, false)) return false;
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    auto r = std::from_chars(first, s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool tryTextToDouble(std::u16string_view text, const TFormatSettings& fs, double& out) {
    std::string s;
    if (!normalise(text, fs.DecimalSeparator, s, true)) return false;
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    auto r = std::from_chars(first, s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(out);
}

NumberParse tryTextToCurrency(std::u16string_view text, const TFormatSettings& fs, int64_t& scaled) {
    std::string s;
    if (!normalise(text, fs.DecimalSeparator, s, true)) return NumberParse::NotANumber;
    size_t i = 0;
    bool neg = false;
    if (s[i] == '+' || s[i] == '-') neg = s[i++] == '-';
    std::string digits;
    long exp10 = 0;  // value = digits * 10^exp10
    bool afterPoint = false;
    for (; i < s.size() && s[i] != 'e'; ++i) {
        if (s[i] == '.') { afterPoint = true; continue; }
        digits.push_back(s[i]);
        if (afterPoint) --exp10;
    }
    if (i < s.size()) {
        long e = 0;
        auto r = std::from_chars(s.data() + i + 1 + (s[i + 1] == '+'), s.data() + s.size(), e);
        if (r.ec != std::errc()) return NumberParse::Overflow;
        exp10 += e;
    }
    // Scale by 10^4, keep the digits beyond for rounding half to even.
    exp10 += 4;
    size_t lead = digits.find_first_not_of('0');
    if (lead == std::string::npos) { scaled = 0; return NumberParse::Ok; }
    digits = digits.substr(lead);
    std::string intPart, rest;
    if (exp10 >= 0) {
        if (digits.size() + static_cast<size_t>(exp10) > 19) return NumberParse::Overflow;
        intPart = digits + std::string(static_cast<size_t>(exp10), '0');
    } else {
        long cut = static_cast<long>(digits.size()) + exp10;
        if (cut <= 0) { intPart = "0"; rest = std::string(static_cast<size_t>(-cut), '0') + digits; }
        else { intPart = digits.substr(0, static_cast<size_t>(cut)); rest = digits.substr(static_cast<size_t>(cut)); }
    }
    if (intPart.size() > 19) return NumberParse::Overflow;
    // At most 19 digits: below 10^19, which fits an unsigned 64-bit integer.
    uint64_t v = 0;
    for (char c : intPart) v = v * 10 + static_cast<unsigned>(c - '0');
    if (!rest.empty()) {
        bool above = rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
        bool tie = rest[0] == '5' && !above;
        if (above || (tie && (v & 1))) ++v;
    }
    uint64_t limit = neg ? static_cast<uint64_t>(INT64_MAX) + 1 : static_cast<uint64_t>(INT64_MAX);
    if (v > limit) return NumberParse::Overflow;
    scaled = neg ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    return NumberParse::Ok;
}

}  // namespace fr
