#include "templates/uTemplateLibNumber.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace fr::templates {

namespace {
std::u16string padLeft(std::u16string text, int width) {
    if (width > static_cast<int>(text.size())) text.insert(0, static_cast<size_t>(width) - text.size(), u' ');
    return text;
}
}  // namespace

std::u16string FormatFixed(double value, int decimals, int width, const TFormatSettings& fs) {
    decimals = std::clamp(decimals, 0, kMaxFormatDigits);
    width = std::min(width, kMaxFormatDigits);
    if (std::isnan(value)) return padLeft(u"NAN", width);
    if (std::isinf(value)) return padLeft(value > 0 ? u"INF" : u"-INF", width);

    // Enough places for the exact expansion (a double has at most 1074 binary fraction digits, so
    // as many decimal ones) and one more than shown, so the digit after the last place is exact.
    int exponent = 0;
    std::frexp(value, &exponent);
    const int exactPlaces = std::clamp(53 - exponent, 0, 1074);
    const int places = std::max(decimals + 1, exactPlaces);
    // Integer part of at most 309 digits, the point, the places; ordinary amounts fit on the stack.
    char small[512];
    std::vector<char> large;
    const size_t need = static_cast<size_t>(places) + 320;
    char* buf = small;
    if (need > sizeof small) {
        large.resize(need);
        buf = large.data();
    }
    // printf's conversion is exact here (the places cover the whole expansion, nothing is rounded),
    // and costs the module nothing: std::to_chars would bring 170 KB of tables with it.
    const int len = std::snprintf(buf, buf == small ? sizeof small : need, "%.*f", places, std::fabs(value));
    const char* begin = buf;
    const char* point = std::find(begin, begin + std::max(len, 0), '.');
    const size_t wholeLen = static_cast<size_t>(point - begin);
    const char* frac = point + 1;  // `places` >= 1 digits follow the point

    // The shown digits, rounded half away from zero at the last place.
    std::string digits(begin, wholeLen);
    digits.append(frac, static_cast<size_t>(decimals));
    if (frac[decimals] >= '5') {
        size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) digits.insert(digits.begin(), '1');
        else ++digits[i - 1];
    }
    const size_t intLen = digits.size() - static_cast<size_t>(decimals);
    const bool zero = digits.find_first_not_of('0') == std::string::npos;

    std::u16string out;
    out.reserve(digits.size() + 2 + static_cast<size_t>(std::max(width, 0)));
    if (value < 0 && !zero) out.push_back(u'-');
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i == intLen) out.push_back(fs.DecimalSeparator);
        out.push_back(static_cast<char16_t>(digits[i]));
    }
    return padLeft(std::move(out), width);
}

}  // namespace fr::templates
