#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "platform/Platform.h"

namespace fr::platform {

namespace {
[[noreturn]] void raiseIo(const std::u16string& what, const std::string& fileName) {
    throw EInOutError(what + u" \"" + utf8ToUtf16(fileName) + u"\": " + utf8ToUtf16(std::strerror(errno)));
}

// Writes everything, resuming after partial writes and signals.
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

std::string folderOf(const std::string& fileName) {
    auto slash = fileName.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : fileName.substr(0, slash);
}
}  // namespace

std::u16string environmentVariable(const std::u16string& name) {
    const char* v = std::getenv(utf16ToUtf8(name).c_str());
    return v ? utf8ToUtf16(v) : std::u16string();
}

std::u16string localUserDataFolder() {
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return utf8ToUtf16(x);
    if (const char* h = std::getenv("HOME"); h && *h) return utf8ToUtf16(h) + u"/.local/share";
    return {};
}

void writeFileAtomically(const std::u16string& fileName, std::string_view bytes) {
    const std::string target = utf16ToUtf8(fileName);
    const std::string temp = target + ".tmp";
    // Made exclusively: a name left by a crash, or a link planted under it, is removed first and
    // never written through.
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(temp.c_str(), flags, 0644);
    if (fd < 0 && errno == EEXIST && ::unlink(temp.c_str()) == 0) fd = ::open(temp.c_str(), flags, 0644);
    if (fd < 0) raiseIo(u"Не удалось создать файл", temp);
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        int saved = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        errno = saved;
        raiseIo(u"Не удалось записать файл", temp);
    }
    ::close(fd);
    if (::rename(temp.c_str(), target.c_str()) != 0) raiseIo(u"Не удалось заменить файл", target);
    // The rename itself must reach the disk too, or a crash could bring the old name back.
    int dir = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void appendFileDurably(const std::u16string& fileName, std::string_view bytes) {
    const std::string target = utf16ToUtf8(fileName);
    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) raiseIo(u"Не удалось открыть файл", target);
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        int saved = errno;
        ::close(fd);
        errno = saved;
        raiseIo(u"Не удалось дописать файл", target);
    }
    ::close(fd);
}

}  // namespace fr::platform

namespace fr::platform {

FileRead readFile(const std::u16string& fileName) {
    FileRead r;
    const std::string name = utf16ToUtf8(fileName);
    auto failed = [&] {
        r.State = FileRead::Failed;
        r.Error = utf8ToUtf16(std::strerror(errno));
        r.Bytes.clear();
        return r;
    };
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) return r;
        return failed();
    }
    struct Close {
        int fd;
        ~Close() { ::close(fd); }
    } close{fd};
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failed();
        if (n == 0) break;
        r.Bytes.append(buf, static_cast<size_t>(n));
    }
    r.State = FileRead::Read;
    return r;
}

bool renameFile(const std::u16string& from, const std::u16string& to) {
    return ::rename(utf16ToUtf8(from).c_str(), utf16ToUtf8(to).c_str()) == 0;
}

bool fileExists(const std::u16string& fileName) {
    struct stat st {};
    return ::stat(utf16ToUtf8(fileName).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace fr::platform
