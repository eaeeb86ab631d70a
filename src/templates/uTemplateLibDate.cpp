#include "templates/uTemplateLibDate.h"

#include "automation/DateTime.h"

namespace fr::templates {

namespace {
char16_t latinLetter(char16_t c) {
    switch (c) {
        case u'д': return u'd';
        case u'М': return u'M';
        case u'к': return u'q';
        case u'г': return u'y';
        case u'ч': return u'h';
        case u'Ч': return u'H';
        case u'м': return u'n';
        case u'с': return u's';
        default: return c;
    }
}
}  // namespace

std::u16string TranslateDatePattern(std::u16string_view pattern) {
    std::u16string out(pattern);
    char16_t quote = 0;
    for (char16_t& c : out) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else {
            c = latinLetter(c);
        }
    }
    return out;
}

std::u16string FormatFieldDate(double serial, std::u16string_view pattern, const TFormatSettings& fs) {
    return formatDateTime(TranslateDatePattern(pattern), serial, fs);
}

}  // namespace fr::templates
