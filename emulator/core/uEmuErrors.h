#pragma once
// The emulator's error codes and texts. Codes up to 1000 are our own "vendor" codes; the driver
// passes them through with our text. 3001 and 3002 are the driver's own codes for "no paper" and
// "shift older than 24 hours", used because the host knows what to do about them. Code 1 means
// "see the extended text" (LastErrorExText carries the particulars).
#include <cstdint>
#include <string>

#include "automation/Errors.h"

namespace fr::emu {

enum TEmuCode : int32_t {
    ecOk = 0,
    ecSeeExtended = 1,
    ecNotStarted = 2,
    ecPortNotOpen = 3,
    ecUnknownModel = 4,
    ecBadParameter = 5,
    ecShiftClosed = 10,
    ecShiftOpen = 11,
    ecReceiptOpen = 20,
    ecReceiptNotOpen = 21,
    ecPaymentShort = 22,
    ecNotEnoughCash = 23,
    ecNonFiscalNotOpen = 24,
    ecDocumentOpen = 25,
    ecNoItems = 26,
    ecItemsAfterPayment = 27,
    ecNonCashExceedsTotal = 28,
    ecDiscountTooLarge = 29,
    ecBadTaxGroup = 30,
    ecBadPaymentType = 31,
    ecBadReceiptType = 32,
    ecBadReportKind = 33,
    ecBadTime = 34,
    ecBadAmount = 35,
    ecBadBarcode = 36,
    ecBadPeriod = 37,
    ecPaperOut = 3001,
    ecShiftExpired = 3002,
};

// The standard text of a code; "Ошибка N" for a code we do not know (injected faults).
std::u16string emuCodeText(int32_t code);

// A refusal: the code, its text and the particulars for LastErrorExText.
class EEmuError : public EError {
public:
    explicit EEmuError(int32_t code, std::u16string text = {}, std::u16string extended = {});
    int32_t code() const noexcept { return FCode; }
    const std::u16string& extended() const noexcept { return FExtended; }

private:
    int32_t FCode;
    std::u16string FExtended;
};

}  // namespace fr::emu
