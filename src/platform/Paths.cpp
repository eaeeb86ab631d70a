#include "platform/Platform.h"

namespace fr::platform {

std::u16string includeTrailingPathDelimiter(const std::u16string& path) {
    if (!path.empty() && (path.back() == pathDelimiter() || path.back() == u'/')) return path;
    return path + pathDelimiter();
}

}  // namespace fr::platform

namespace fr::platform {

std::optional<std::string> readWholeFile(const std::u16string& fileName) {
    FileRead r = readFile(fileName);
    if (r.State != FileRead::Read) return std::nullopt;
    return std::move(r.Bytes);
}

}  // namespace fr::platform
