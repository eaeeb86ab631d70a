#pragma once
// Result codes every operation reports (0 = success) and their standard Russian texts.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace fr {

// Codes the driver produces itself. The table also holds codes of other equipment kinds
// (payment terminals, scales, ...), which have texts but no names here.
constexpr int32_t rcOK = 0;
constexpr int32_t rcDeviceNotEnabled = 70;
constexpr int32_t rcTimeout = 74;
constexpr int32_t rcCancelledByUser = 201;
constexpr int32_t rcUnknownError = 1001;
constexpr int32_t rcCommandNotRecognized = 1002;
constexpr int32_t rcCommandNotSupported = 1003;
constexpr int32_t rcInvalidParameters = 1004;
constexpr int32_t rcDeviceNotInitialized = 1005;
constexpr int32_t rcLibraryNotFound = 1006;
constexpr int32_t rcDeviceNotResponding = 1007;
constexpr int32_t rcEquipmentNotReady = 1008;
constexpr int32_t rcDeviceBusy = 1009;
constexpr int32_t rcWrongLibraryVersion = 1010;
constexpr int32_t rcPortUnavailable = 1011;
constexpr int32_t rcPortBusy = 1012;
constexpr int32_t rcDeviceNotFound = 1013;
constexpr int32_t rcProtocolError = 1014;
constexpr int32_t rcWrongCommandSequence = 1015;
constexpr int32_t rcPortWriteError = 1016;
constexpr int32_t rcPortReadError = 1017;
constexpr int32_t rcLibraryCallError = 1018;
constexpr int32_t rcSingleInstanceOnly = 1019;
constexpr int32_t rcWrongDeviceParameters = 1020;
constexpr int32_t rcDataBufferEmpty = 2001;
constexpr int32_t rcNoPaper = 3001;
constexpr int32_t rcShiftOver24Hours = 3002;
constexpr int32_t rcNoControlTape = 3003;
constexpr int32_t rcNoSlipDocument = 3004;
constexpr int32_t rcShiftClosed = 3005;
constexpr int32_t rcNotEnoughCash = 3006;
constexpr int32_t rcTemplateNotFound = 3007;
constexpr int32_t rcShiftMustBeClosed = 3008;
constexpr int32_t rcPaymentSumMismatch = 3009;
constexpr int32_t rcTaxGroupOutOfRange = 3010;
constexpr int32_t rcReceiptResultUnknown = 3011;
constexpr int32_t rcPaymentNumberOutOfRange = 3012;
constexpr int32_t rcDepartmentOutOfRange = 3013;
constexpr int32_t rcNoBuyerAddress = 3014;
constexpr int32_t rcShiftOpen = 3015;
constexpr int32_t rcNotEnoughCashInDrawer = 3017;
constexpr int32_t rcNotFiscalized = 3018;
constexpr int32_t rcFiscalStorageClosed = 3019;
constexpr int32_t rcPaymentSubjectOutOfRange = 3020;
constexpr int32_t rcPaymentMethodOutOfRange = 3021;
constexpr int32_t rcBadReceiptOutputPath = 3022;
constexpr int32_t rcAgentSignOutOfRange = 3023;
constexpr int32_t rcZeroPriceNotAllowed = 3024;
constexpr int32_t rcTaxes20And18Mixed = 3025;
constexpr int32_t rcInvalidINN = 3026;
constexpr int32_t rcPrintError = 3027;
constexpr int32_t rcPreviousDocumentFinished = 3028;

struct TResultCodeText {
    int32_t Code;
    std::u16string_view Text;
};

// Every code that has a standard text, in ascending code order.
std::span<const TResultCodeText> ResultCodeTable();

// The standard text of a code, or nothing when the code has no entry.
std::optional<std::u16string_view> StandardResultText(int32_t code);

// Description when it is not empty; otherwise the code's standard text; otherwise the text of 1001.
std::u16string ResultCodeDescription(int32_t code, std::u16string_view description = {});

}  // namespace fr
