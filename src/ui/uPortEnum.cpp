#include "ui/uPortEnum.h"

#include <algorithm>

#include "automation/Text.h"

namespace fr::ui {

namespace {

constexpr int kNoNumber = -1;
// Registry and property texts are read into buffers of 256 characters.
constexpr size_t kMaxNameLength = 255;

// Upper case for Latin and Cyrillic letters, doubled so that Ё can sit between Е and Ж.
int sortKey(char16_t c) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 0x20);
    else if (c >= 0x0430 && c <= 0x044F) c = static_cast<char16_t>(c - 0x20);  // а..я
    else if (c >= 0x0450 && c <= 0x045F) c = static_cast<char16_t>(c - 0x50);  // ѐ..џ
    if (c == 0x0401) return 0x0415 * 2 + 1;                                    // Ё after Е
    return c * 2;
}

// Decimal digits and nothing else; kNoNumber otherwise (also for more than fits).
int decimalOrNone(std::u16string_view s) {
    if (s.empty() || s.size() > 9) return kNoNumber;
    int n = 0;
    for (char16_t c : s) {
        if (c < u'0' || c > u'9') return kNoNumber;
        n = n * 10 + (c - u'0');
    }
    return n;
}

bool contains(std::u16string_view s, std::u16string_view what) { return s.find(what) != std::u16string_view::npos; }

// Every value of a device-map key that names a port with a number.
void addDeviceMap(TPortSources& sources, TDeviceMap map, TPortNames& list) {
    const std::u16string prefix = map == TDeviceMap::dmSerial ? u"COM" : u"LPT";
    for (const std::u16string& value : sources.DeviceMapValues(map)) {
        const size_t p = value.find(prefix);
        if (p == std::u16string::npos) continue;
        const int number = decimalOrNone(std::u16string_view(value).substr(p + 3, 3));
        if (number == kNoNumber) continue;
        // "\DosDevices\LPT1" is listed as LPT1.
        std::u16string name = value.substr(p, kMaxNameLength);
        const bool known = std::any_of(list.begin(), list.end(),
                                       [&](const TPortName& e) { return ComparePortText(e.Name, name) == 0; });
        if (!known) list.push_back({std::move(name), number});
    }
}

std::u16string deviceName(const TSetupPortDevice& d) {
    for (const std::u16string* s : {&d.FriendlyName, &d.DeviceDesc, &d.ClassName, &d.ClassGuid})
        if (!s->empty()) return s->substr(0, kMaxNameLength);
    return u"<Unknown Device>";
}

// The number after "(COM" or "(LPT" in a name such as "Communications Port (COM3)".
int numberFromName(const std::u16string& upperName, std::u16string_view marker) {
    const size_t p = upperName.find(marker);
    // At least two characters after "(COM": "(COM5" alone names no port.
    if (p == std::u16string::npos || upperName.size() <= p + 5) return kNoNumber;
    std::u16string_view rest = std::u16string_view(upperName).substr(p + 4);
    const size_t close = rest.find(u')');
    if (close != std::u16string_view::npos && close != 0) rest = rest.substr(0, close);
    return decimalOrNone(rest);
}

int devicePortNumber(const TSetupPortDevice& d, const std::u16string& name, int kind) {
    // "PortName" = "COM12": its fourth to sixth characters.
    if (!d.PortName.empty()) return d.PortName.size() > 3 ? decimalOrNone(std::u16string_view(d.PortName).substr(3, 3)) : kNoNumber;
    const std::u16string upper = asciiUpperCase(name);
    switch (kind) {
        case pkSerial: return numberFromName(upper, u"(COM");
        case pkParallel: return numberFromName(upper, u"(LPT");
        default: {
            if (upper.find(u"(COM") != std::u16string::npos) return numberFromName(upper, u"(COM");
            return numberFromName(upper, u"(LPT");
        }
    }
}

// One device of the setup pass; false ends the pass.
bool addSetupDevice(const TSetupPortDevice& d, int kind, bool shortNames, TPortNames& list) {
    if (!d.StatusRead || d.NoDisplayClass) return false;
    const std::u16string name = deviceName(d);
    const int number = devicePortNumber(d, name, kind);
    if (number == kNoNumber) return true;
    int portKind;
    if (contains(name, u"COM")) portKind = pkSerial;
    else if (contains(name, u"LPT")) portKind = pkParallel;
    else return true;
    if (kind != pkBoth && portKind != kind) return true;
    const std::u16string_view prefix = portKind == pkSerial ? u"COM" : u"LPT";
    // The device map's bare "COM7" gives way to the device's own name.
    auto same = std::find_if(list.begin(), list.end(),
                             [&](const TPortName& e) { return e.Number == number && contains(e.Name, prefix); });
    if (same != list.end()) {
        same->Name = name;
        return true;
    }
    std::u16string shown = name;
    if (shortNames) {
        const size_t cut = asciiUpperCase(name).find(u"(COM");
        if (cut != std::u16string::npos) shown = name.substr(0, cut);
    }
    list.push_back({std::move(shown), number});
    return true;
}

TPortNames remoteSessionList(int kind) {
    const std::u16string prefix = kind == pkSerial ? u"COM" : u"LPT";
    const int last = kind == pkSerial ? 256 : 4;
    TPortNames list;
    for (int n = 1; n <= last; ++n) list.push_back({prefix + utf8ToUtf16(std::to_string(n)), n});
    return list;
}

}  // namespace

int ComparePortText(std::u16string_view a, std::u16string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int x = sortKey(a[i]), y = sortKey(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

TPortNames EnumeratePorts(TPortSources& sources, int Kind, bool ShortNames, bool SortByNumber) {
    // A remote session cannot see the client's ports: offer every name, unsorted.
    if ((Kind == pkSerial || Kind == pkParallel) && sources.IsRemoteSession()) return remoteSessionList(Kind);

    TPortNames list;
    if (Kind == pkSerial || Kind == pkBoth) addDeviceMap(sources, TDeviceMap::dmSerial, list);
    if (Kind == pkParallel || Kind == pkBoth) addDeviceMap(sources, TDeviceMap::dmParallel, list);

    sources.EnumSetupPorts([&](const TSetupPortDevice& d) { return addSetupDevice(d, Kind, ShortNames, list); });

    if (SortByNumber)
        std::stable_sort(list.begin(), list.end(), [](const TPortName& a, const TPortName& b) { return a.Number < b.Number; });
    else
        std::stable_sort(list.begin(), list.end(),
                         [](const TPortName& a, const TPortName& b) { return ComparePortText(a.Name, b.Name) < 0; });
    return list;
}

}  // namespace fr::ui
