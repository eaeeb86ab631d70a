#include <windows.h>

#include <vector>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "platform/Platform.h"

namespace fr::platform {

namespace {
const wchar_t* wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

[[noreturn]] void raiseIo(const std::u16string& what, const std::u16string& fileName) {
    DWORD code = GetLastError();
    wchar_t buf[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf, 512,
                             nullptr);
    std::u16string text(reinterpret_cast<const char16_t*>(buf), n);
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) text.pop_back();
    throw EInOutError(what + u" \"" + fileName + u"\": " + text);
}

// Closes the handle on every path out.
struct FileHandle {
    HANDLE h;
    ~FileHandle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

bool writeAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr)) return false;
        bytes.remove_prefix(written);
    }
    return true;
}
}  // namespace

std::u16string environmentVariable(const std::u16string& name) {
    DWORD n = GetEnvironmentVariableW(wide(name), nullptr, 0);
    if (n == 0) return {};
    std::vector<wchar_t> buf(n);
    n = GetEnvironmentVariableW(wide(name), buf.data(), n);
    return std::u16string(reinterpret_cast<const char16_t*>(buf.data()), n);
}

std::u16string localUserDataFolder() { return environmentVariable(u"LOCALAPPDATA"); }

void writeFileAtomically(const std::u16string& fileName, std::string_view bytes) {
    const std::u16string temp = fileName + u".tmp";
    {
        // Made only where the name is free: a name left by a crash, or a link laid under it, is
        // removed first (the link itself) and never written through.
        auto create = [&] {
            return CreateFileW(wide(temp), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        };
        FileHandle f{create()};
        if (f.h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS && DeleteFileW(wide(temp)))
            f.h = create();
        if (f.h == INVALID_HANDLE_VALUE) raiseIo(u"Не удалось создать файл", temp);
        if (!writeAll(f.h, bytes) || !FlushFileBuffers(f.h)) raiseIo(u"Не удалось записать файл", temp);
    }
    if (!MoveFileExW(wide(temp), wide(fileName), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        raiseIo(u"Не удалось заменить файл", fileName);
}

void appendFileDurably(const std::u16string& fileName, std::string_view bytes) {
    FileHandle f{CreateFileW(wide(fileName), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) raiseIo(u"Не удалось открыть файл", fileName);
    if (!writeAll(f.h, bytes) || !FlushFileBuffers(f.h)) raiseIo(u"Не удалось дописать файл", fileName);
}

}  // namespace fr::platform

namespace fr::platform {

std::optional<std::string> readWholeFile(const std::u16string& fileName) {
    FileHandle f{CreateFileW(reinterpret_cast<const wchar_t*>(fileName.c_str()), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(f.h, buf, sizeof buf, &n, nullptr) && n > 0) bytes.append(buf, n);
    return bytes;
}

bool renameFile(const std::u16string& from, const std::u16string& to) {
    return MoveFileExW(wide(from), wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool fileExists(const std::u16string& fileName) {
    DWORD a = GetFileAttributesW(reinterpret_cast<const wchar_t*>(fileName.c_str()));
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace fr::platform
