#include "adapter/uReceiptLines.h"

#include <cmath>
#include <cstdio>

#include "automation/FormatSettings.h"
#include "automation/Text.h"
#include "platform/Platform.h"

namespace fr {

namespace {
std::u16string withSeparator(std::string s) {
    const char16_t sep = processFormatSettings().DecimalSeparator;
    std::u16string out = utf8ToUtf16(s);
    for (char16_t& c : out)
        if (c == u'.') c = sep;
    return out;
}
}  // namespace

std::u16string JustifyPair(const std::u16string& Left, const std::u16string& Right, int32_t Width, int32_t lineLen) {
    int64_t w = Width != 0 ? Width : lineLen != 0 ? lineLen : 24;
    const int64_t room = w - static_cast<int64_t>(Right.size());
    const std::u16string l = room > 0 ? Left.substr(0, static_cast<size_t>(room)) : std::u16string();
    const int64_t pad = w - static_cast<int64_t>(l.size()) - static_cast<int64_t>(Right.size());
    return l + std::u16string(pad > 0 ? static_cast<size_t>(pad) : 0, u' ') + Right;
}

std::u16string CenterText(const std::u16string& Text, int32_t Width) {
    const std::u16string t = trim(Text);
    const int64_t d = static_cast<int64_t>(Width) - static_cast<int64_t>(t.size());
    if (d > 0) return std::u16string(static_cast<size_t>(d / 2), u' ') + t + std::u16string(static_cast<size_t>(d - d / 2), u' ');
    if (d < 0) {
        const size_t front = static_cast<size_t>(-d / 2);
        return t.substr(front, static_cast<size_t>(Width > 0 ? Width : 0));
    }
    return t;
}

std::u16string AlignPair(const std::u16string& Left, const std::u16string& Right, int32_t Width, char16_t Fill) {
    const std::u16string l = platform::throughSystemCodePage(Left);
    const std::u16string r = platform::throughSystemCodePage(Right);
    const std::u16string fill = platform::throughSystemCodePage(std::u16string(1, Fill));
    const int64_t w = Width > 0 ? Width : 0;
    if (static_cast<int64_t>(r.size()) >= w) return r.substr(0, static_cast<size_t>(w));
    const size_t room = static_cast<size_t>(w - static_cast<int64_t>(r.size()));
    const std::u16string left = l.substr(0, room);
    return left + std::u16string(room - left.size(), fill.empty() ? u' ' : fill[0]) + r;
}

std::vector<std::u16string> SplitByLength(const std::u16string& Text, int32_t N) {
    std::vector<std::u16string> pieces;
    if (N <= 0) return pieces;
    for (size_t i = 0; i < Text.size(); i += static_cast<size_t>(N)) pieces.push_back(Text.substr(i, static_cast<size_t>(N)));
    return pieces;
}

std::u16string AmountText(int64_t scaled) {
    const bool negative = scaled < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    const uint64_t cents = (magnitude + 50) / 100;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%llu.%02llu", negative && cents ? "-" : "", static_cast<unsigned long long>(cents / 100),
                  static_cast<unsigned long long>(cents % 100));
    return withSeparator(buf);
}

std::u16string QuantityText(double quantity) {
    const double whole = std::trunc(quantity);
    char buf[64];
    if (std::fabs(quantity - whole) < 0.0000001) std::snprintf(buf, sizeof buf, "%.0f", whole);
    else std::snprintf(buf, sizeof buf, "%.3f", quantity);
    return withSeparator(buf);
}

}  // namespace fr
