#include "adapter/uDeviceTime.h"

#include <cstdint>

#include "automation/DateTime.h"
#include "automation/NumberText.h"

namespace fr {

namespace {
bool part(const std::u16string& t, size_t at, int max, int& out) {
    if (t.size() < at + 2) return false;
    int64_t v = 0;
    if (!tryTextToInt64(std::u16string_view(t).substr(at, 2), v) || v < 0 || v > max) return false;
    out = static_cast<int>(v);
    return true;
}
}  // namespace

double DeviceTimeToDateTime(const std::u16string& T, double Now) {
    int h = 0, m = 0, s = 0;
    if (!part(T, 0, 23, h) || !part(T, 2, 59, m) || !part(T, 4, 59, s)) return Now;
    const DateParts today = decodeDateTime(Now);
    return encodeDateTime(today.year, today.month, today.day, h, m, s, 0);
}

}  // namespace fr
