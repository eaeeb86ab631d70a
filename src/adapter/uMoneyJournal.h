#pragma once
// The journal of money operations of one register: one record per fiscal receipt, deposit or
// withdrawal, kept on disk so that an operation whose answer was lost can be settled with the
// register later, from any host process, driver object or device ID set up on that register.
// docs/money-journal.md describes the file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fiscal/uBaseFR.h"
#include "platform/Platform.h"

namespace fr {

enum class TMoneyKind { mkReceipt, mkDeposit, mkWithdrawal };

// begun: written before the first call that can move money; committed: the register accepted the
// commit call; unknown: the commit call's answer was lost and the register could not tell yet;
// settled: the outcome is known (or known to be unknowable) and needs nothing more.
enum class TMoneyState { msBegun, msCommitted, msUnknown, msSettled };

// What settling found: the operation was carried out, was not, or the counters cannot tell.
enum class TMoneyOutcome { moNone, moDone, moNotDone, moUndetermined };

// The register's counters around an operation.
struct TRegisterCounters {
    int32_t Shift = -1;    // SmenNum
    int32_t Receipt = -1;  // LastReceiptNum
    int64_t Cash = 0;      // Cash, scaled by 10 000
};

struct TMoneyRecord {
    uint64_t Id = 0;
    TMoneyKind Kind = TMoneyKind::mkReceipt;
    std::string Fingerprint;      // FingerprintText of the host's input
    bool FingerprintByType = false;  // taken by type, as journals of format 1 hold it
    int64_t Sum = 0;  // a deposit's or withdrawal's amount, scaled by 10 000; 0 for a receipt
    TRegisterCounters Baseline;
    TMoneyState State = TMoneyState::msBegun;
    TMoneyOutcome Outcome = TMoneyOutcome::moNone;
    TFiscalResult Answer;  // the numbers the host was (or is to be) given
    // Whether the host was given the outcome. A done operation it never heard of answers its
    // retry within kAnswerKeptSeconds of LostAt.
    bool Answered = true;
    int64_t LostAt = 0;     // when its answer was lost, seconds since 1970 (UTC); 0: never
    std::u16string Serial;  // the register's serial number; empty when it gave none
    std::u16string Device;  // the device ID of the host's driver that made it
    std::string Begun;      // local time it was begun, for people reading the file
};

// The records in the journal file's format, and back. FromText reads formats 1 and 2 and raises
// EError for text that is not a journal of either.
std::string MoneyJournalToText(const std::vector<TMoneyRecord>& records, uint64_t nextId);
std::vector<TMoneyRecord> MoneyJournalFromText(const std::string& text, uint64_t& nextId);

const char16_t* MoneyKindText(TMoneyKind kind);
const char16_t* MoneyOutcomeText(TMoneyOutcome outcome);
const char16_t* MoneyStateText(TMoneyState state);

// Seconds since 1970 (UTC): the clock of LostAt.
int64_t MoneyClockNow();

class TMoneyJournal {
public:
    // Settled records kept besides those still open or awaiting their retry.
    static constexpr size_t kKeptSettled = 8;
    // How long a done operation whose answer was lost answers its retry.
    static constexpr int64_t kAnswerKeptSeconds = 24 * 60 * 60;
    // How long a journal that cannot be read now (another program holds it) is tried again.
    static constexpr int kReadWaitMs = 2000;
    static constexpr const char16_t* kFileName = u"money-journal.json";
    static constexpr const char16_t* kLockName = u"money-journal.lock";

    explicit TMoneyJournal(std::u16string folder);
    TMoneyJournal(const TMoneyJournal&) = delete;
    TMoneyJournal& operator=(const TMoneyJournal&) = delete;

    const std::u16string& Folder() const { return FFolder; }
    std::u16string FileName() const;

    // Takes the register's lock beside the journal (the folder made first), waiting up to waitMs:
    // one money operation at a time on a register, across driver objects and processes. Held
    // until the journal object goes.
    platform::FileLock::Result Lock(int waitMs, std::u16string& error);

    // Reads the file. No file is an empty journal. A file that reads but is not a journal is
    // renamed aside (FileName + ".damaged-<time>") and the journal starts empty. A link (or a file
    // with further names) under the journal's name is read, never written through: the next Save
    // replaces the name with a file of our own. Returns what was done then, for the debug log;
    // empty otherwise. Raises EInOutError when the file is there but cannot be read for
    // kReadWaitMs (the records in it must not be lost).
    std::u16string Load();
    // Writes the whole journal: a temporary file, flushed, renamed over. Raises EInOutError.
    void Save();

    // The oldest record not settled, or null.
    TMoneyRecord* Pending();
    // A done operation of this kind and fingerprint whose answer never reached the host, its
    // answer lost less than kAnswerKeptSeconds before `now`; the oldest, or null.
    TMoneyRecord* AwaitingRetry(TMoneyKind kind, const std::string& fingerprint, const std::string& byType,
                                int64_t now);
    // Appends a record with the next number; drops the oldest settled records beyond
    // kKeptSettled first (never one that still awaits its retry). The reference holds until the
    // next Add, Load or Take.
    TMoneyRecord& Add(TMoneyRecord record);
    // Appends the other journal's records, numbered on from this one's.
    void Take(const TMoneyJournal& other);
    const std::vector<TMoneyRecord>& Records() const { return FRecords; }

private:
    bool AwaitsRetry(const TMoneyRecord& r, int64_t now) const;

    std::u16string FFolder;
    std::vector<TMoneyRecord> FRecords;
    uint64_t FNextId = 1;
    platform::FileLock FLock;
};

}  // namespace fr
