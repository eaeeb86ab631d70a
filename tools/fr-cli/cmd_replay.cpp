// fr-cli replay LOG [--dir=FOLDER] [--from=TIME] [--to=TIME] [--stop-on-diff] [--faults]: a shop's
// debug log made again through the driver on the emulator, so support sees on the tape what the
// register was asked to do and where our answers differ from the ones the shop got.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "CliCommand.h"
#include "automation/Text.h"
#include "replay/LogReplay.h"

namespace {

namespace fs = std::filesystem;

// A new folder under the system's temporary one, so a replay never prints onto another's tape.
fs::path freshFolder() {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    for (int n = 1;; ++n) {
        fs::path p = base / ("fr-replay-" + std::to_string(n));
        if (fs::create_directory(p, ec) || n > 100000) return p;
    }
}

int Replay(const std::string& file, const std::string& dir, fr::replay::ReplayOptions o) {
    const fr::replay::DebugLogRead log = fr::replay::ReadDebugLog(fs::path(fr::u16(file)));
    if (!log.error.empty()) {
        std::fprintf(stderr, "fr-cli replay: %s: %s\n", file.c_str(), fr::u8(log.error).c_str());
        return 2;
    }
    o.folder = dir.empty() ? freshFolder() : fs::path(fr::u16(dir));
    std::printf("Журнал: %s\nПапка эмулятора: %s%s\n", file.c_str(), fr::u8(o.folder.u16string()).c_str(),
                dir.empty() ? " (новая)" : "");
    std::fflush(stdout);
    const fr::replay::ReplaySummary s = fr::replay::RunReplay(log, o, std::cout);
    std::cout.flush();
    return s.differed > 0 || s.skipped > 0 ? 1 : 0;
}

// "hh:nn", "hh:nn:ss", "yyyy.mm.dd hh:nn[:ss]".
std::string checkTime(const std::string& t) {
    const bool timeOnly = t.size() >= 5 && t[2] == ':';
    const bool dated = t.size() >= 16 && t[4] == '.' && t[7] == '.' && t[10] == ' ' && t[13] == ':';
    return timeOnly || dated ? std::string() : "expected hh:nn[:ss] or yyyy.mm.dd hh:nn[:ss]: " + t;
}

fr::cli::CliRun Setup(CLI::App& c) {
    struct Options {
        std::string file, dir, from, to;
        bool stopOnDiff = false, faults = false;
    };
    auto o = std::make_shared<Options>();
    c.add_option("LOG", o->file, "the debug log (Debug_yyyy.mm.dd.log) as the driver wrote it")->required();
    c.add_option("--dir", o->dir, "the emulator's folder for the replay (default: a new folder under the temporary one)");
    c.add_option("--from", o->from, "replay the calls from this time on (hh:nn[:ss] or yyyy.mm.dd hh:nn[:ss])")
        ->check(checkTime);
    c.add_option("--to", o->to, "replay the calls up to this time")->check(checkTime);
    c.add_flag("--stop-on-diff", o->stopOnDiff, "stop at the first call whose answer differs");
    c.add_flag("--faults", o->faults,
               "make the register errors of the log again on the emulator, and write faults.txt beside the tape");
    fr::cli::setExamples(c, {"fr-cli replay Debug_2026.12.09.log", "fr-cli replay Debug_2026.12.09.log --faults --from=14:00",
                             "fr-cli replay Debug_2026.12.09.log --dir=/tmp/till --stop-on-diff"});
    return [o] {
        fr::replay::ReplayOptions r;
        r.from = fr::u16(o->from);
        r.to = fr::u16(o->to);
        r.stopOnDiff = o->stopOnDiff;
        r.faults = o->faults;
        return Replay(o->file, o->dir, r);
    };
}

const fr::cli::CliCommandRegistration registration(
    "replay", "replay a shop's debug log through the driver on the emulator, compare every answer", Setup);

}  // namespace
