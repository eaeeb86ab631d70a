#pragma once
// The host's values rebuilt from what the debug log wrote of them. The log keeps texts, numbers,
// dates and the shape of arrays, but not an element's type (16- or 32-bit, real or currency), nor
// an array's lower bounds; it writes a line break as \n. What is rebuilt is what the driver's own
// conversions take: amounts as currency, counts as integers, everything else as it reads; arrays
// from 0. Every choice the log left open is noted, so the replay can say what it guessed.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "automation/FormatSettings.h"
#include "automation/Variant.h"
#include "replay/LogValue.h"

namespace fr::replay {

// Where a value sits in InData: [i] for element i, [i, column, row] inside a table, and so on.
using LogPath = std::vector<int32_t>;

enum class LogHint { AsRead, Currency };
using LogHints = std::function<LogHint(const LogPath&)>;

struct LogRebuild {
    std::optional<Variant> value;     // nothing when the text cannot be a value the host sent
    std::vector<std::u16string> guesses;  // one per kind of choice, e.g. "[0,4,*] 89.9 → currency"
    std::u16string failure;           // why there is no value
};

// Rebuilds the rendered `text`. Numbers are read with fs's decimal separator (the driver's), dates
// in its formats.
LogRebuild RebuildLogValue(std::u16string_view text, const LogHints& hints, const TFormatSettings& fs);

// What InData of the named public method holds: its amounts and its counts.
LogHints InDataHints(std::u16string_view method);

// The rendering of one path for messages: [1] or [0,4,*] (rows shown as *).
std::u16string PathText(const LogPath& path);

}  // namespace fr::replay
