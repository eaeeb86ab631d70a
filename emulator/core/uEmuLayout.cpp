#include "uEmuLayout.h"

#include <cstdio>
#include <string>

#include "automation/DateTime.h"
#include "automation/Text.h"

namespace fr::emu {

std::u16string centerLine(size_t width, const std::u16string& text) {
    if (text.size() >= width) return text.substr(0, width);
    size_t pad = (width - text.size()) / 2;
    return std::u16string(pad, u' ') + text;
}

std::u16string pairLine(size_t width, const std::u16string& left, const std::u16string& right) {
    if (right.empty()) return left.substr(0, width);
    if (right.size() >= width) return right.substr(0, width);
    size_t room = width - right.size() - (left.empty() ? 0 : 1);
    std::u16string l = left.substr(0, room);
    return l + std::u16string(width - l.size() - right.size(), u' ') + right;
}

std::u16string ruleLine(size_t width, char16_t c) { return std::u16string(width, c); }

void addWrapped(TEmuLines& lines, size_t width, const std::u16string& text) {
    std::u16string clean = text;
    for (auto& c : clean)
        if (c < 32) c = u' ';
    if (clean.empty()) {
        lines.emplace_back();
        return;
    }
    for (size_t i = 0; i < clean.size(); i += width) lines.push_back(clean.substr(i, width));
}

namespace {
std::u16string formatParts(const char* pattern, double serial, bool withTime, bool withSeconds) {
    DateParts p = decodeDateTime(serial);
    char buf[64];
    if (!withTime) std::snprintf(buf, sizeof buf, pattern, p.day, p.month, p.year);
    else if (!withSeconds) std::snprintf(buf, sizeof buf, pattern, p.day, p.month, p.year, p.hour, p.minute);
    else std::snprintf(buf, sizeof buf, pattern, p.year, p.month, p.day, p.hour, p.minute, p.second);
    return utf8ToUtf16(buf);
}
}  // namespace

std::u16string tapeDateTime(double serial) { return formatParts("%02d.%02d.%04d %02d:%02d", serial, true, false); }
std::u16string tapeDate(double serial) { return formatParts("%02d.%02d.%04d", serial, false, false); }
std::u16string isoDateTime(double serial) { return formatParts("%04d-%02d-%02d %02d:%02d:%02d", serial, true, true); }

bool parseIsoDateTime(const std::u16string& text, double& serial) {
    std::string s = utf16ToUtf8(text);
    int y, mo, d, h, mi, se;
    char tail;
    if (s.size() != 19 || std::sscanf(s.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &se, &tail) != 6)
        return false;
    return tryEncodeDateTime(y, mo, d, h, mi, se, 0, serial);
}

std::u16string num(long long value) { return utf8ToUtf16(std::to_string(value)); }

}  // namespace fr::emu
