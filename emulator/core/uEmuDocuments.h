#pragma once
// The printed forms: what each document looks like on the paper tape.
#include <string>
#include <vector>

#include "uEmuLayout.h"
#include "uEmuState.h"

namespace fr::emu {

// Tax groups -1 (no VAT) and 0..5: printed name and rate (negative: no tax).
struct TEmuTaxGroup {
    const char16_t* name;
    int rate;
};
const TEmuTaxGroup& taxGroup(int32_t group);  // group within -1..5
const char16_t* paymentName(int32_t type);    // type within 0..3 ("НАЛИЧНЫМИ", ...)
// VAT included in a turnover at the group's rate, rounded to kopecks.
Money taxIncluded(Money turnover, int rate);

// A document's header: the register, its serial number, the document's label and time.
TEmuLines documentHeader(const TEmuState& s, const std::u16string& label, double time);
// Header, body and the closing rule, as UTF-8 text ending with an empty line.
std::string documentText(size_t width, const TEmuLines& lines);

TEmuLines receiptBody(const TEmuState& s, const TEmuReceipt& r, bool voided);
TEmuLines shiftReportBody(const TEmuState& s, bool zReport, double now);
// The rest take the tape's width from the state.
TEmuLines fiscalRecordsBody(const TEmuState& s, const std::vector<const TEmuFiscalRecord*>& records);
TEmuLines cashiersReportBody(const TEmuState& s);
TEmuLines taxReportBody(const TEmuState& s);
TEmuLines paymentsReportBody(const TEmuState& s);

}  // namespace fr::emu
