#include "adapter/uNameValueList.h"

#include "automation/Text.h"

namespace fr {

void TNameValueList::SetConformityText(const std::u16string& text) {
    FLines.clear();
    std::u16string line;
    // ";" becomes a line break; CR LF, CR and LF each end a line, and a last line without one counts.
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u';' || c == u'\n' || c == u'\r') {
            FLines.push_back(std::move(line));
            line.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) FLines.push_back(std::move(line));
}

std::u16string TNameValueList::Value(const std::u16string& name) const {
    for (const auto& l : FLines) {
        const size_t eq = l.find(u'=');
        if (eq != std::u16string::npos && sameTextAscii(std::u16string_view(l).substr(0, eq), name))
            return l.substr(eq + 1);
    }
    return {};
}

std::u16string TNameValueList::Value(int32_t key) const { return Value(utf8ToUtf16(std::to_string(key))); }

}  // namespace fr
