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

// `text` is the value's default text, made only when a step needs it (the number is printed by
// the keys otherwise, and making it is the costly part of a plain fixed-point field).
void formatNumber(double number, const TFormatEntries& entries, const TFormatSettings& fs, std::u16string& text,
                  bool haveDefault) {
    const auto defaultText = [&] {
        if (!haveDefault) text = floatToText(number, fs);
        haveDefault = true;
    };
    if (const std::u16string* expr = entries.Expr(); expr && !trim(*expr).empty()) {
        defaultText();
        // V stands for the data value, written as the value's text.
        const std::u16string expression = replaceAll(asciiUpperCase(*expr), u"V", text);
        double result = 0;
        if (!EvaluateFieldExpression(expression, fs, result)) {
            text = u"Error";
            return;
        }
        number = result;
        haveDefault = false;
    }
    const int nd = entries.ND();
    const int nfd = entries.NFD();
    if (nd > kMaxFormatDigits || nfd > kMaxFormatDigits) return defaultText();
    if (nfd >= 0) text = FormatFixed(number, nfd, nd, fs);
    else if (nd >= 0) text = FormatFixed(number, 0, nd, fs);
    else defaultText();

    const std::u16string* nds = entries.NDS();
    if (nds && !nds->empty()) text = replaceAll(text, std::u16string(1, fs.DecimalSeparator), *nds);
    if (entries.NLZ())
        for (char16_t& c : text)
            if (c == u' ') c = u'0';
}

}  // namespace

std::u16string FormatFieldValue(const Variant& value, int32_t type, const TFormatEntries& format,
                                const TFormatSettings& fs) {
    std::u16string text;
    try {
        if (type == ftNumber && !format.Empty() && value.isNumeric()) {
            // A number's conversion cannot fail, so its default text is made only where a step
            // needs it (the costly part of a plain fixed-point field).
            formatNumber(value.toDouble(fs), format, fs, text, false);
            return text;
        }
        double serial = 0;
        if (type == ftDateTime) {
            if (value.isText()) {
                // A number is a serial; a date written in the locale's format is read as one; any
                // other text is printed as given rather than lost.
                if (!tryTextToDouble(value.rawText(), fs, serial) && !tryTextToDateTime(value.rawText(), fs, serial))
                    return std::u16string(value.rawText());
            } else {
                serial = value.toDouble(fs);
            }
            text = dateTimeToText(serial, fs);
        } else {
            text = LenientText(value, fs);
        }
        if (type == ftNumber && !format.Empty()) formatNumber(value.toDouble(fs), format, fs, text, true);
        if (type == ftDateTime && !format.Empty()) {
            if (const std::u16string* df = format.DF(); df && !df->empty())
                text = FormatFieldDate(serial, *df, fs);
        }
    } catch (const std::exception&) {
        // Contained: the field keeps the text made so far.
    }
    return text;
}

std::u16string FormatFieldValue(const Variant& value, int32_t type, std::u16string_view format,
                                const TFormatSettings& fs) {
    return FormatFieldValue(value, type, TFormatEntries(format), fs);
}

}  // namespace fr::templates
