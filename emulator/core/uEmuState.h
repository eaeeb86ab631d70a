#pragma once
// What the virtual cash register remembers across restarts: the shift, the counters, the cash in
// the drawer, the fiscal memory of closed shifts, the clock offset and the document in progress.
// A receipt a program began stays open on the register when that program ends, with what was
// printed of it, until a program finishes or cancels it, as on a real register.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "uEmuMoney.h"
#include "uEmuOpenDocument.h"

namespace fr::emu {

constexpr int kPaymentTypes = 4;   // 0 cash, 1 credit, 2 cheque, 3 card
constexpr int kTaxSlots = 7;       // tax groups -1 (no tax) and 0..5
// 2 added the open document; a format-1 file, which has none, still loads.
constexpr int kStateFormat = 2;
// Characters a tape line; a state saved before the width could be set reads as the default.
constexpr int32_t kDefaultTapeWidth = 48;
constexpr int32_t kMinTapeWidth = 32, kMaxTapeWidth = 80;

struct TEmuCashierTotals {
    std::u16string name;
    int32_t salesCount = 0, returnsCount = 0;
    Money sales = 0, returns = 0;
    bool operator==(const TEmuCashierTotals&) const = default;
};

// The counters of the open shift; a Z report moves them to the fiscal memory and clears them.
struct TEmuShiftTotals {
    int32_t salesCount = 0, returnsCount = 0, depositsCount = 0, withdrawalsCount = 0;
    Money sales = 0, returns = 0, deposits = 0, withdrawals = 0;
    std::array<Money, kPaymentTypes> salePayments{}, returnPayments{};
    std::array<Money, kTaxSlots> saleTaxes{}, returnTaxes{};  // turnover per tax group
    std::vector<TEmuCashierTotals> cashiers;
    bool operator==(const TEmuShiftTotals&) const = default;
};

// One record of the fiscal memory: a closed shift.
struct TEmuFiscalRecord {
    int32_t shiftNumber = 0;
    double openedAt = 0, closedAt = 0;
    int32_t receipts = 0;  // receipts of the shift
    int32_t salesCount = 0, returnsCount = 0;
    Money sales = 0, returns = 0, deposits = 0, withdrawals = 0;
    Money cashAtClose = 0;
    Money grandSales = 0, grandReturns = 0;  // the never-reset totals after this shift
    int32_t documentNumber = 0;              // the Z report's own document
    bool operator==(const TEmuFiscalRecord&) const = default;
};

struct TEmuState {
    std::u16string serialNumber;
    int32_t shiftNumber = 0;  // the open shift, or the last closed one (0: none yet)
    bool shiftOpen = false;
    double shiftOpenedAt = 0;
    int32_t receiptNumber = 0;   // last receipt of the current shift
    int32_t documentNumber = 0;  // last document of any kind, never reset
    Money cash = 0;
    Money grandSales = 0, grandReturns = 0;
    double clockOffset = 0;  // device clock minus computer clock, days
    int32_t tapeWidth = kDefaultTapeWidth;
    TEmuShiftTotals shift;
    std::vector<TEmuFiscalRecord> fiscalMemory;
    TEmuOpenDocument open;  // the receipt or non-fiscal document begun and not yet ended
    // The tape's expected length after the last document, and that document's text: lets a
    // restart finish a document the process did not get to append in full.
    uint64_t tapeEnd = 0;
    std::string lastTapeDocument;
    bool operator==(const TEmuState&) const = default;
};

// JSON text of a state, and back. Parsing checks every field; a text that is not a complete,
// consistent state raises EEmuError(ecSeeExtended) naming what is wrong.
std::string stateToJson(const TEmuState& s);
TEmuState stateFromJson(const std::string& text);

}  // namespace fr::emu
