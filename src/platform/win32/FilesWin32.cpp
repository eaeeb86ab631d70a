#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "platform/Platform.h"
#include "platform/win32/SystemMessage.h"

namespace fr::platform {

namespace {
const wchar_t* w(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
std::u16string fromW(const wchar_t* s) { return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string(); }

std::u16string knownFolder(int csidl) {
    wchar_t buf[MAX_PATH];
    if (SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK) return {};
    return fromW(buf);
}

[[noreturn]] void raiseOsError(DWORD code) {
    throw EError(u"Системная ошибка. Код: " + utf8ToUtf16(std::to_string(code)) + u". " + systemMessage(code),
                 "EOSError");
}

// Frees what the security API allocated with LocalAlloc.
struct LocalMemory {
    HLOCAL p = nullptr;
    ~LocalMemory() { if (p) LocalFree(p); }
};
}  // namespace

std::u16string systemMessage(unsigned long code) {
    wchar_t* msg = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<wchar_t*>(&msg), 0, nullptr);
    std::u16string text = trim(fromW(msg));
    LocalFree(msg);
    return text;
}

char16_t pathDelimiter() { return u'\\'; }

std::u16string commonAppDataFolder() { return knownFolder(CSIDL_COMMON_APPDATA); }
std::u16string userAppDataFolder() { return knownFolder(CSIDL_APPDATA); }

bool directoryExists(const std::u16string& path) {
    DWORD a = GetFileAttributesW(w(path));
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool forceDirectories(const std::u16string& path) {
    std::u16string p = path;
    while (p.size() > 3 && (p.back() == u'\\' || p.back() == u'/')) p.pop_back();
    if (p.empty()) return false;
    if (directoryExists(p)) return true;
    size_t cut = p.find_last_of(u"\\/");
    if (cut != std::u16string::npos && cut > 2 && !forceDirectories(p.substr(0, cut))) return false;
    return CreateDirectoryW(w(p), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void grantEveryoneFullAccess(const std::u16string& folder) {
    PACL dacl = nullptr;
    LocalMemory sd;
    DWORD rc = GetNamedSecurityInfoW(w(folder), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                     nullptr, reinterpret_cast<PSECURITY_DESCRIPTOR*>(&sd.p));
    if (rc != ERROR_SUCCESS) raiseOsError(rc);
    if (!dacl) return;  // no access list: everyone has access already
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        raiseOsError(GetLastError());
    struct SidGuard { PSID s; ~SidGuard() { FreeSid(s); } } guard{everyone};
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) continue;
        auto* header = static_cast<ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (EqualSid(reinterpret_cast<PSID>(&allowed->SidStart), everyone) &&
            (allowed->Mask & FILE_ALL_ACCESS) == FILE_ALL_ACCESS)
            return;
    }
    EXPLICIT_ACCESSW ea{};
    ea.grfAccessPermissions = FILE_ALL_ACCESS;
    ea.grfAccessMode = GRANT_ACCESS;
    ea.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    ea.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    ea.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    ea.Trustee.ptstrName = static_cast<LPWSTR>(everyone);
    LocalMemory newAcl;
    rc = SetEntriesInAclW(1, &ea, dacl, reinterpret_cast<PACL*>(&newAcl.p));
    if (rc != ERROR_SUCCESS) raiseOsError(rc);
    std::u16string path = folder;
    rc = SetNamedSecurityInfoW(const_cast<wchar_t*>(w(path)), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                               nullptr, static_cast<PACL>(newAcl.p), nullptr);
    if (rc != ERROR_SUCCESS) raiseOsError(rc);
}

std::string toSystemCodePage(const std::u16string& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, w(text), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w(text), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::u16string throughSystemCodePage(const std::u16string& text) {
    const std::string bytes = toSystemCodePage(text);
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string out(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}

std::u16string moduleFileName() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&moduleFileName), &self);
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(self, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) return std::u16string(reinterpret_cast<const char16_t*>(buf.data()), n);
        buf.resize(buf.size() * 2);
    }
}

FileVersion fileVersion(const std::u16string& fileName) {
    std::u16string name = fileName.empty() ? moduleFileName() : fileName;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(w(name), &handle);
    if (size == 0) return {};
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(w(name), 0, size, data.data())) return {};
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info) return {};
    return {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
            LOWORD(info->dwFileVersionLS)};
}

}  // namespace fr::platform
