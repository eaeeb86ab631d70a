#include <windows.h>

#include "platform/Platform.h"
#include "platform/win32/SystemMessage.h"

namespace fr::platform {

FileLock::~FileLock() {
    // Closing the handle lets the lock go.
    if (FHandle != -1) CloseHandle(reinterpret_cast<HANDLE>(FHandle));
}

FileLock::Result FileLock::Acquire(const std::u16string& fileName, int waitMs, std::u16string& error) {
    if (FHandle != -1) return Result::Locked;
    // Never written, so a link planted under the name could do no harm; it is not followed all the same.
    HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(fileName.c_str()), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = systemMessage(GetLastError());
        return Result::Failed;
    }
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(waitMs < 0 ? 0 : waitMs);
    for (;;) {
        OVERLAPPED at{};
        if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            FHandle = reinterpret_cast<intptr_t>(h);
            return Result::Locked;
        }
        const DWORD e = GetLastError();
        if (e != ERROR_LOCK_VIOLATION && e != ERROR_IO_PENDING) {
            error = systemMessage(e);
            CloseHandle(h);
            return Result::Failed;
        }
        if (GetTickCount64() >= until) {
            CloseHandle(h);
            return Result::Busy;
        }
        Sleep(20);
    }
}

}  // namespace fr::platform
