#pragma once
// The context-help popups of the settings window, kept as a plain UTF-8 text file beside the help
// pages. A topic starts with its help context ID in brackets on a line of its own; its text is
// the following lines up to the next topic, blank lines at its start and end dropped. Lines
// starting with '#' are comments:
//
//   # Connection page
//   [101]
//   Модель ККТ, к которой подключается драйвер.
#include <map>
#include <string>
#include <string_view>

namespace fr::ui {

class THelpPopups {
public:
    // Reads the topics of a file's content (UTF-8, with or without a byte-order mark).
    static THelpPopups Parse(std::string_view content);
    // The topic's text, lines joined by CR LF; empty for an unknown ID.
    std::u16string Topic(int id) const;
    size_t Count() const { return FTopics.size(); }

private:
    std::map<int, std::u16string> FTopics;
};

}  // namespace fr::ui
