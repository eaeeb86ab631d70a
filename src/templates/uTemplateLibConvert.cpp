#include "templates/uTemplateLibConvert.h"

#include "automation/NumberText.h"

namespace fr::templates {

std::u16string LenientText(const Variant& value, const TFormatSettings& fs) {
    if (value.isEmptyOrNull()) return {};
    return value.toText(fs);
}

std::u16string NormalizeDecimalSeparator(std::u16string_view text, const TFormatSettings& fs) {
    std::u16string out(text);
    const char16_t from = fs.DecimalSeparator == u'.' ? u',' : u'.';
    for (char16_t& c : out)
        if (c == from) c = fs.DecimalSeparator;
    return out;
}

namespace {
int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}
}  // namespace

std::u16string HexToBytes(std::u16string_view text) {
    std::u16string digits;
    digits.reserve(text.size());
    for (char16_t c : text)
        if (c != u' ') digits.push_back(c);
    std::u16string out;
    out.reserve(digits.size() / 2);
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        const int hi = hexDigit(digits[i]), lo = hexDigit(digits[i + 1]);
        out.push_back(hi < 0 || lo < 0 ? u'\0' : static_cast<char16_t>(hi * 16 + lo));
    }
    return out;
}

Variant ConvertFieldValue(const Variant& value, int32_t type, const TFormatSettings& fs) {
    switch (type) {
        case ftText:
        case ftString: return Variant(LenientText(value, fs));
        case ftNumber: {
            if (!value.isText()) return Variant(value.toDouble(fs));
            double d = 0;
            if (!tryTextToDouble(NormalizeDecimalSeparator(value.rawText(), fs), fs, d)) d = 0;
            return Variant(d);
        }
        case ftDateTime:
            if (value.isText()) return value;
            return Variant::date(value.toDate(fs));
        case ftHexBytes: return Variant(HexToBytes(LenientText(value, fs)));
        default: return Variant();
    }
}

}  // namespace fr::templates
