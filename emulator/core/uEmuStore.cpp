#include "uEmuStore.h"

#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "platform/Platform.h"
#include "uEmuErrors.h"

namespace fr::emu {

namespace fs = std::filesystem;

namespace {
std::u16string pathText(const fs::path& p) { return p.u16string(); }

std::u16string newSerialNumber() {
    std::random_device rd;
    std::uniform_int_distribution<int> digit(0, 9);
    std::u16string s = u"99";  // our own range, never a real register's
    for (int i = 0; i < 8; ++i) s.push_back(static_cast<char16_t>(u'0' + digit(rd)));
    return s;
}
}  // namespace

fs::path defaultEmulatorFolder() {
    std::u16string dir = platform::environmentVariable(u"FR_EMULATOR_DIR");
    if (!dir.empty()) return fs::path(dir);
    std::u16string base = platform::localUserDataFolder();
    if (base.empty()) base = u".";
    return fs::path(base) / "Vornlex" / "FiscalPrinterEmulator";
}

TEmuStore::TEmuStore(fs::path folder) : FFolder(std::move(folder)) {}

uint64_t TEmuStore::tapeSize() const {
    std::error_code ec;
    auto n = fs::file_size(tapePath(), ec);
    return ec ? 0 : n;
}

TEmuState TEmuStore::load() {
    std::error_code ec;
    fs::create_directories(FFolder, ec);
    if (!fs::is_directory(FFolder))
        throw EEmuError(ecSeeExtended, {}, u"Не удалось создать папку эмулятора \"" + pathText(FFolder) + u"\"");

    if (!fs::exists(statePath(), ec)) {
        TEmuState fresh;
        fresh.serialNumber = newSerialNumber();
        fresh.tapeEnd = tapeSize();
        platform::writeFileAtomically(pathText(statePath()), stateToJson(fresh));
        return fresh;
    }
    std::ifstream in(statePath(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in.good() && !in.eof())
        throw EEmuError(ecSeeExtended, {}, u"Не удалось прочитать файл состояния эмулятора \"" + pathText(statePath()) + u"\"");
    TEmuState s;
    try {
        s = stateFromJson(text.str());
    } catch (const EEmuError& e) {
        throw EEmuError(ecSeeExtended, {},
                        u"Файл состояния эмулятора \"" + pathText(statePath()) + u"\" повреждён (" + e.extended() +
                            u"). Эмулятор не работает с повреждённым состоянием, чтобы не потерять счётчики и "
                            u"фискальную память: восстановите файл или удалите его (fr-cli emulator reset), "
                            u"чтобы начать с новой ККТ.");
    }
    completeTape(s);
    return s;
}

void TEmuStore::completeTape(const TEmuState& s) {
    const uint64_t end = s.tapeEnd, start = end - s.lastTapeDocument.size();
    const uint64_t size = tapeSize();
    // A tape shorter than its last document's start (or longer than the end) was torn off or
    // edited by a person: it is paper, we leave it as it is.
    if (size < start || size >= end) return;
    std::error_code ec;
    if (fs::exists(tapePath(), ec)) fs::resize_file(tapePath(), start, ec);
    if (ec) throw EInOutError(u"Не удалось восстановить ленту \"" + pathText(tapePath()) + u"\"");
    platform::appendFileDurably(pathText(tapePath()), s.lastTapeDocument);
}

void TEmuStore::commit(const TEmuState& current, TEmuState& next, const std::string& document) {
    completeTape(current);
    if (!document.empty()) {
        next.tapeEnd = tapeSize() + document.size();
        next.lastTapeDocument = document;
    }
    platform::writeFileAtomically(pathText(statePath()), stateToJson(next));
    if (!document.empty()) {
        try {
            platform::appendFileDurably(pathText(tapePath()), document);
        } catch (const EError&) {
            // The document is committed; the next commit or load prints it.
        }
    }
}

void TEmuStore::reset() {
    std::error_code ec;
    fs::remove(statePath(), ec);
    fs::remove(tapePath(), ec);
    fs::remove(fs::path(statePath()) += ".tmp", ec);
}

}  // namespace fr::emu
