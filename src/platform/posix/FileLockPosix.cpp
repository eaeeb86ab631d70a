#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "automation/Text.h"
#include "platform/Platform.h"

namespace fr::platform {

FileLock::~FileLock() {
    // Closing the descriptor lets the lock go.
    if (FHandle != -1) ::close(static_cast<int>(FHandle));
}

FileLock::Result FileLock::Acquire(const std::u16string& fileName, int waitMs, std::u16string& error) {
    if (FHandle != -1) return Result::Locked;
    // Never written, so a link planted under the name could do no harm; it is refused all the same.
    const int fd = ::open(utf16ToUtf8(fileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd < 0) {
        error = utf8ToUtf16(std::strerror(errno));
        return Result::Failed;
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            FHandle = fd;
            return Result::Locked;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error = utf8ToUtf16(std::strerror(errno));
            ::close(fd);
            return Result::Failed;
        }
        if (std::chrono::steady_clock::now() >= until) {
            ::close(fd);
            return Result::Busy;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace fr::platform
