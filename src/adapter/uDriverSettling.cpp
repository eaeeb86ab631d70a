// TDriverFR's money operations under the journal: the baseline read before, the record written
// before the first call that can move money, and an answer lost at or after the commit settled
// by asking the register what it did. docs/link-loss.md tells integrators what they see.
#include <algorithm>

#include "adapter/uDeviceTime.h"
#include "adapter/uDriver.h"
#include "adapter/uInDataFingerprint.h"
#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "automation/FormatSettings.h"
#include "automation/Text.h"
#include "dispatch/uDebugLog.h"
#include "dispatch/uEquipmentErrors.h"
#include "platform/Platform.h"

namespace fr {

namespace {
const char16_t* const kOutcomeUnknown =
    u"Результат операции пока не известен: связь с ККТ прервалась после команды завершения. Повторите "
    u"операцию с теми же данными, когда связь восстановится: драйвер сверит её с ККТ и не проведёт её дважды";
const char16_t* const kEarlierUnknown =
    u"Результат предыдущей операции на этой ККТ пока не известен: нет связи с ККТ. Операция не выполнена; "
    u"повторите её, когда связь восстановится";

std::u16string decimal(int64_t v) { return utf8ToUtf16(std::to_string(v)); }

// A device ID as one folder name: characters a file system may refuse become "_".
std::u16string folderNameOf(const std::u16string& id) {
    if (id.empty()) return u"_";
    std::u16string name = id;
    for (char16_t& c : name)
        if (c < 32 || std::u16string_view(u"<>:\"/\\|?*").find(c) != std::u16string_view::npos) c = u'_';
    if (name == u"." || name == u"..") name = u"_";
    return name;
}

std::u16string describe(const TMoneyRecord& r) {
    return std::u16string(MoneyKindText(r.Kind)) + u" №" + decimal(static_cast<int64_t>(r.Id)) + u" (" +
           utf8ToUtf16(r.Fingerprint) + u")";
}

bool sameOperation(const TMoneyRecord& r, TMoneyKind kind, uint64_t fingerprint) {
    return r.Kind == kind && r.Fingerprint == FingerprintText(fingerprint);
}
}  // namespace

bool IsLinkError(int32_t code) {
    switch (code) {
        case 2:
        case 3:
        case rcDeviceNotResponding:
        case rcPortUnavailable:
        case rcProtocolError:
        case rcPortWriteError:
        case rcPortReadError: return true;
        default: return false;
    }
}

// ---- the journal's place and file ----

std::u16string TDriverFR::JournalFolder() {
    if (!FJournalFolder.empty()) return FJournalFolder;
    if (!FDeviceFolder.empty()) return FDeviceFolder;
    // Beside the common debug log, made and opened to every user as it is:
    // <common data>/fr_vornlex/Journals/<device ID>.
    try {
        return platform::includeTrailingPathDelimiter(GetCommonLogFolder() + u"Journals" + platform::pathDelimiter() +
                                                      folderNameOf(FDeviceID));
    } catch (const EError& e) {
        JournalLog(u"Папка журнала денежных операций недоступна: " + e.message());
        return {};
    }
}

void TDriverFR::JournalLog(const std::u16string& Text) { DebugLog(u"JOURNAL", Text); }

void TDriverFR::LoadJournal(TMoneyJournal& Journal) {
    const std::u16string problem = Journal.Load();
    if (!problem.empty()) JournalLog(problem);
}

void TDriverFR::SaveJournal(TMoneyJournal& Journal) {
    try {
        Journal.Save();
    } catch (const EError& e) {
        // The register is the truth; a journal that cannot be written must not stop the sale.
        JournalLog(u"Журнал денежных операций не записан: " + e.message());
    }
}

// ---- reading the register ----

int32_t TDriverFR::ReadCounters(TRegisterCounters& Counters) {
    Counters.Shift = Call(u"SmenNum").toInt();
    int32_t code = GetResult();
    if (code != rcOK) return code;
    Counters.Receipt = Call(u"LastReceiptNum").toInt();
    code = GetResult();
    if (code != rcOK) return code;
    Counters.Cash = Call(u"Cash").toCurrency();
    return GetResult();
}

bool TDriverFR::ReadCountersReconnecting(TRegisterCounters& Counters) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt) Reconnect();
        try {
            if (ReadCounters(Counters) == rcOK) return true;
        } catch (const EError&) {
        }
    }
    return false;
}

void TDriverFR::Reconnect() {
    try {
        Disconnect();
    } catch (const EError&) {
    }
    try {
        Connect(GetSettingValueInt(u"ModelIndex"), GetSettingValueInt(u"ConnectionType"),
                GetSettingValueInt(u"PortNumber"), GetSettingValueInt(u"BaudRate"), GetSettingValueStr(u"IPAddress"),
                GetSettingValueInt(u"TCPPort"));
    } catch (const EError&) {
    }
}

void TDriverFR::ReadDoneNumbers(TFiscalResult& Result) {
    bool shift = false, receipt = false, time = false;
    for (int attempt = 0; attempt < 2 && !(shift && receipt && time); ++attempt) {
        if (attempt) Reconnect();
        try {
            if (!shift) {
                const Variant v = Call(u"SmenNum");
                if (GetResult() == rcOK) Result.DayNum = v.toInt(), shift = true;
            }
            if (!receipt) {
                const Variant v = Call(u"LastReceiptNum");
                if (GetResult() == rcOK) Result.RecNum = v.toInt(), receipt = true;
            }
            if (!time) {
                const Variant v = Call(u"GetTime");
                if (GetResult() == rcOK) Result.RecDate = DeviceTimeToDateTime(v.toText(), platform::nowLocal()), time = true;
            }
        } catch (const EError&) {
        }
    }
    if (!(shift && receipt && time))
        JournalLog(u"Операция проведена, но не все её номера удалось прочитать с ККТ: непрочитанные оставлены "
                   u"по умолчанию (смена " + decimal(Result.DayNum) + u", чек " + decimal(Result.RecNum) + u")");
}

TMoneyOutcome TDriverFR::OutcomeOf(const TMoneyRecord& Record, const TRegisterCounters& Now) const {
    if (Record.State == TMoneyState::msCommitted) return TMoneyOutcome::moDone;
    // Another shift: its counters start again and say nothing about the old one.
    if (Now.Shift != Record.Baseline.Shift) return TMoneyOutcome::moUndetermined;
    if (Record.Kind == TMoneyKind::mkReceipt) {
        const int64_t moved = static_cast<int64_t>(Now.Receipt) - Record.Baseline.Receipt;
        if (moved == 1) return TMoneyOutcome::moDone;
        if (moved == 0) return TMoneyOutcome::moNotDone;
        return TMoneyOutcome::moUndetermined;
    }
    const int64_t expected = Record.Kind == TMoneyKind::mkDeposit ? Record.Sum : -Record.Sum;
    const int64_t moved = Now.Cash - Record.Baseline.Cash;
    if (expected == 0) return TMoneyOutcome::moUndetermined;  // nothing to see either way
    if (moved == expected) return TMoneyOutcome::moDone;
    if (moved == 0) return TMoneyOutcome::moNotDone;
    return TMoneyOutcome::moUndetermined;
}

// ---- the operation ----

int32_t TDriverFR::RunMoneyOperation(TMoneyOperation& Op, TFiscalResult& Result) {
    TMoneyJournal journal(JournalFolder());
    LoadJournal(journal);
    if (TMoneyRecord* pending = journal.Pending()) {
        switch (SettlePending(journal, *pending, Op, Result)) {
            case TPending::Answered: return rcOK;
            case TPending::Unreachable: FOperationText = kEarlierUnknown; return rcReceiptResultUnknown;
            case TPending::Proceed: break;
        }
    }

    TRegisterCounters baseline;
    int32_t code = ReadCounters(baseline);
    if (code == rcOK && Op.Check) code = Op.Check(baseline);
    if (code != rcOK) return code;

    TMoneyRecord fresh;
    fresh.Kind = Op.Kind;
    fresh.Fingerprint = FingerprintText(Op.Fingerprint);
    fresh.Sum = Op.Sum;
    fresh.Baseline = baseline;
    fresh.Begun = utf16ToUtf8(formatDateTime(u"yyyy-mm-dd hh:nn:ss", platform::nowLocal(), TFormatSettings::invariant()));
    TMoneyRecord& record = journal.Add(std::move(fresh));
    SaveJournal(journal);

    if (Op.Prepare) {
        try {
            code = Op.Prepare();
        } catch (...) {
            CancelFailed(journal, record);
            throw;
        }
        if (code != rcOK) {
            CancelFailed(journal, record);
            return code;
        }
    }

    std::exception_ptr raised;
    try {
        Call(Op.CommitMethod, Op.CommitArgs);
        code = GetResult();
    } catch (const EError&) {
        raised = std::current_exception();
    }
    if (raised || IsLinkError(code)) return SettleLost(journal, record, raised, code, Result);
    if (code != rcOK) {
        // Refused by the register: certainly not done.
        CancelFailed(journal, record);
        return code;
    }
    record.State = TMoneyState::msCommitted;
    SaveJournal(journal);
    SettleDone(journal, record, Result);
    return rcOK;
}

void TDriverFR::SettleDone(TMoneyJournal& Journal, TMoneyRecord& Record, TFiscalResult& Result) {
    ReadDoneNumbers(Result);
    Record.State = TMoneyState::msSettled;
    Record.Outcome = TMoneyOutcome::moDone;
    Record.Answer = Result;
    SaveJournal(Journal);
}

void TDriverFR::CancelFailed(TMoneyJournal& Journal, TMoneyRecord& Record) {
    if (Record.Kind == TMoneyKind::mkReceipt) {
        try {
            // Its value and error state are not examined: the answer stays the failure's.
            Call(u"printRecVoid");
        } catch (const EError& e) {
            // Possibly left open on the register: the record stays begun, and the next money
            // operation on this device cancels it first.
            JournalLog(u"Чек не аннулирован (" + e.message() + u"); он будет аннулирован перед следующей операцией");
            SaveJournal(Journal);
            return;
        }
    }
    Record.State = TMoneyState::msSettled;
    Record.Outcome = TMoneyOutcome::moNotDone;
    SaveJournal(Journal);
}

int32_t TDriverFR::SettleLost(TMoneyJournal& Journal, TMoneyRecord& Record, std::exception_ptr Raised, int32_t Code,
                              TFiscalResult& Result) {
    // The commit's error state, for the answer if the operation turns out not done.
    const int32_t lostResult = FDrvResult;
    const std::u16string lostText = FDrvResultDescr;
    TRegisterCounters now;
    const bool reached = ReadCountersReconnecting(now);
    const TMoneyOutcome outcome = reached ? OutcomeOf(Record, now) : TMoneyOutcome::moNone;
    if (outcome == TMoneyOutcome::moDone) {
        JournalLog(u"Ответ ККТ на " + describe(Record) + u" потерян; по счётчикам ККТ операция проведена");
        SettleDone(Journal, Record, Result);
        return rcOK;
    }
    if (outcome == TMoneyOutcome::moNotDone) {
        JournalLog(u"Ответ ККТ на " + describe(Record) + u" потерян; по счётчикам ККТ операция не проведена");
        // The end may never have reached the register: the receipt would still be open.
        CancelFailed(Journal, Record);
        FDrvResult = lostResult;
        FDrvResultDescr = lostText;
        if (Raised) std::rethrow_exception(Raised);
        return Code;
    }
    JournalLog(u"Ответ ККТ на " + describe(Record) + (reached ? u" потерян, и счётчики ККТ не позволяют понять, проведена ли операция"
                                                              : u" потерян, и связи с ККТ нет") +
               u": результат будет выяснен при следующей операции");
    Record.State = TMoneyState::msUnknown;
    SaveJournal(Journal);
    FOperationText = kOutcomeUnknown;
    return rcReceiptResultUnknown;
}

TDriverFR::TPending TDriverFR::SettlePending(TMoneyJournal& Journal, TMoneyRecord& Pending, const TMoneyOperation& Op,
                                             TFiscalResult& Result) {
    TRegisterCounters now;
    if (!ReadCountersReconnecting(now)) {
        JournalLog(u"Не выяснено, проведена ли " + describe(Pending) + u": нет связи с ККТ");
        return TPending::Unreachable;
    }
    const TMoneyOutcome outcome = OutcomeOf(Pending, now);
    if (outcome != TMoneyOutcome::moDone && Pending.Kind == TMoneyKind::mkReceipt) {
        // Begun by us and never committed: it may still be open on the register, which would
        // refuse every new receipt. A register with nothing open just says so.
        try {
            Call(u"printRecVoid");
        } catch (const EError&) {
            return TPending::Unreachable;
        }
    }
    Pending.State = TMoneyState::msSettled;
    Pending.Outcome = outcome;
    const bool same = sameOperation(Pending, Op.Kind, Op.Fingerprint);
    if (same && outcome == TMoneyOutcome::moDone) {
        SettleDone(Journal, Pending, Result);
        JournalLog(u"Повтор операции " + describe(Pending) + u", уже проведённой ККТ: ответ с её номерами, ничего не напечатано");
        return TPending::Answered;
    }
    SaveJournal(Journal);
    if (outcome == TMoneyOutcome::moUndetermined)
        JournalLog(u"ВНИМАНИЕ: не удаётся определить, проведена ли " + describe(Pending) +
                   u" (смена " + decimal(Pending.Baseline.Shift) + u" -> " + decimal(now.Shift) + u", чек " +
                   decimal(Pending.Baseline.Receipt) + u" -> " + decimal(now.Receipt) +
                   u"); новая операция проводится. Сверьте с контрольной лентой");
    else
        JournalLog(std::u16string(same ? u"Повтор операции " : u"Прежняя операция ") + describe(Pending) + u": " +
                   MoneyOutcomeText(outcome) + (same ? u"; проводится снова" : u""));
    return TPending::Proceed;
}

}  // namespace fr
