#include "adapter/uMoneyJournal.h"

#include <chrono>
#include <cmath>
#include <thread>

#include <nlohmann/json.hpp>

#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "automation/FormatSettings.h"
#include "automation/Text.h"
#include "platform/Platform.h"

namespace fr {

namespace {
using json = nlohmann::json;

constexpr int kFormat = 2;

struct TNamed {
    int Value;
    const char* Name;
};
constexpr TNamed kKinds[] = {{int(TMoneyKind::mkReceipt), "receipt"},
                             {int(TMoneyKind::mkDeposit), "deposit"},
                             {int(TMoneyKind::mkWithdrawal), "withdrawal"}};
constexpr TNamed kStates[] = {{int(TMoneyState::msBegun), "begun"},
                              {int(TMoneyState::msCommitted), "committed"},
                              {int(TMoneyState::msUnknown), "unknown"},
                              {int(TMoneyState::msSettled), "settled"}};
constexpr TNamed kOutcomes[] = {{int(TMoneyOutcome::moNone), "none"},
                                {int(TMoneyOutcome::moDone), "done"},
                                {int(TMoneyOutcome::moNotDone), "not done"},
                                {int(TMoneyOutcome::moUndetermined), "undetermined"}};

template <size_t N>
const char* nameOf(const TNamed (&table)[N], int value) {
    for (const TNamed& n : table)
        if (n.Value == value) return n.Name;
    return "?";
}

template <size_t N>
int valueOf(const TNamed (&table)[N], const std::string& name) {
    for (const TNamed& n : table)
        if (name == n.Name) return n.Value;
    throw EError(u"Неизвестное значение в журнале: " + utf8ToUtf16(name));
}

json countersJson(const TRegisterCounters& c) { return {{"shift", c.Shift}, {"receipt", c.Receipt}, {"cash", c.Cash}}; }

TRegisterCounters countersFrom(const json& j) {
    return {j.at("shift").get<int32_t>(), j.at("receipt").get<int32_t>(), j.at("cash").get<int64_t>()};
}

std::u16string nowStamp() {
    return formatDateTime(u"yyyymmdd-hhnnss", platform::nowLocal(), TFormatSettings::invariant());
}
}  // namespace

const char16_t* MoneyKindText(TMoneyKind kind) {
    switch (kind) {
        case TMoneyKind::mkReceipt: return u"чек";
        case TMoneyKind::mkDeposit: return u"внесение";
        case TMoneyKind::mkWithdrawal: return u"выплата";
    }
    return u"?";
}

const char16_t* MoneyStateText(TMoneyState state) {
    switch (state) {
        case TMoneyState::msBegun: return u"начата";
        case TMoneyState::msCommitted: return u"завершается";
        case TMoneyState::msUnknown: return u"результат не известен";
        case TMoneyState::msSettled: return u"выяснена";
    }
    return u"?";
}

const char16_t* MoneyOutcomeText(TMoneyOutcome outcome) {
    switch (outcome) {
        case TMoneyOutcome::moDone: return u"проведена";
        case TMoneyOutcome::moNotDone: return u"не проведена";
        case TMoneyOutcome::moUndetermined: return u"неизвестно, проведена ли";
        case TMoneyOutcome::moNone: break;
    }
    return u"ещё не выяснено";
}

std::string MoneyJournalToText(const std::vector<TMoneyRecord>& records, uint64_t nextId) {
    json list = json::array();
    for (const TMoneyRecord& r : records) {
        list.push_back({{"id", r.Id},
                        {"kind", nameOf(kKinds, int(r.Kind))},
                        {"fingerprint", r.Fingerprint},
                        {"fingerprintBy", r.FingerprintByType ? "type" : "value"},
                        {"sum", r.Sum},
                        {"baseline", countersJson(r.Baseline)},
                        {"state", nameOf(kStates, int(r.State))},
                        {"outcome", nameOf(kOutcomes, int(r.Outcome))},
                        {"answer",
                         {{"shift", r.Answer.DayNum},
                          {"receipt", r.Answer.RecNum},
                          {"document", r.Answer.DocumentNum},
                          {"date", std::isfinite(r.Answer.RecDate) ? r.Answer.RecDate : 0.0}}},
                        {"answered", r.Answered},
                        {"lostAt", r.LostAt},
                        {"serial", utf16ToUtf8(r.Serial)},
                        {"device", utf16ToUtf8(r.Device)},
                        {"begun", r.Begun}});
    }
    json doc = {{"format", kFormat}, {"next", nextId}, {"records", list}};
    return doc.dump(1) + "\n";
}

std::vector<TMoneyRecord> MoneyJournalFromText(const std::string& text, uint64_t& nextId) {
    try {
        const json doc = json::parse(text);
        const int format = doc.at("format").get<int>();
        if (format != 1 && format != kFormat) throw EError(u"Неизвестный формат журнала");
        nextId = doc.at("next").get<uint64_t>();
        std::vector<TMoneyRecord> records;
        for (const json& j : doc.at("records")) {
            TMoneyRecord r;
            r.Id = j.at("id").get<uint64_t>();
            r.Kind = TMoneyKind(valueOf(kKinds, j.at("kind").get<std::string>()));
            r.Fingerprint = j.at("fingerprint").get<std::string>();
            r.Sum = j.at("sum").get<int64_t>();
            r.Baseline = countersFrom(j.at("baseline"));
            r.State = TMoneyState(valueOf(kStates, j.at("state").get<std::string>()));
            r.Outcome = TMoneyOutcome(valueOf(kOutcomes, j.at("outcome").get<std::string>()));
            const json& a = j.at("answer");
            r.Answer = {a.at("shift").get<int32_t>(), a.at("receipt").get<int32_t>(), a.at("document").get<int32_t>(),
                        a.at("date").get<double>()};
            r.Begun = j.at("begun").get<std::string>();
            if (format == 1) {
                // Written by a driver that fingerprinted by type and kept no serial number; it
                // answered every retry it settled itself.
                r.FingerprintByType = true;
            } else {
                r.FingerprintByType = j.at("fingerprintBy").get<std::string>() == "type";
                r.Answered = j.at("answered").get<bool>();
                r.LostAt = j.at("lostAt").get<int64_t>();
                r.Serial = utf8ToUtf16(j.at("serial").get<std::string>());
                r.Device = utf8ToUtf16(j.at("device").get<std::string>());
            }
            if (r.Id >= nextId) nextId = r.Id + 1;
            records.push_back(std::move(r));
        }
        return records;
    } catch (const json::exception& e) {
        throw EError(utf8ToUtf16(e.what()));
    }
}

int64_t MoneyClockNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

TMoneyJournal::TMoneyJournal(std::u16string folder) : FFolder(std::move(folder)) {}

std::u16string TMoneyJournal::FileName() const {
    if (FFolder.empty()) return {};
    return platform::includeTrailingPathDelimiter(FFolder) + kFileName;
}

platform::FileLock::Result TMoneyJournal::Lock(int waitMs, std::u16string& error) {
    if (FFolder.empty()) {
        error = u"папка журнала денежных операций не определена";
        return platform::FileLock::Result::Failed;
    }
    if (!platform::forceDirectories(FFolder)) {
        error = u"не удалось создать папку \"" + FFolder + u"\"";
        return platform::FileLock::Result::Failed;
    }
    const std::u16string name = platform::includeTrailingPathDelimiter(FFolder) + kLockName;
    const platform::FileLock::Result r = FLock.Acquire(name, waitMs, error);
    if (r == platform::FileLock::Result::Failed) error = u"\"" + name + u"\": " + error;
    return r;
}

std::u16string TMoneyJournal::Load() {
    FRecords.clear();
    FNextId = 1;
    const std::u16string name = FileName();
    if (name.empty()) return {};
    const platform::OwnFileCheck own = platform::checkOwnFile(name);
    if (own.State == platform::OwnFileCheck::Missing) return {};
    // An antivirus, an indexer or a backup tool may hold the file for a moment.
    platform::FileRead read = platform::readFile(name);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kReadWaitMs);
    while (read.State == platform::FileRead::Failed && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        read = platform::readFile(name);
    }
    if (read.State == platform::FileRead::Missing) return {};
    const bool foreign = own.State == platform::OwnFileCheck::Foreign;
    const std::u16string foundOther = u"Под именем журнала денежных операций \"" + name + u"\" найдено другое (" + own.Found;
    if (read.State == platform::FileRead::Failed) {
        // A name that holds no file at all (a folder, a device) can never be read: set aside like a
        // damaged journal. A file of ours that cannot be read may hold records: nothing goes on.
        if (!foreign) throw EInOutError(u"Не удалось прочитать журнал денежных операций \"" + name + u"\": " + read.Error);
    } else {
        try {
            FRecords = MoneyJournalFromText(read.Bytes, FNextId);
            if (!foreign) return {};
            return foundOther + u"): записи прочитаны, при записи это имя будет заменено собственным файлом журнала, тот файл не тронут";
        } catch (const EError& e) {
            if (foreign)
                return foundOther + u"), и это не журнал (" + e.message() + u"): начат новый журнал, тот файл не тронут";
            FRecords.clear();
            FNextId = 1;
            const std::u16string aside = name + u".damaged-" + nowStamp();
            const bool moved = platform::renameFile(name, aside);
            return u"Журнал денежных операций \"" + name + u"\" повреждён (" + e.message() + u"): " +
                   (moved ? u"отложен в \"" + aside + u"\", начат новый"
                          : std::u16string(u"отложить его не удалось, он будет перезаписан"));
        }
    }
    const std::u16string aside = name + u".damaged-" + nowStamp();
    const bool moved = platform::renameFile(name, aside);
    return foundOther + u"), оно не читается (" +
           read.Error + u"): " + (moved ? u"отложено в \"" + aside + u"\", начат новый журнал" : std::u16string(u"начат новый журнал"));
}

void TMoneyJournal::Save() {
    if (FFolder.empty()) throw EInOutError(u"Папка журнала денежных операций не определена");
    if (!platform::forceDirectories(FFolder)) throw EInOutError(u"Не удалось создать папку " + FFolder);
    platform::writeFileAtomically(FileName(), MoneyJournalToText(FRecords, FNextId));
}

TMoneyRecord* TMoneyJournal::Pending() {
    for (TMoneyRecord& r : FRecords)
        if (r.State != TMoneyState::msSettled) return &r;
    return nullptr;
}

bool TMoneyJournal::AwaitsRetry(const TMoneyRecord& r, int64_t now) const {
    return r.State == TMoneyState::msSettled && r.Outcome == TMoneyOutcome::moDone && !r.Answered &&
           now - r.LostAt < kAnswerKeptSeconds;
}

TMoneyRecord* TMoneyJournal::AwaitingRetry(TMoneyKind kind, const std::string& fingerprint, const std::string& byType,
                                           int64_t now) {
    for (TMoneyRecord& r : FRecords)
        if (AwaitsRetry(r, now) && r.Kind == kind && r.Fingerprint == (r.FingerprintByType ? byType : fingerprint))
            return &r;
    return nullptr;
}

TMoneyRecord& TMoneyJournal::Add(TMoneyRecord record) {
    const int64_t now = MoneyClockNow();
    auto prunable = [&](const TMoneyRecord& r) { return r.State == TMoneyState::msSettled && !AwaitsRetry(r, now); };
    size_t settled = 0;
    for (const TMoneyRecord& r : FRecords) settled += prunable(r);
    for (auto it = FRecords.begin(); settled >= kKeptSettled && it != FRecords.end();) {
        if (prunable(*it)) {
            it = FRecords.erase(it);
            --settled;
        } else {
            ++it;
        }
    }
    record.Id = FNextId++;
    FRecords.push_back(std::move(record));
    return FRecords.back();
}

void TMoneyJournal::Take(const TMoneyJournal& other) {
    for (TMoneyRecord r : other.FRecords) {
        r.Id = FNextId++;
        FRecords.push_back(std::move(r));
    }
}

}  // namespace fr
