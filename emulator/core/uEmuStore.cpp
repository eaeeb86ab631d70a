#include "uEmuStore.h"

#include <atomic>
#include <chrono>
#include <random>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "platform/Platform.h"
#include "uEmuErrors.h"
#include "uEmuFiles.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace fr::emu {

namespace fs = std::filesystem;

namespace {
std::u16string pathText(const fs::path& p) { return p.u16string(); }

// A 64-bit finalizer (splitmix64): every input bit changes about half of the output bits.
uint64_t mixed(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

uint64_t processId() {
#ifdef _WIN32
    return static_cast<uint64_t>(_getpid());
#else
    return static_cast<uint64_t>(getpid());
#endif
}
}  // namespace

std::u16string newSerialNumber() {
    // The random source alone would do, but some runtimes' is a fixed sequence; so the clock, the
    // process and this process's count of serials are mixed in, and draws made at once by many
    // processes, or many in one, still differ in what is mixed. Fourteen mixed digits: a repeat
    // among 100 000 devices has a chance of about 1 in 20 000.
    static std::atomic<uint64_t> made{0};
    std::random_device rd;
    const uint64_t random = (uint64_t{rd()} << 32) ^ rd();
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const uint64_t nanoseconds = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    uint64_t x = mixed(random ^ mixed(nanoseconds ^ mixed((processId() << 32) ^ made.fetch_add(1))));
    std::u16string digits(kSerialDigits - 2, u'0');
    for (auto d = digits.rbegin(); d != digits.rend(); ++d, x /= 10) *d = static_cast<char16_t>(u'0' + x % 10);
    return u"99" + digits;  // our own range, never a real register's
}

fs::path defaultEmulatorFolder() {
    std::u16string dir = platform::environmentVariable(u"FR_EMULATOR_DIR");
    if (!dir.empty()) return fs::path(dir);
    std::u16string base = platform::localUserDataFolder();
    if (base.empty()) base = u".";
    return fs::path(base) / "Vornlex" / "FiscalPrinterEmulator";
}

TEmuStore::TEmuStore(fs::path folder) : FFolder(std::move(folder)) {}

uint64_t TEmuStore::tapeSize() const { return files::size(tapePath()); }

TEmuState TEmuStore::load() {
    if (!files::makeFolder(FFolder))
        throw EEmuError(ecSeeExtended, {}, u"Не удалось создать папку эмулятора \"" + pathText(FFolder) + u"\"");
    std::optional<TEmuState> s = files::inMemory() ? files::keptState(statePath()) : readState();
    if (!s) {
        TEmuState fresh;
        fresh.serialNumber = newSerialNumber();
        fresh.tapeEnd = tapeSize();
        saveState(fresh);
        return fresh;
    }
    completeTape(*s);
    return *s;
}

std::optional<TEmuState> TEmuStore::readState() const {
    if (!files::exists(statePath())) return std::nullopt;
    const std::optional<std::string> text = files::read(statePath());
    if (!text)
        throw EEmuError(ecSeeExtended, {}, u"Не удалось прочитать файл состояния эмулятора \"" + pathText(statePath()) + u"\"");
    try {
        return stateFromJson(*text);
    } catch (const EEmuError& e) {
        throw EEmuError(ecSeeExtended, {},
                        u"Файл состояния эмулятора \"" + pathText(statePath()) + u"\" повреждён (" + e.extended() +
                            u"). Эмулятор не работает с повреждённым состоянием, чтобы не потерять счётчики и "
                            u"фискальную память: восстановите файл или удалите его (fr-cli emulator reset), "
                            u"чтобы начать с новой ККТ.");
    }
}

void TEmuStore::saveState(const TEmuState& s) {
    if (files::inMemory()) files::keepState(statePath(), s);
    else files::replace(statePath(), stateToJson(s));
}

void TEmuStore::completeTape(const TEmuState& s) {
    const uint64_t end = s.tapeEnd, start = end - s.lastTapeDocument.size();
    const uint64_t size = tapeSize();
    // A tape shorter than its last document's start (or longer than the end) was torn off or
    // edited by a person: it is paper, we leave it as it is.
    if (size < start || size >= end) return;
    if (files::exists(tapePath()) && !files::truncate(tapePath(), start))
        throw EInOutError(u"Не удалось восстановить ленту \"" + pathText(tapePath()) + u"\"");
    files::append(tapePath(), s.lastTapeDocument);
}

void TEmuStore::commit(const TEmuState& current, TEmuState& next, const std::string& document) {
    completeTape(current);
    if (!document.empty()) {
        next.tapeEnd = tapeSize() + document.size();
        next.lastTapeDocument = document;
    }
    saveState(next);
    if (!document.empty()) {
        try {
            files::append(tapePath(), document);
        } catch (const EError&) {
            // The document is committed; the next commit or load prints it.
        }
    }
}

void TEmuStore::reset() {
    files::remove(statePath());
    files::remove(tapePath());
    files::remove(fs::path(statePath()) += ".tmp");
}

}  // namespace fr::emu
