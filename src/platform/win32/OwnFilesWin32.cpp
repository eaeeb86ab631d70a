// Files of our own in folders others can write: never reached through a reparse point (symbolic
// link, junction), never one of several names of a file.
#include <windows.h>

#include <string>

#include "automation/Text.h"
#include "platform/Platform.h"

namespace fr::platform {

namespace {
const wchar_t* w(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

struct Handle {
    HANDLE h;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

// What the open name holds instead of a regular file with one name; empty when it is one.
std::u16string foreignKind(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) return u"не удалось узнать, что это";
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return u"символическая ссылка или точка соединения";
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) ||
        GetFileType(h) != FILE_TYPE_DISK)
        return u"не обычный файл";
    if (info.nNumberOfLinks != 1)
        return u"жёсткая ссылка (имён у файла: " + utf8ToUtf16(std::to_string(info.nNumberOfLinks)) + u")";
    return {};
}

AppendResult openFailure() {
    DWORD e = GetLastError();
    return e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION ? AppendResult::Busy : AppendResult::Failed;
}

AppendResult writeOnce(HANDLE h, const std::string& bytes) {
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return ok && written == bytes.size() ? AppendResult::Written : AppendResult::Failed;
}

// One writer at a time (others may read): an append that raced another writer's could land on the
// same offset and lose a line. The reparse point itself is opened, never what it points to.
HANDLE openForAppend(const std::u16string& fileName, DWORD disposition) {
    return CreateFileW(w(fileName), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}
}  // namespace

AppendResult tryAppendLine(const std::u16string& fileName, const std::u16string& line,
                           const FreshFileNote& freshFileNote) {
    const std::string bytes = toSystemCodePage(line) + "\r\n";
    std::u16string found;
    {
        Handle f{openForAppend(fileName, OPEN_ALWAYS)};
        if (f.h == INVALID_HANDLE_VALUE) return openFailure();
        found = foreignKind(f.h);
        if (found.empty()) return writeOnce(f.h, bytes);
    }
    // DeleteFile removes a link itself, never its target. The fresh file is made only when the name
    // is free, so a link laid again in the meantime is refused rather than followed.
    if (!DeleteFileW(w(fileName))) return AppendResult::Failed;
    Handle f{openForAppend(fileName, CREATE_NEW)};
    if (f.h == INVALID_HANDLE_VALUE) return openFailure();
    std::string all = freshFileNote ? toSystemCodePage(freshFileNote(found)) + "\r\n" : std::string();
    return writeOnce(f.h, all + bytes);
}

OwnFileCheck checkOwnFile(const std::u16string& fileName) {
    Handle f{CreateFileW(w(fileName), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (f.h == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        return {e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? OwnFileCheck::Missing : OwnFileCheck::Foreign,
                u"недоступен"};
    }
    std::u16string found = foreignKind(f.h);
    return {found.empty() ? OwnFileCheck::Own : OwnFileCheck::Foreign, found};
}

bool removeFileName(const std::u16string& fileName) { return DeleteFileW(w(fileName)) != 0; }

}  // namespace fr::platform
