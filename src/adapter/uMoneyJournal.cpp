#include "adapter/uMoneyJournal.h"

#include <cmath>

#include <nlohmann/json.hpp>

#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "automation/FormatSettings.h"
#include "automation/Text.h"
#include "platform/Platform.h"

namespace fr {

namespace {
using json = nlohmann::json;

constexpr int kFormat = 1;
constexpr const char* kFileName = "money-journal.json";

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
                        {"sum", r.Sum},
                        {"baseline", countersJson(r.Baseline)},
                        {"state", nameOf(kStates, int(r.State))},
                        {"outcome", nameOf(kOutcomes, int(r.Outcome))},
                        {"answer",
                         {{"shift", r.Answer.DayNum},
                          {"receipt", r.Answer.RecNum},
                          {"document", r.Answer.DocumentNum},
                          {"date", std::isfinite(r.Answer.RecDate) ? r.Answer.RecDate : 0.0}}},
                        {"begun", r.Begun}});
    }
    json doc = {{"format", kFormat}, {"next", nextId}, {"records", list}};
    return doc.dump(1) + "\n";
}

std::vector<TMoneyRecord> MoneyJournalFromText(const std::string& text, uint64_t& nextId) {
    try {
        const json doc = json::parse(text);
        if (doc.at("format").get<int>() != kFormat) throw EError(u"Неизвестный формат журнала");
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
            if (r.Id >= nextId) nextId = r.Id + 1;
            records.push_back(std::move(r));
        }
        return records;
    } catch (const json::exception& e) {
        throw EError(utf8ToUtf16(e.what()));
    }
}

TMoneyJournal::TMoneyJournal(std::u16string folder) : FFolder(std::move(folder)) {}

std::u16string TMoneyJournal::FileName() const {
    if (FFolder.empty()) return {};
    return platform::includeTrailingPathDelimiter(FFolder) + utf8ToUtf16(kFileName);
}

std::u16string TMoneyJournal::Load() {
    FRecords.clear();
    FNextId = 1;
    const std::u16string name = FileName();
    if (name.empty()) return {};
    // The folder may be open to others: a link or a second name planted as the journal would feed
    // us another file's content. Its name is removed, the file itself never touched.
    const platform::OwnFileCheck own = platform::checkOwnFile(name);
    if (own.State == platform::OwnFileCheck::Missing) return {};
    if (own.State == platform::OwnFileCheck::Foreign) {
        const bool removed = platform::removeFileName(name);
        return u"Под именем журнала денежных операций \"" + name + u"\" было другое (" + own.Found + u"): " +
               (removed ? u"это имя удалено, тот файл не тронут, начат новый журнал"
                        : std::u16string(u"удалить это имя не удалось, новый журнал заменит его при записи"));
    }
    std::u16string problem;
    if (const std::optional<std::string> text = platform::readWholeFile(name)) {
        try {
            FRecords = MoneyJournalFromText(*text, FNextId);
            return {};
        } catch (const EError& e) {
            problem = u"повреждён (" + e.message() + u")";
        }
    } else {
        problem = u"не читается";
    }
    FRecords.clear();
    FNextId = 1;
    const std::u16string aside = name + u".damaged-" + nowStamp();
    const bool moved = platform::renameFile(name, aside);
    return u"Журнал денежных операций \"" + name + u"\" " + problem + u": " +
           (moved ? u"отложен в \"" + aside + u"\", начат новый" : std::u16string(u"отложить его не удалось, он будет перезаписан"));
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

TMoneyRecord& TMoneyJournal::Add(TMoneyRecord record) {
    size_t settled = 0;
    for (const TMoneyRecord& r : FRecords) settled += r.State == TMoneyState::msSettled;
    for (auto it = FRecords.begin(); settled >= kKeptSettled && it != FRecords.end();) {
        if (it->State == TMoneyState::msSettled) {
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

}  // namespace fr
