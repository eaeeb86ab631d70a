// Files of our own in folders others can write: never reached through a link, never one of
// several names of a file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "automation/Text.h"
#include "platform/Platform.h"

namespace fr::platform {

namespace {
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// What stands at a name instead of a regular file with one name; empty when it is one.
std::u16string foreignKind(const struct stat& st) {
    if (S_ISLNK(st.st_mode)) return u"символическая ссылка";
    if (!S_ISREG(st.st_mode)) return u"не обычный файл";
    if (st.st_nlink != 1)
        return u"жёсткая ссылка (имён у файла: " + utf8ToUtf16(std::to_string(st.st_nlink)) + u")";
    return {};
}

// One write with O_APPEND: lines of several writers never interleave, and nobody is ever kept
// waiting.
AppendResult writeOnce(int fd, const std::string& bytes) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    return n == static_cast<ssize_t>(bytes.size()) ? AppendResult::Written : AppendResult::Failed;
}
}  // namespace

AppendResult tryAppendLine(const std::u16string& fileName, const std::u16string& line,
                           const FreshFileNote& freshFileNote) {
    const std::string name = utf16ToUtf8(fileName);
    const std::string bytes = toSystemCodePage(line) + "\r\n";
    std::u16string found;
    {
        // O_NONBLOCK: a pipe planted under the name must not keep the writer waiting for a reader.
        Fd f{::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666)};
        if (f.fd < 0) {
            if (errno != ELOOP) return AppendResult::Failed;
            found = u"символическая ссылка";
        } else {
            struct stat st{};
            if (::fstat(f.fd, &st) != 0) return AppendResult::Failed;
            found = foreignKind(st);
            if (found.empty()) return writeOnce(f.fd, bytes);
        }
    }
    // Only the name goes; unlink never follows a link. The fresh file is made exclusively, so a
    // link planted again in the meantime is refused rather than followed.
    if (::unlink(name.c_str()) != 0) return AppendResult::Failed;
    Fd f{::open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666)};
    if (f.fd < 0) return AppendResult::Failed;
    std::string all = freshFileNote ? toSystemCodePage(freshFileNote(found)) + "\r\n" : std::string();
    return writeOnce(f.fd, all + bytes);
}

OwnFileCheck checkOwnFile(const std::u16string& fileName) {
    struct stat st{};
    if (::lstat(utf16ToUtf8(fileName).c_str(), &st) != 0)
        return {errno == ENOENT ? OwnFileCheck::Missing : OwnFileCheck::Foreign, u"недоступен"};
    std::u16string found = foreignKind(st);
    return {found.empty() ? OwnFileCheck::Own : OwnFileCheck::Foreign, found};
}

bool removeFileName(const std::u16string& fileName) { return ::unlink(utf16ToUtf8(fileName).c_str()) == 0; }

}  // namespace fr::platform
