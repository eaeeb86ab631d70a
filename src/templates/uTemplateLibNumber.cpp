#include "templates/uTemplateLibNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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
    std::vector<char> buf(static_cast<size_t>(places) + 340);
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value), std::chars_format::fixed, places);
    std::string digits(buf.data(), res.ptr);

    const size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    std::string frac = point == std::string::npos ? std::string() : digits.substr(point + 1);
    const bool roundUp = static_cast<size_t>(decimals) < frac.size() && frac[static_cast<size_t>(decimals)] >= '5';
    frac.resize(static_cast<size_t>(decimals), '0');
    if (roundUp) {
        std::string all = whole + frac;
        int i = static_cast<int>(all.size()) - 1;
        while (i >= 0 && all[static_cast<size_t>(i)] == '9') all[static_cast<size_t>(i--)] = '0';
        if (i < 0) all.insert(all.begin(), '1');
        else ++all[static_cast<size_t>(i)];
        whole = all.substr(0, all.size() - frac.size());
        frac = all.substr(all.size() - frac.size());
    }

    const bool zero = std::all_of(whole.begin(), whole.end(), [](char c) { return c == '0'; }) &&
                      std::all_of(frac.begin(), frac.end(), [](char c) { return c == '0'; });
    std::u16string out;
    if (value < 0 && !zero) out.push_back(u'-');
    for (char c : whole) out.push_back(static_cast<char16_t>(c));
    if (decimals > 0) {
        out.push_back(fs.DecimalSeparator);
        for (char c : frac) out.push_back(static_cast<char16_t>(c));
    }
    return padLeft(std::move(out), width);
}

}  // namespace fr::templates
