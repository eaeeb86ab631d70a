#include <windows.h>
#include <objbase.h>

#include "automation/DateTime.h"
#include "automation/Text.h"
#include "platform/Platform.h"

namespace fr::platform {

namespace {
std::u16string localeText(LCTYPE type, const std::u16string& fallback) {
    wchar_t buf[128];
    int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 128);
    if (n <= 1) return fallback;
    return std::u16string(reinterpret_cast<const char16_t*>(buf), static_cast<size_t>(n - 1));
}

// The locale API writes "dd.MM.yyyy" and "H:mm:ss"; our patterns say m for month and n for minute.
std::u16string fromLocaleDatePattern(const std::u16string& p) {
    std::u16string r;
    for (char16_t c : p) r.push_back(c == u'M' ? u'm' : c);
    return r;
}
std::u16string fromLocaleTimePattern(const std::u16string& p) {
    std::u16string r;
    for (size_t i = 0; i < p.size(); ++i) {
        char16_t c = p[i];
        if (c == u'm') r.push_back(u'n');
        else if (c == u'H') r.push_back(u'h');
        else if (c == u't') {
            while (i + 1 < p.size() && p[i + 1] == u't') ++i;
            r.append(u"ampm");
        } else r.push_back(c);
    }
    return r;
}
}  // namespace

TFormatSettings userFormatSettings() {
    TFormatSettings fs = TFormatSettings::russian();
    auto one = [](const std::u16string& s, char16_t d) { return s.empty() ? d : s[0]; };
    fs.DecimalSeparator = one(localeText(LOCALE_SDECIMAL, u","), u',');
    fs.ThousandSeparator = one(localeText(LOCALE_STHOUSAND, u"\u00A0"), u'\u00A0');
    fs.DateSeparator = one(localeText(LOCALE_SDATE, u"."), u'.');
    fs.TimeSeparator = one(localeText(LOCALE_STIME, u":"), u':');
    fs.ShortDateFormat = fromLocaleDatePattern(localeText(LOCALE_SSHORTDATE, u"dd.MM.yyyy"));
    fs.LongDateFormat = fromLocaleDatePattern(localeText(LOCALE_SLONGDATE, u"d MMMM yyyy"));
    fs.LongTimeFormat = fromLocaleTimePattern(localeText(LOCALE_STIMEFORMAT, u"H:mm:ss"));
    fs.TimeAMString = localeText(LOCALE_S1159, u"");
    fs.TimePMString = localeText(LOCALE_S2359, u"");
    for (int i = 0; i < 12; ++i) {
        fs.ShortMonthNames[i] = localeText(LOCALE_SABBREVMONTHNAME1 + i, fs.ShortMonthNames[i]);
        fs.LongMonthNames[i] = localeText(LOCALE_SMONTHNAME1 + i, fs.LongMonthNames[i]);
    }
    for (int i = 0; i < 7; ++i) {
        // The locale API counts from Monday; ours from Sunday.
        int api = (i + 6) % 7;
        fs.ShortDayNames[i] = localeText(LOCALE_SABBREVDAYNAME1 + api, fs.ShortDayNames[i]);
        fs.LongDayNames[i] = localeText(LOCALE_SDAYNAME1 + api, fs.LongDayNames[i]);
    }
    return fs;
}

double nowLocal() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return encodeDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

std::u16string newGuidString() {
    GUID g;
    CoCreateGuid(&g);
    wchar_t buf[64];
    StringFromGUID2(g, buf, 64);
    return asciiUpperCase(reinterpret_cast<const char16_t*>(buf));
}

}  // namespace fr::platform
