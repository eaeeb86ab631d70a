#pragma once
// The virtual cash register: shift, receipts, cash, reports and the clock over the saved state.
// Every operation either refuses with EEmuError and changes nothing, or commits its document and
// the new state before it returns; so does every step of an open document, which is part of the
// state. One device per folder in a process: objects that open the same
// folder share it, as programs on one computer share one cash register.
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "uEmuDocuments.h"
#include "uEmuState.h"
#include "uEmuStore.h"

namespace fr::emu {

class TEmuDevice {
public:
    // The folder's device, loaded on first use (see TEmuStore::load for the errors).
    static std::shared_ptr<TEmuDevice> open(const std::filesystem::path& folder);
    explicit TEmuDevice(const std::filesystem::path& folder);

    // Reads the saved state again: another program may have reset the device, or ended or cancelled
    // a document this object saw open. The saved state is the truth; nothing lives only here.
    void reload();

    TEmuState state() const;
    std::u16string serialNumber() const;
    Money cash() const;
    int32_t shiftNumber() const;
    int32_t lastReceiptNumber() const;
    double deviceTime() const;  // computer clock plus the offset set by setTime
    bool receiptOpen() const;
    bool nonFiscalOpen() const;
    TEmuOpenDocument openDocument() const;

    void setTime(int hour, int minute, int second);
    void printNullReceipt();  // opens the shift when it is closed
    void openCashDrawer();
    void printXReport();
    void printZReport();
    // kind 0: by closing dates (texts ddmmyy), 2: by shift numbers.
    void printPeriodicReport(int32_t kind, const std::u16string& from, const std::u16string& to);
    // 0 cashiers, 3 tax groups, 5 payment types, 6 the whole fiscal memory.
    void printReport(int32_t kind);
    void printRecCash(int64_t amountCurrency);  // positive deposit, negative withdrawal

    void beginFiscalReceipt(int32_t type, const std::u16string& cashier);
    // discount: currency added to the item (negative: a discount); percent: added percent of the item.
    void printRecItem(const std::u16string& name, int64_t priceCurrency, double quantity, int32_t taxGroup,
                      int64_t discountCurrency, double percent);
    void printText(const std::u16string& line);
    void printBarCode(const std::u16string& code, int32_t type);
    void printRecTotal(int64_t amountCurrency, int32_t paymentType);
    void endFiscalReceipt();
    void printRecVoid();

    void beginNonFiscal();
    void printNonFiscalText(const std::u16string& line);
    void endNonFiscal();

private:
    size_t width() const { return static_cast<size_t>(FState.tapeWidth); }
    void requireNoDocument() const;
    void requireLiveShift(double now) const;
    // Commits `next` with a printed document (header label + body) and makes it current.
    void commitDocument(TEmuState& next, const std::u16string& label, const TEmuLines& body, double now);
    // Commits `next` without printing (the clock, a step of the open document).
    void commitState(TEmuState& next);

    mutable std::mutex FLock;
    TEmuStore FStore;
    TEmuState FState;
};

}  // namespace fr::emu
