#pragma once
// A value as the debug log writes it, read back into its shape: arrays with their groups, texts
// (quotes taken off) and the bare words of everything else. Types are not decided here: the log
// does not carry them (see LogRebuild).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fr::replay {

struct LogNode {
    enum class Kind { Word, Text, Group, Array };
    Kind kind = Kind::Word;
    std::u16string text;             // Word: as written; Text: between the quotes
    std::vector<LogNode> items;      // Group: its values or its subgroups; Array: the one outer group
    int dims = 0;                    // Array: the number of dimensions
};

struct LogValueParse {
    LogNode value;
    // Texts read past a quote followed by "; " or ")" because the rest did not read otherwise: a
    // text holding such a quote cannot be told from two texts, so the reading is a guess.
    std::vector<std::u16string> stretched;
};

// Reads one rendered value that fills `text` to its end; nothing when it is not one.
std::optional<LogValueParse> ParseLogValue(std::u16string_view text);

// Whether a bare word is one the log writes for a scalar: EMPTY, NULL, True, False, a number, a
// date and time, an object's $address, a single character or nothing.
bool IsLogWord(std::u16string_view word);

}  // namespace fr::replay
