#include "ui/uHelpPopups.h"

#include <charconv>
#include <optional>
#include <vector>

#include "automation/Text.h"

namespace fr::ui {

namespace {
std::optional<int> topicHeader(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (line.size() < 3 || line.front() != '[' || line.back() != ']') return std::nullopt;
    std::string_view digits = line.substr(1, line.size() - 2);
    int id = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return id;
}
}  // namespace

THelpPopups THelpPopups::Parse(std::string_view content) {
    if (content.substr(0, 3) == "\xEF\xBB\xBF") content.remove_prefix(3);
    THelpPopups result;
    std::optional<int> current;
    std::vector<std::string_view> lines;
    auto finish = [&] {
        while (!lines.empty() && lines.back().find_first_not_of(" \t") == std::string_view::npos) lines.pop_back();
        if (!current) return;
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i) text += "\r\n";
            text += lines[i];
        }
        result.FTopics[*current] = utf8ToUtf16(text);
        lines.clear();
    };
    while (!content.empty()) {
        size_t eol = content.find('\n');
        std::string_view line = content.substr(0, eol);
        content.remove_prefix(eol == std::string_view::npos ? content.size() : eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (auto id = topicHeader(line)) {
            finish();
            current = id;
        } else if (current && (line.empty() ? !lines.empty() : line.front() != '#')) {
            lines.push_back(line);
        }
    }
    finish();
    return result;
}

std::u16string THelpPopups::Topic(int id) const {
    auto it = FTopics.find(id);
    return it == FTopics.end() ? std::u16string() : it->second;
}

}  // namespace fr::ui
