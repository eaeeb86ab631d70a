// fr-cli tape [--follow] [--dir=FOLDER]: prints the emulator's paper tape; --follow keeps printing
// what is added, as a receipt printer would, until interrupted.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

int Tape(const fr::cli::CliArgs& args) {
    bool follow = false;
    fs::path folder = fr::emu::defaultEmulatorFolder();
    for (const auto& a : args) {
        if (a == "--follow" || a == "-f") follow = true;
        else if (a.rfind("--dir=", 0) == 0) folder = fs::path(fr::u16(a.substr(6)));
        else {
            std::fprintf(stderr, "usage: fr-cli tape [--follow] [--dir=FOLDER]\n");
            return 2;
        }
    }
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

fr::cli::CliCommandRegistration registration("tape", "[--follow] [--dir=FOLDER]  print the emulator's paper tape", Tape);

}  // namespace
