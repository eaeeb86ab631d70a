// fr-cli journal [--dir=FOLDER] [SERIAL]: the money journals as support reads them: one line per
// record with its kind, sum, state and verdict, the numbers the host got, when, and which device
// ID made it. Only reads: a damaged journal is reported, never set aside.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "adapter/uMoneyJournal.h"
#include "adapter/uReceiptLines.h"
#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "automation/FormatSettings.h"
#include "automation/Text.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;
using fr::u8;

// Where the driver keeps them: Journals under the common data folder, in its own folder.
fs::path defaultFolder() {
    return fs::path(fr::platform::commonAppDataFolder()) / "fr_vornlex" / "Journals";
}

std::string utcText(int64_t seconds) {
    // Seconds since 1970 as an OLE serial: days since 1899-12-30.
    const double serial = 25569.0 + static_cast<double>(seconds) / 86400.0;
    return u8(fr::formatDateTime(u"yyyy-mm-dd hh:nn", serial, fr::TFormatSettings::invariant())) + " UTC";
}

std::string line(const fr::TMoneyRecord& r, int64_t now) {
    std::string s = "№" + std::to_string(r.Id) + "  " + u8(fr::MoneyKindText(r.Kind));
    if (r.Kind != fr::TMoneyKind::mkReceipt) s += " " + u8(fr::AmountText(r.Sum));
    s += "  " + u8(fr::MoneyStateText(r.State));
    if (r.State == fr::TMoneyState::msSettled) s += ": " + u8(fr::MoneyOutcomeText(r.Outcome));
    s += "  до: смена " + std::to_string(r.Baseline.Shift) + ", чек " + std::to_string(r.Baseline.Receipt) + ", в кассе " +
         u8(fr::AmountText(r.Baseline.Cash));
    if (r.Outcome == fr::TMoneyOutcome::moDone)
        s += "  ответ: смена " + std::to_string(r.Answer.DayNum) + ", чек " + std::to_string(r.Answer.RecNum);
    s += "  начата " + r.Begun + "  устройство \"" + u8(r.Device) + "\"";
    if (r.LostAt) s += "  ответ потерян " + utcText(r.LostAt);
    if (r.State == fr::TMoneyState::msSettled && r.Outcome == fr::TMoneyOutcome::moDone && !r.Answered)
        s += now - r.LostAt < fr::TMoneyJournal::kAnswerKeptSeconds
                 ? "  программа ответа не получила: повтор до " + utcText(r.LostAt + fr::TMoneyJournal::kAnswerKeptSeconds) +
                       " получит его без печати"
                 : "  программа ответа не получила, срок повтора истёк";
    s += "  (" + r.Fingerprint + (r.FingerprintByType ? ", по типам" : "") + ")";
    return s;
}

// One journal: its records, or why it cannot be shown (false).
bool show(const fs::path& folder) {
    const fs::path file = folder / fr::TMoneyJournal::kFileName;
    std::printf("%s (%s)\n", u8(folder.filename().u16string()).c_str(), u8(file.u16string()).c_str());
    const fr::platform::FileRead read = fr::platform::readFile(file.u16string());
    if (read.State != fr::platform::FileRead::Read) {
        std::fprintf(stderr, "fr-cli journal: %s: %s\n", u8(file.u16string()).c_str(),
                     read.State == fr::platform::FileRead::Missing ? "журнала нет" : u8(read.Error).c_str());
        return false;
    }
    uint64_t next = 1;
    std::vector<fr::TMoneyRecord> records;
    try {
        records = fr::MoneyJournalFromText(read.Bytes, next);
    } catch (const fr::EError& e) {
        std::fprintf(stderr, "fr-cli journal: %s: не журнал (%s)\n", u8(file.u16string()).c_str(), u8(e.message()).c_str());
        return false;
    }
    if (records.empty()) std::printf("  записей нет\n");
    const int64_t now = fr::MoneyClockNow();
    for (const fr::TMoneyRecord& r : records) std::printf("  %s\n", line(r, now).c_str());
    return true;
}

int Journal(const fs::path& root, const std::string& serial) {
    if (!serial.empty()) {
        // By serial number, or by device ID for a register that gives none.
        const fs::path bySerial = root / ("SN-" + serial);
        return show(fs::exists(bySerial) ? bySerial : root / serial) ? 0 : 1;
    }
    std::vector<fs::path> folders;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(root, ec))
        if (fs::exists(e.path() / fr::TMoneyJournal::kFileName)) folders.push_back(e.path());
    if (folders.empty()) {
        std::fprintf(stderr, "fr-cli journal: в \"%s\" журналов нет\n", u8(root.u16string()).c_str());
        return 1;
    }
    std::sort(folders.begin(), folders.end());
    bool all = true;
    for (const fs::path& f : folders) all = show(f) && all;
    return all ? 0 : 1;
}

fr::cli::CliRun Setup(CLI::App& c) {
    struct Options {
        std::string dir, serial;
    };
    auto o = std::make_shared<Options>();
    c.add_option("--dir", o->dir, "the journals' folder (default: fr_vornlex/Journals under the common data folder)");
    c.add_option("SERIAL", o->serial, "the register's serial number (or the device ID of one that gives none)");
    fr::cli::setExamples(c, {"fr-cli journal 9912345678"});
    return [o] { return Journal(o->dir.empty() ? defaultFolder() : fs::path(fr::u16(o->dir)), o->serial); };
}

const fr::cli::CliCommandRegistration registration("journal", "print the money journals readably", Setup);

}  // namespace
