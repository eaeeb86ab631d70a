#pragma once
// The journal of money operations of one device: one record per fiscal receipt, deposit or
// withdrawal, kept on disk so that an operation whose answer was lost can be settled with the
// register by the next call, from any host process and any driver object. docs/money-journal.md
// describes the file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fiscal/uBaseFR.h"

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
    std::string Fingerprint;  // FingerprintText of the host's input
    int64_t Sum = 0;          // a deposit's or withdrawal's amount, scaled by 10 000; 0 for a receipt
    TRegisterCounters Baseline;
    TMoneyState State = TMoneyState::msBegun;
    TMoneyOutcome Outcome = TMoneyOutcome::moNone;
    TFiscalResult Answer;  // the numbers the host was (or is to be) given
    std::string Begun;     // local time it was begun, for people reading the file
};

// The records in the journal file's format, and back. FromText raises EError for text that is not
// a journal of this format.
std::string MoneyJournalToText(const std::vector<TMoneyRecord>& records, uint64_t nextId);
std::vector<TMoneyRecord> MoneyJournalFromText(const std::string& text, uint64_t& nextId);

const char16_t* MoneyKindText(TMoneyKind kind);
const char16_t* MoneyOutcomeText(TMoneyOutcome outcome);

class TMoneyJournal {
public:
    // Settled records kept besides those still open: enough to read what happened lately.
    static constexpr size_t kKeptSettled = 8;

    explicit TMoneyJournal(std::u16string folder);
    std::u16string FileName() const;

    // Reads the file. No file is an empty journal. A file that cannot be read or is not a journal
    // is renamed aside (FileName + ".damaged-<time>") and the journal starts empty: a damaged
    // journal must never stop printing. A name that holds no file of our own (a link, a file with
    // further names) is removed and the journal starts empty. Returns what was done then, for the
    // debug log; empty otherwise.
    std::u16string Load();
    // Writes the whole journal: a temporary file, flushed, renamed over. Raises EInOutError.
    void Save();

    // The oldest record not settled, or null.
    TMoneyRecord* Pending();
    // Appends a record with the next number; drops the oldest settled records beyond
    // kKeptSettled first. The reference holds until the next Add or Load.
    TMoneyRecord& Add(TMoneyRecord record);
    const std::vector<TMoneyRecord>& Records() const { return FRecords; }

private:
    std::u16string FFolder;
    std::vector<TMoneyRecord> FRecords;
    uint64_t FNextId = 1;
};

}  // namespace fr
