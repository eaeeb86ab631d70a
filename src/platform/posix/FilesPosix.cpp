#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "automation/Text.h"
#include "fr_version.h"
#include "platform/Platform.h"

namespace fr::platform {

char16_t pathDelimiter() { return u'/'; }

std::u16string commonAppDataFolder() {
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return utf8ToUtf16(x);
    if (const char* h = std::getenv("HOME"); h && *h) return utf8ToUtf16(std::string(h) + "/.local/share");
    return {};
}

std::u16string userAppDataFolder() { return commonAppDataFolder(); }

bool directoryExists(const std::u16string& path) {
    struct stat st{};
    return !path.empty() && ::stat(utf16ToUtf8(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool forceDirectories(const std::u16string& path) {
    std::string p = utf16ToUtf8(path);
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    if (p.empty()) return false;
    for (size_t i = 1; i <= p.size(); ++i) {
        if (i != p.size() && p[i] != '/') continue;
        std::string part = p.substr(0, i);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    return directoryExists(path);
}

void grantEveryoneFullAccess(const std::u16string&) {}

std::string toSystemCodePage(const std::u16string& text) { return utf16ToUtf8(text); }

std::u16string throughSystemCodePage(const std::u16string& text) { return text; }

std::u16string moduleFileName() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string dir = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string("/");
    dir = dir.substr(0, dir.rfind('/') + 1);
    // The native build has no DLL; it answers as the driver module would be named.
    return utf8ToUtf16(dir + "fr_vornlex.so");
}

FileVersion fileVersion(const std::u16string& fileName) {
    if (!fileName.empty() && fileName != moduleFileName()) return {};
    return {FR_VERSION_MAJOR, FR_VERSION_MINOR, FR_VERSION_RELEASE, FR_VERSION_BUILD};
}

}  // namespace fr::platform
