// fr-cli tape [--follow] [--dir=FOLDER]: prints the emulator's paper tape; --follow keeps printing
// what is added, as a receipt printer would, until interrupted.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "CliCommand.h"
#include "automation/Text.h"
#include "uEmuStore.h"

namespace {

namespace fs = std::filesystem;

uintmax_t sizeOf(const fs::path& p) {
    std::error_code ec;
    uintmax_t n = fs::file_size(p, ec);
    return ec ? 0 : n;
}

std::string readHead(const fs::path& p, size_t n) {
    std::ifstream in(p, std::ios::binary);
    std::string s(n, '\0');
    in.read(s.data(), static_cast<std::streamsize>(n));
    s.resize(static_cast<size_t>(in.gcount()));
    return s;
}

// Writes the bytes of the file from `from` on; returns where it stopped.
uintmax_t printFrom(const fs::path& p, uintmax_t from) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return from;
    in.seekg(static_cast<std::streamoff>(from));
    char buf[8192];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        std::fwrite(buf, 1, static_cast<size_t>(in.gcount()), stdout);
        from += static_cast<uintmax_t>(in.gcount());
    }
    std::fflush(stdout);
    return from;
}

int Tape(bool follow, const fs::path& folder) {
    const fs::path tape = fr::emu::TEmuStore(folder).tapePath();
    if (!follow) {
        if (!fs::exists(tape)) std::fprintf(stderr, "fr-cli tape: лента пуста (%s)\n", fr::u8(tape.u16string()).c_str());
        else printFrom(tape, 0);
        return 0;
    }
    uintmax_t printed = 0;
    std::string head;  // the beginning of what was printed, to notice a new tape
    for (;;) {
        const uintmax_t size = sizeOf(tape);
        // A tape torn off or a device reset means new paper: follow it from its start.
        if (size < printed || (!head.empty() && readHead(tape, head.size()) != head)) printed = 0;
        if (size > printed) {
            printed = printFrom(tape, printed);
            head = readHead(tape, static_cast<size_t>(std::min<uintmax_t>(printed, 4096)));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

fr::cli::CliRun Setup(CLI::App& c) {
    struct Options {
        bool follow = false;
        std::string dir;
    };
    auto o = std::make_shared<Options>();
    c.add_flag("-f,--follow", o->follow, "keep printing what is added, until interrupted");
    c.add_option("--dir", o->dir, "the emulator's folder (default: FR_EMULATOR_DIR or the user's data folder)");
    fr::cli::setExamples(c, {"fr-cli tape --follow"});
    return [o] { return Tape(o->follow, o->dir.empty() ? fr::emu::defaultEmulatorFolder() : fs::path(fr::u16(o->dir))); };
}

const fr::cli::CliCommandRegistration registration("tape", "print the emulator's paper tape", Setup);

}  // namespace
