#include "templates/uTemplateLibFormat.h"

#include <exception>

#include "automation/DateTime.h"
#include "automation/NumberText.h"
#include "automation/Text.h"
#include "templates/uTemplateLibConvert.h"
#include "templates/uTemplateLibDate.h"
#include "templates/uTemplateLibExpr.h"
#include "templates/uTemplateLibFormatEntries.h"
#include "templates/uTemplateLibNumber.h"

namespace fr::templates {

namespace {

int intEntry(const TFormatEntries& entries, std::u16string_view latin, std::u16string_view cyrillic) {
    int n = -1;
    if (entries.FindInt(latin, n) || entries.FindInt(cyrillic, n)) return n;
    return -1;
}

const std::u16string* textEntry(const TFormatEntries& entries, std::u16string_view latin, std::u16string_view cyrillic) {
    const std::u16string* v = entries.Find(latin);
    if (!v || v->empty()) v = entries.Find(cyrillic);
    return v;
}

void formatNumber(double number, const TFormatEntries& entries, const TFormatSettings& fs, std::u16string& text) {
    if (const std::u16string* expr = entries.Find(u"EXPR"); expr && !trim(*expr).empty()) {
        // V stands for the data value, written as the value's text.
        const std::u16string expression = replaceAll(asciiUpperCase(*expr), u"V", text);
        double result = 0;
        if (!EvaluateFieldExpression(expression, fs, result)) {
            text = u"Error";
            return;
        }
        number = result;
        text = floatToText(number, fs);
    }
    const int nd = intEntry(entries, u"ND", u"ЧЦ");
    const int nfd = intEntry(entries, u"NFD", u"ЧДЦ");
    if (nd > kMaxFormatDigits || nfd > kMaxFormatDigits) return;
    if (nfd >= 0) text = FormatFixed(number, nfd, nd, fs);
    else if (nd >= 0) text = FormatFixed(number, 0, nd, fs);

    const std::u16string* nds = textEntry(entries, u"NDS", u"ЧРД");
    if (nds && !nds->empty()) text = replaceAll(text, std::u16string(1, fs.DecimalSeparator), *nds);
    if (entries.Has(u"NLZ") || entries.Has(u"ЧВН"))
        for (char16_t& c : text)
            if (c == u' ') c = u'0';
}

}  // namespace

std::u16string FormatFieldValue(const Variant& value, int32_t type, std::u16string_view format,
                                const TFormatSettings& fs) {
    std::u16string text;
    try {
        double serial = 0;
        if (type == ftDateTime) {
            if (value.isText()) {
                // A number is a serial; a date written in the locale's format is read as one; any
                // other text is printed as given rather than lost.
                if (!tryTextToDouble(value.rawText(), fs, serial) && !tryTextToDateTime(value.rawText(), fs, serial))
                    return value.rawText();
            } else {
                serial = value.toDouble(fs);
            }
            text = dateTimeToText(serial, fs);
        } else {
            text = LenientText(value, fs);
        }
        if ((type != ftNumber && type != ftDateTime) || format.empty()) return text;

        const TFormatEntries entries(format);
        if (type == ftNumber) {
            formatNumber(value.toDouble(fs), entries, fs, text);
        } else if (const std::u16string* df = textEntry(entries, u"DF", u"ДФ"); df && !df->empty()) {
            text = FormatFieldDate(serial, *df, fs);
        }
    } catch (const std::exception&) {
        // Contained: the field keeps the text made so far.
    }
    return text;
}

}  // namespace fr::templates
