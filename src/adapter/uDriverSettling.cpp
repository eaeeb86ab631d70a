// TDriverFR's money operations under the register's journal: one at a time per register, the
// baseline read before, the record written before the first call that can move money, and any
// answer of the commit call but success settled by asking the register what it did.
// docs/link-loss.md tells integrators what they see.
#include <algorithm>

#include "adapter/uDeviceTime.h"
#include "adapter/uDriver.h"
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
const char16_t* const kRegisterBusy =
    u"Устройство занято: на этой ККТ сейчас печатает другая программа (или другой объект драйвера). Операция не "
    u"выполнена, ничего не напечатано и не аннулировано; повторите её, когда та закончит";
const char16_t* const kJournalUnavailable =
    u"Устройство занято: журнал денежных операций этой ККТ сейчас недоступен, операция не выполнена и ничего не "
    u"напечатано; повторите её позже. ";

std::u16string decimal(int64_t v) { return utf8ToUtf16(std::to_string(v)); }

// A device ID or serial number as one folder name: characters a file system may refuse become "_".
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

std::u16string nowText(const char16_t* format) {
    return formatDateTime(format, platform::nowLocal(), TFormatSettings::invariant());
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

std::u16string TDriverFR::JournalRoot() {
    if (!FJournalRoot.empty()) return platform::includeTrailingPathDelimiter(FJournalRoot);
    // Beside the common debug log, made and opened to every user as it is, so every host on the
    // machine finds the same journals.
    try {
        return platform::includeTrailingPathDelimiter(GetCommonLogFolder() + u"Journals");
    } catch (const EError& e) {
        JournalLog(u"Папка журналов денежных операций недоступна: " + e.message());
        return {};
    }
}

std::u16string TDriverFR::JournalFolder() {
    const std::u16string root = JournalRoot();
    if (root.empty()) return {};
    // The register, not the host's folder, is what the journal speaks of: every device ID set up
    // on it finds the same one.
    return platform::includeTrailingPathDelimiter(
        root + (FDeviceSerialNum.empty() ? folderNameOf(FDeviceID) : u"SN-" + folderNameOf(FDeviceSerialNum)));
}

void TDriverFR::JournalLog(const std::u16string& Text) { DebugLog(u"JOURNAL", Text); }

int32_t TDriverFR::OpenJournal(TMoneyJournal& Journal) {
    std::u16string why;
    switch (Journal.Lock(kJournalLockWaitMs, why)) {
        case platform::FileLock::Result::Locked: break;
        case platform::FileLock::Result::Busy:
            JournalLog(u"Журнал ККТ занят другой операцией дольше " + decimal(kJournalLockWaitMs / 1000) + u" с: операция отклонена");
            FOperationText = kRegisterBusy;
            return rcDeviceBusy;
        case platform::FileLock::Result::Failed:
            FOperationText = kJournalUnavailable + why;
            JournalLog(FOperationText);
            return rcDeviceBusy;
    }
    try {
        const std::u16string note = Journal.Load();
        if (!note.empty()) JournalLog(note);
    } catch (const EError& e) {
        FOperationText = kJournalUnavailable + e.message();
        JournalLog(FOperationText);
        return rcDeviceBusy;
    }
    CarryOverDeviceJournals(Journal);
    return rcOK;
}

void TDriverFR::CarryOverDeviceJournals(TMoneyJournal& Journal) {
    // Where earlier versions kept it: the device's folder, and under the root by device ID.
    std::vector<std::u16string> earlier;
    if (!FDeviceFolder.empty()) earlier.push_back(platform::includeTrailingPathDelimiter(FDeviceFolder));
    if (const std::u16string root = JournalRoot(); !root.empty())
        earlier.push_back(platform::includeTrailingPathDelimiter(root + folderNameOf(FDeviceID)));
    for (const std::u16string& folder : earlier) {
        if (folder == Journal.Folder()) continue;
        TMoneyJournal old(folder);
        if (!platform::fileExists(old.FileName())) continue;
        try {
            const std::u16string note = old.Load();
            if (!note.empty()) JournalLog(note);
        } catch (const EError& e) {
            JournalLog(u"Журнал денежных операций устройства не перенесён сейчас (" + e.message() + u"); он будет перенесён при следующей операции");
            continue;
        }
        Journal.Take(old);
        if (SaveJournalFirst(Journal) != rcOK) return;  // read again and carried next time
        const std::u16string aside = old.FileName() + u".carried-" + nowText(u"yyyymmdd-hhnnss");
        const bool moved = platform::renameFile(old.FileName(), aside);
        JournalLog(u"Журнал денежных операций \"" + old.FileName() + u"\" (записей: " +
                   decimal(static_cast<int64_t>(old.Records().size())) + u") перенесён в журнал ККТ \"" +
                   Journal.FileName() + u"\"" +
                   (moved ? u"; прежний файл переименован в \"" + aside + u"\""
                          : std::u16string(u"; прежний файл переименовать не удалось")));
    }
}

void TDriverFR::SaveJournal(TMoneyJournal& Journal) {
    try {
        Journal.Save();
    } catch (const EError& e) {
        JournalLog(u"Журнал денежных операций не записан: " + e.message());
    }
}

int32_t TDriverFR::SaveJournalFirst(TMoneyJournal& Journal) {
    try {
        Journal.Save();
        return rcOK;
    } catch (const EError& e) {
        FOperationText = kJournalUnavailable + e.message();
        JournalLog(FOperationText);
        return rcDeviceBusy;
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

TMoneyOutcome TDriverFR::CancelThenDecide(const TMoneyRecord& Record) {
    // Read the other way round, a slow register could end the receipt between the read and the
    // cancel: the cancel refused, the receipt recorded not done, and printed again on the retry.
    enum class TCancel { Cancelled, Refused, Raised, LinkError } cancel;
    try {
        Call(u"printRecVoid");
        const int32_t code = GetResult();
        cancel = code == rcOK ? TCancel::Cancelled : IsLinkError(code) ? TCancel::LinkError : TCancel::Refused;
    } catch (const EError&) {
        // Taken as "no receipt open", as the counters were read a moment ago; one really left open
        // shows as "Чек уже открыт" at the next begin, which cancels it then.
        cancel = TCancel::Raised;
        FOpenReceiptOwner = describe(Record);
    }
    switch (cancel) {
        case TCancel::Cancelled: return TMoneyOutcome::moNotDone;
        case TCancel::LinkError: return TMoneyOutcome::moNone;
        case TCancel::Refused:
        case TCancel::Raised: break;
    }
    TRegisterCounters now;
    try {
        if (ReadCounters(now) == rcOK) return OutcomeOf(Record, now);
    } catch (const EError&) {
    }
    return TMoneyOutcome::moNone;
}

TMoneyOutcome TDriverFR::AskRegister(const TMoneyRecord& Record, TRegisterCounters& Now, bool& Reached) {
    Reached = ReadCountersReconnecting(Now);
    const TMoneyOutcome outcome = Reached ? OutcomeOf(Record, Now) : TMoneyOutcome::moNone;
    // Not ended, or its end never arrived: it may still be open on the register, which would
    // refuse every new receipt.
    if (outcome == TMoneyOutcome::moNotDone && Record.Kind == TMoneyKind::mkReceipt) return CancelThenDecide(Record);
    return outcome;
}

// ---- the operation ----

int32_t TDriverFR::RunMoneyOperation(TMoneyOperation& Op, TFiscalResult& Result) {
    TMoneyJournal journal(JournalFolder());
    int32_t code = SettleJournal(journal);
    if (code != rcOK) return code;

    const std::string fingerprint = FingerprintText(Op.Prints.ByValue);
    if (TMoneyRecord* earlier =
            journal.AwaitingRetry(Op.Kind, fingerprint, FingerprintText(Op.Prints.ByType), MoneyClockNow())) {
        // Done, and the host never heard: this is its retry. Answered only once the journal says so,
        // or an identical sale later would be answered from it too.
        earlier->Answered = true;
        code = SaveJournalFirst(journal);
        if (code != rcOK) return code;
        Result = earlier->Answer;
        JournalLog(u"Повтор операции " + describe(*earlier) + u", уже проведённой ККТ: ответ с её номерами, ничего не напечатано");
        return rcOK;
    }

    TRegisterCounters baseline;
    code = ReadCounters(baseline);
    if (code == rcOK && Op.Check) code = Op.Check(baseline);
    if (code != rcOK) return code;

    TMoneyRecord fresh;
    fresh.Kind = Op.Kind;
    fresh.Fingerprint = fingerprint;
    fresh.Sum = Op.Sum;
    fresh.Baseline = baseline;
    fresh.Answered = false;
    fresh.Serial = FDeviceSerialNum;
    fresh.Device = FDeviceID;
    fresh.Begun = utf16ToUtf8(nowText(u"yyyy-mm-dd hh:nn:ss"));
    TMoneyRecord& record = journal.Add(std::move(fresh));
    // Without its record on disk a lost answer could not be settled: nothing is sent.
    code = SaveJournalFirst(journal);
    if (code != rcOK) return code;

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
    if (raised || code != rcOK) return SettleCommit(journal, record, raised, code, Result);
    record.State = TMoneyState::msCommitted;
    SaveJournal(journal);
    SettleDone(journal, record, Result, true);
    return rcOK;
}

int32_t TDriverFR::SettleJournal(TMoneyJournal& Journal) {
    FOpenReceiptOwner.clear();
    const int32_t code = OpenJournal(Journal);
    if (code != rcOK) return code;
    while (TMoneyRecord* pending = Journal.Pending()) {
        if (SettlePending(Journal, *pending) == TPending::Unreachable) {
            FOperationText = kEarlierUnknown;
            return rcReceiptResultUnknown;
        }
    }
    return rcOK;
}

int32_t TDriverFR::AfterSettling(const std::function<int32_t()>& Report) {
    // Once the shift changes, the counters can no longer tell whether a lost receipt was made.
    TMoneyJournal journal(JournalFolder());
    const int32_t code = SettleJournal(journal);
    return code != rcOK ? code : Report();
}

void TDriverFR::SettleDone(TMoneyJournal& Journal, TMoneyRecord& Record, TFiscalResult& Result, bool Answered) {
    ReadDoneNumbers(Result);
    Record.State = TMoneyState::msSettled;
    Record.Outcome = TMoneyOutcome::moDone;
    Record.Answer = Result;
    Record.Answered = Answered;
    if (!Answered && Record.LostAt == 0) Record.LostAt = MoneyClockNow();
    SaveJournal(Journal);
}

void TDriverFR::CancelFailed(TMoneyJournal& Journal, TMoneyRecord& Record) {
    if (Record.Kind == TMoneyKind::mkReceipt) {
        try {
            // Its value and error state are not examined: the answer stays the failure's.
            Call(u"printRecVoid");
        } catch (const EError& e) {
            // Possibly left open on the register: the record stays begun, and the next money
            // operation on this register cancels it first.
            JournalLog(u"Чек не аннулирован (" + e.message() + u"); он будет аннулирован перед следующей операцией");
            SaveJournal(Journal);
            return;
        }
    }
    Record.State = TMoneyState::msSettled;
    Record.Outcome = TMoneyOutcome::moNotDone;
    SaveJournal(Journal);
}

int32_t TDriverFR::SettleCommit(TMoneyJournal& Journal, TMoneyRecord& Record, std::exception_ptr Raised, int32_t Code,
                                TFiscalResult& Result) {
    // The commit's error state, for the answer if the operation turns out not done.
    const int32_t commitResult = FDrvResult;
    const std::u16string commitText = FDrvResultDescr;
    // The register answered, with an error: it may still have made the document (paper out while
    // the fiscalized receipt printed, a cover opened, a cutter jammed).
    const bool answered = !Raised && !IsLinkError(Code);
    TRegisterCounters now;
    bool reached = false;
    const TMoneyOutcome outcome = AskRegister(Record, now, reached);
    if (outcome == TMoneyOutcome::moDone) {
        if (answered)
            JournalLog(u"ВНИМАНИЕ: " +
                       std::u16string(Record.Kind == TMoneyKind::mkReceipt   ? u"чек пробит"
                                      : Record.Kind == TMoneyKind::mkDeposit ? u"внесение проведено"
                                                                             : u"выплата проведена") +
                       u", но ККТ сообщила об ошибке " + decimal(commitResult) + u" (" + commitText + u"): " +
                       describe(Record) + u" по счётчикам ККТ проведена, программе сообщено об успехе");
        else
            JournalLog(u"Ответ ККТ на " + describe(Record) + u" потерян; по счётчикам ККТ операция проведена");
        SettleDone(Journal, Record, Result, true);
        return rcOK;
    }
    if (outcome == TMoneyOutcome::moNotDone) {
        if (!answered) JournalLog(u"Ответ ККТ на " + describe(Record) + u" потерян; по счётчикам ККТ операция не проведена");
        Record.State = TMoneyState::msSettled;
        Record.Outcome = TMoneyOutcome::moNotDone;
        SaveJournal(Journal);
        FDrvResult = commitResult;
        FDrvResultDescr = commitText;
        if (Raised) std::rethrow_exception(Raised);
        return Code;
    }
    JournalLog(u"Ответ ККТ на " + describe(Record) +
               (answered ? u": ошибка " + decimal(commitResult) + u" (" + commitText + u")" : std::u16string(u" потерян")) +
               (reached ? u", и счётчики ККТ не позволяют понять, проведена ли операция" : u", и связи с ККТ нет") +
               u": результат будет выяснен при следующей операции");
    Record.State = TMoneyState::msUnknown;
    Record.LostAt = MoneyClockNow();
    SaveJournal(Journal);
    FOperationText = kOutcomeUnknown;
    return rcReceiptResultUnknown;
}

TDriverFR::TPending TDriverFR::SettlePending(TMoneyJournal& Journal, TMoneyRecord& Pending) {
    if (!Pending.Serial.empty() && !FDeviceSerialNum.empty() && Pending.Serial != FDeviceSerialNum) {
        // Another register's counters say nothing of it.
        Pending.State = TMoneyState::msSettled;
        Pending.Outcome = TMoneyOutcome::moUndetermined;
        SaveJournal(Journal);
        JournalLog(u"ВНИМАНИЕ: " + describe(Pending) + u" сделана на ККТ с заводским номером " + Pending.Serial +
                   u", а подключена ККТ " + FDeviceSerialNum +
                   u": сверить её нельзя, проведена ли она, неизвестно. Сверьте с контрольной лентой прежней ККТ");
        return TPending::Settled;
    }
    TRegisterCounters now;
    bool reached = false;
    const TMoneyOutcome outcome = AskRegister(Pending, now, reached);
    if (outcome == TMoneyOutcome::moNone) {
        JournalLog(u"Не выяснено, проведена ли " + describe(Pending) + u": нет связи с ККТ");
        return TPending::Unreachable;
    }
    if (outcome == TMoneyOutcome::moDone) {
        TFiscalResult numbers = DefaultFiscalResult();
        SettleDone(Journal, Pending, numbers, false);
        JournalLog(u"Прежняя операция " + describe(Pending) +
                   u": проведена; ответ о ней до программы не дошёл, и её повтор с теми же данными в течение суток "
                   u"получит его, ничего не печатая");
        return TPending::Settled;
    }
    Pending.State = TMoneyState::msSettled;
    Pending.Outcome = outcome;
    SaveJournal(Journal);
    if (outcome == TMoneyOutcome::moUndetermined)
        JournalLog(u"ВНИМАНИЕ: не удаётся определить, проведена ли " + describe(Pending) + u" (смена " +
                   decimal(Pending.Baseline.Shift) + u" -> " + decimal(now.Shift) + u", чек " +
                   decimal(Pending.Baseline.Receipt) + u" -> " + decimal(now.Receipt) +
                   u"); она закрыта как неизвестная. Сверьте с контрольной лентой");
    else
        JournalLog(u"Прежняя операция " + describe(Pending) + u": " + MoneyOutcomeText(outcome));
    return TPending::Settled;
}

}  // namespace fr
