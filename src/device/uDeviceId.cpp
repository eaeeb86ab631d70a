#include "device/uDeviceId.h"

#include <array>
#include <string_view>

namespace fr {

namespace {
char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }

bool sameLetters(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

// Windows opens the device, not a file, for these names, with any extension and in any case.
bool reservedDeviceName(std::u16string_view id) {
    std::u16string_view base = id.substr(0, id.find(u'.'));
    while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
    for (std::u16string_view name : {u"CON", u"PRN", u"AUX", u"NUL"})
        if (sameLetters(base, name)) return true;
    if (base.size() != 4 || base[3] < u'1' || base[3] > u'9') return false;
    return sameLetters(base.substr(0, 3), u"COM") || sameLetters(base.substr(0, 3), u"LPT");
}

std::u16string refusal(std::u16string_view rule) {
    return u"Идентификатор устройства должен годиться в имя одной папки: " + std::u16string(rule);
}
}  // namespace

std::u16string DeviceIdProblem(const std::u16string& id) {
    if (id.empty()) return {};
    for (char16_t c : id)
        if (c < 32 || c == 127) return refusal(u"управляющие символы в нём недопустимы");
    if (id.find_first_of(u"\\/") != std::u16string::npos)
        return refusal(u"разделители пути (\\ и /) в нём недопустимы");
    if (id.find(u':') != std::u16string::npos) return refusal(u"двоеточие (диск или поток файла) в нём недопустимо");
    if (id.find_first_of(u"<>\"|?*") != std::u16string::npos)
        return refusal(u"символы < > \" | ? * в нём недопустимы");
    if (id == u"." || id == u"..") return refusal(u"\".\" и \"..\" означают другие папки");
    if (id.back() == u'.' || id.back() == u' ') return refusal(u"точка или пробел в конце недопустимы");
    if (reservedDeviceName(id)) return refusal(u"имена устройств Windows (CON, PRN, AUX, NUL, COM1–COM9, LPT1–LPT9) недопустимы");
    return {};
}

}  // namespace fr
