#pragma once
// A link laid under a name the driver writes, pointing to a file that is not the driver's: what
// anyone who may write in a shared folder can do.
#include <filesystem>
#include <string>
#include <system_error>

namespace fr::test {

enum class LinkKind { Hard, Symbolic };

inline const char* linkKindName(LinkKind kind) { return kind == LinkKind::Hard ? "hard link" : "symbolic link"; }

// Makes `link` a name of `target`; false with the reason when the platform does not let a test
// make one (symbolic links on Windows need a privilege).
inline bool plantLink(LinkKind kind, const std::filesystem::path& target, const std::filesystem::path& link,
                      std::string& why) {
    std::error_code e;
    if (kind == LinkKind::Hard) std::filesystem::create_hard_link(target, link, e);
    else std::filesystem::create_symlink(target, link, e);
    if (e) why = std::string(linkKindName(kind)) + ": " + e.message();
    return !e;
}

}  // namespace fr::test
