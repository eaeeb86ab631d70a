#include <windows.h>

#include <vector>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "platform/Platform.h"
#include "platform/win32/SystemMessage.h"

namespace fr::platform {

namespace {
const wchar_t* wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

[[noreturn]] void raiseIo(const std::u16string& what, const std::u16string& fileName) {
    throw EInOutError(what + u" \"" + fileName + u"\": " + systemMessage(GetLastError()));
}

// A rename over a file that a reader without delete sharing (an antivirus, an indexer, a backup
// tool) holds for a moment fails with a sharing violation or access denied: tried again briefly.
bool moveReplacing(const std::u16string& from, const std::u16string& to) {
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(wide(from), wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        const DWORD e = GetLastError();
        if ((e != ERROR_SHARING_VIOLATION && e != ERROR_ACCESS_DENIED && e != ERROR_LOCK_VIOLATION) || attempt >= 40)
            return false;
        Sleep(50);
        SetLastError(e);
    }
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
    if (!moveReplacing(temp, fileName)) raiseIo(u"Не удалось заменить файл", fileName);
}

void appendFileDurably(const std::u16string& fileName, std::string_view bytes) {
    FileHandle f{CreateFileW(wide(fileName), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) raiseIo(u"Не удалось открыть файл", fileName);
    if (!writeAll(f.h, bytes) || !FlushFileBuffers(f.h)) raiseIo(u"Не удалось дописать файл", fileName);
}

}  // namespace fr::platform

namespace fr::platform {

FileRead readFile(const std::u16string& fileName) {
    FileRead r;
    auto failed = [&] {
        r.State = FileRead::Failed;
        r.Error = systemMessage(GetLastError());
        r.Bytes.clear();
        return r;
    };
    FileHandle f{CreateFileW(wide(fileName), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return r;
        return failed();
    }
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(f.h, buf, sizeof buf, &n, nullptr)) return failed();
        if (n == 0) break;
        r.Bytes.append(buf, n);
    }
    r.State = FileRead::Read;
    return r;
}

bool renameFile(const std::u16string& from, const std::u16string& to) { return moveReplacing(from, to); }

bool fileExists(const std::u16string& fileName) {
    DWORD a = GetFileAttributesW(reinterpret_cast<const wchar_t*>(fileName.c_str()));
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace fr::platform
