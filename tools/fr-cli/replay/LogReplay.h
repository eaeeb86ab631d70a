#pragma once
// A debug log replayed through the driver onto the emulator: each driver object of the log gets
// an object of its own with the logged settings, every public call is made again with the InData
// rebuilt from the log, in the log's order, and each answer is set against the logged one.
#include <filesystem>
#include <ostream>
#include <string>

#include "replay/DebugLogFile.h"

namespace fr::replay {

struct ReplayOptions {
    std::filesystem::path folder;  // the emulator's folder: tape, state and the faults file
    std::u16string from, to;       // "hh:nn[:ss]" or "yyyy.mm.dd hh:nn[:ss]"; empty: no bound
    bool stopOnDiff = false;
    bool faults = false;           // make the logged register errors again, and keep the rules
};

struct ReplaySummary {
    int replayed = 0, matched = 0, differed = 0, notCompared = 0, skipped = 0, outside = 0, guessed = 0;
    int privateCalls = 0;  // Init, Open, Close: lines of their own, not replayed
    int faults = 0;
};

// Writes one line a call, then the tape the replay printed and the summary, to `out` (UTF-8).
ReplaySummary RunReplay(const DebugLogRead& log, const ReplayOptions& options, std::ostream& out);

// Whether `time` ("yyyy.mm.dd hh:nn:ss.zzz") lies within [from, to] as ReplayOptions gives them.
bool WithinTimes(const std::u16string& time, const std::u16string& from, const std::u16string& to);

}  // namespace fr::replay
