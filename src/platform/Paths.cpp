#include "platform/Platform.h"

namespace fr::platform {

std::u16string includeTrailingPathDelimiter(const std::u16string& path) {
    if (!path.empty() && (path.back() == pathDelimiter() || path.back() == u'/')) return path;
    return path + pathDelimiter();
}

}  // namespace fr::platform
