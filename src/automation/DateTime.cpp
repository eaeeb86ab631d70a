#include "automation/DateTime.h"

#include <cmath>
#include <cstdio>

#include "automation/Errors.h"
#include "automation/Text.h"

namespace fr {

namespace {
// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void civilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr int64_t kOleEpochFromUnix = -25569;  // 1899-12-30 counted from 1970-01-01
constexpr double kMsPerDay = 86400000.0;
}  // namespace

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

bool tryEncodeDateTime(int y, int mo, int d, int h, int mi, int s, int ms, double& out) {
    if (y < 1 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, mo)) return false;
    if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59 || ms < 0 || ms > 999) return false;
    double days = static_cast<double>(daysFromCivil(y, mo, d) - kOleEpochFromUnix);
    double t = ((h * 3600.0 + mi * 60.0 + s) * 1000.0 + ms) / kMsPerDay;
    // Before the epoch the fraction still counts forward from midnight: -1.25 is 29.12.1899 06:00.
    out = days < 0 ? days - t : days + t;
    return true;
}

double encodeDateTime(int y, int mo, int d, int h, int mi, int s, int ms) {
    double r;
    if (!tryEncodeDateTime(y, mo, d, h, mi, s, ms, r)) throw EVariantError(u"Неверная дата или время");
    return r;
}

double encodeDate(int y, int m, int d) { return encodeDateTime(y, m, d, 0, 0, 0, 0); }

double encodeTime(int h, int mi, int s, int ms) {
    double r;
    if (!tryEncodeDateTime(1899, 12, 30, h, mi, s, ms, r)) throw EVariantError(u"Неверное время");
    return r;
}

DateParts decodeDateTime(double serial) {
    if (!std::isfinite(serial) || std::fabs(serial) > 2958466.0) throw EVariantError(u"Неверное значение даты");
    double whole = std::trunc(serial);
    int64_t days = static_cast<int64_t>(whole);
    int64_t ms = std::llround(std::fabs(serial - whole) * kMsPerDay);
    if (ms >= static_cast<int64_t>(kMsPerDay)) {  // rounding reached the next midnight
        ms -= static_cast<int64_t>(kMsPerDay);
        days += serial < 0 ? -1 : 1;
    }
    DateParts p;
    civilFromDays(days + kOleEpochFromUnix, p.year, p.month, p.day);
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.millisecond = static_cast<int>(ms % 1000);
    int64_t dow = (days + kOleEpochFromUnix + 4) % 7;  // 1970-01-01 was a Thursday
    p.dayOfWeek = static_cast<int>(dow < 0 ? dow + 7 : dow);
    return p;
}

namespace {
void appendNumber(std::u16string& out, int value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    for (const char* c = buf; *c; ++c) out.push_back(static_cast<char16_t>(*c));
}

size_t countRun(std::u16string_view p, size_t i, char16_t c) {
    size_t n = 0;
    while (i + n < p.size() && asciiLower(p[i + n]) == c) ++n;
    return n;
}

bool startsWithCi(std::u16string_view p, size_t i, std::u16string_view what) {
    if (i + what.size() > p.size()) return false;
    for (size_t k = 0; k < what.size(); ++k)
        if (asciiLower(p[i + k]) != what[k]) return false;
    return true;
}

void formatInto(std::u16string& out, std::u16string_view p, const DateParts& d, const TFormatSettings& fs,
                int depth) {
    if (depth > 2) return;
    bool hasAmPm = false;
    for (size_t k = 0; k < p.size(); ++k)
        if (startsWithCi(p, k, u"am/pm") || startsWithCi(p, k, u"a/p") || startsWithCi(p, k, u"ampm")) hasAmPm = true;
    int hour = d.hour;
    if (hasAmPm) hour = hour % 12 == 0 ? 12 : hour % 12;
    bool lastWasHour = false;
    size_t i = 0;
    while (i < p.size()) {
        char16_t c = p[i];
        char16_t lc = asciiLower(c);
        if (c == u'"' || c == u'\'') {
            size_t e = p.find(c, i + 1);
            if (e == std::u16string_view::npos) e = p.size();
            out.append(p.substr(i + 1, e - i - 1));
            i = e + 1;
            continue;
        }
        if (lc == u'a' && startsWithCi(p, i, u"am/pm")) {
            out.append(d.hour < 12 ? (fs.TimeAMString.empty() ? u"am" : fs.TimeAMString)
                                   : (fs.TimePMString.empty() ? u"pm" : fs.TimePMString));
            i += 5;
            continue;
        }
        if (lc == u'a' && startsWithCi(p, i, u"a/p")) {
            out.push_back(d.hour < 12 ? u'a' : u'p');
            i += 3;
            continue;
        }
        if (lc == u'a' && startsWithCi(p, i, u"ampm")) {
            out.append(d.hour < 12 ? fs.TimeAMString : fs.TimePMString);
            i += 4;
            continue;
        }
        size_t n = countRun(p, i, lc);
        switch (lc) {
            case u'd':
                if (n == 1) appendNumber(out, d.day, 1);
                else if (n == 2) appendNumber(out, d.day, 2);
                else if (n == 3) out.append(fs.ShortDayNames[d.dayOfWeek]);
                else if (n == 4) out.append(fs.LongDayNames[d.dayOfWeek]);
                else if (n == 5) formatInto(out, fs.ShortDateFormat, d, fs, depth + 1);
                else formatInto(out, fs.LongDateFormat, d, fs, depth + 1);
                lastWasHour = false;
                break;
            case u'm':
                if (lastWasHour && n <= 2) appendNumber(out, d.minute, n == 1 ? 1 : 2);
                else if (n == 1) appendNumber(out, d.month, 1);
                else if (n == 2) appendNumber(out, d.month, 2);
                else if (n == 3) out.append(fs.ShortMonthNames[d.month - 1]);
                else out.append(fs.LongMonthNames[d.month - 1]);
                lastWasHour = false;
                break;
            case u'y':
                if (n <= 2) appendNumber(out, d.year % 100, 2);
                else appendNumber(out, d.year, 4);
                lastWasHour = false;
                break;
            case u'h': appendNumber(out, hour, n == 1 ? 1 : 2); lastWasHour = true; break;
            case u'n': appendNumber(out, d.minute, n == 1 ? 1 : 2); lastWasHour = false; break;
            case u's': appendNumber(out, d.second, n == 1 ? 1 : 2); lastWasHour = false; break;
            case u'z': appendNumber(out, d.millisecond, n >= 3 ? 3 : 1); lastWasHour = false; break;
            case u't':
                formatInto(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, d, fs, depth + 1);
                lastWasHour = false;
                break;
            case u'c':
                formatInto(out, fs.ShortDateFormat, d, fs, depth + 1);
                if (d.hour || d.minute || d.second || d.millisecond) {
                    out.push_back(u' ');
                    formatInto(out, fs.LongTimeFormat, d, fs, depth + 1);
                }
                break;
            case u'/': out.append(n, fs.DateSeparator); break;
            case u':': out.append(n, fs.TimeSeparator); break;
            default: out.append(n, c); break;
        }
        i += n;
    }
}
}  // namespace

std::u16string formatDateTime(std::u16string_view pattern, double serial, const TFormatSettings& fs) {
    std::u16string out;
    formatInto(out, pattern, decodeDateTime(serial), fs, 0);
    return out;
}

std::u16string dateTimeToText(double serial, const TFormatSettings& fs) { return formatDateTime(u"c", serial, fs); }

namespace {
struct Scanner {
    std::u16string_view s;
    size_t i = 0;
    void blanks() { while (i < s.size() && s[i] == u' ') ++i; }
    bool number(int& v, int maxDigits = 9) {
        size_t start = i;
        v = 0;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && i - start < static_cast<size_t>(maxDigits))
            v = v * 10 + (s[i++] - u'0');
        return i > start;
    }
    bool sep(char16_t c) {
        if (i < s.size() && s[i] == c) { ++i; return true; }
        return false;
    }
    bool atEnd() { blanks(); return i >= s.size(); }
};

// Order of day, month and year from the short date pattern.
std::u16string dateOrder(const std::u16string& f) {
    std::u16string order;
    for (char16_t c : f) {
        char16_t l = asciiLower(c);
        if ((l == u'd' || l == u'm' || l == u'y') && order.find(l) == std::u16string::npos) order.push_back(l);
    }
    return order.size() == 3 ? order : u"dmy";
}

bool scanDate(Scanner& sc, const TFormatSettings& fs, int& y, int& m, int& d) {
    std::u16string order = dateOrder(fs.ShortDateFormat);
    int v[3];
    int digits[3];
    for (int k = 0; k < 3; ++k) {
        sc.blanks();
        size_t st = sc.i;
        if (!sc.number(v[k], 4)) {
            // Day and month alone take the current year.
            if (k == 2) return false;
            return false;
        }
        digits[k] = static_cast<int>(sc.i - st);
        if (k < 2 && !sc.sep(fs.DateSeparator)) return false;
    }
    for (int k = 0; k < 3; ++k) {
        if (order[k] == u'd') d = v[k];
        else if (order[k] == u'm') m = v[k];
        else {
            y = v[k];
            if (digits[k] <= 2) y += y < 50 ? 2000 : 1900;  // two-digit years around the century
        }
    }
    return true;
}

bool scanTime(Scanner& sc, const TFormatSettings& fs, int& h, int& mi, int& s, int& ms) {
    sc.blanks();
    if (!sc.number(h, 2)) return false;
    if (!sc.sep(fs.TimeSeparator)) return false;
    if (!sc.number(mi, 2)) return false;
    s = ms = 0;
    if (sc.sep(fs.TimeSeparator)) {
        if (!sc.number(s, 2)) return false;
        if (sc.sep(u'.') || sc.sep(fs.DecimalSeparator)) {
            size_t st = sc.i;
            if (!sc.number(ms, 3)) return false;
            for (size_t k = sc.i - st; k < 3; ++k) ms *= 10;
        }
    }
    sc.blanks();
    if (!fs.TimeAMString.empty() || !fs.TimePMString.empty()) {
        auto rest = sc.s.substr(sc.i);
        if (!fs.TimePMString.empty() && sameTextAscii(rest.substr(0, fs.TimePMString.size()), fs.TimePMString)) {
            if (h < 12) h += 12;
            sc.i += fs.TimePMString.size();
        } else if (!fs.TimeAMString.empty() && sameTextAscii(rest.substr(0, fs.TimeAMString.size()), fs.TimeAMString)) {
            if (h == 12) h = 0;
            sc.i += fs.TimeAMString.size();
        }
    }
    return true;
}
}  // namespace

bool tryTextToDateTime(std::u16string_view text, const TFormatSettings& fs, double& out) {
    int y = 0, m = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    Scanner sc{text};
    if (scanDate(sc, fs, y, m, d)) {
        if (sc.atEnd()) return tryEncodeDateTime(y, m, d, 0, 0, 0, 0, out);
        if (!scanTime(sc, fs, h, mi, s, ms) || !sc.atEnd()) return false;
        return tryEncodeDateTime(y, m, d, h, mi, s, ms, out);
    }
    Scanner tc{text};
    if (scanTime(tc, fs, h, mi, s, ms) && tc.atEnd()) return tryEncodeDateTime(1899, 12, 30, h, mi, s, ms, out);
    return false;
}

}  // namespace fr
