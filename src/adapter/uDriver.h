#pragma once
// TDriverFR: the Vornlex fiscal printer over the vendor's universal driver ("Vornlex.FiscalPrinter",
// called by name). The class the COM server creates for every host request. It holds the universal
// driver object, connects and disconnects the register, keeps the driver's own settings and turns
// the universal driver's error state into result codes and descriptions.
#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "adapter/uInDataFingerprint.h"
#include "adapter/uMoneyJournal.h"
#include "adapter/uNameValueList.h"
#include "adapter/uReceiptLines.h"
#include "adapter/uTaxAccumulators.h"
#include "automation/AutomationObject.h"
#include "fiscal/uBaseFR.h"

namespace fr {

// The model this driver serves, as GetDeviceInfo reports it.
inline constexpr const char16_t* kDriverModelID = u"6C1F0B5E-7A2D-4E39-9B84-3F0D2A61C7E5";
inline constexpr const char16_t* kDriverProgID = u"Eqdr.FrVornlex";
inline constexpr const char16_t* kUniversalDriverProgID = u"Vornlex.FiscalPrinter";

// The universal driver's own error codes go up to here; the driver's codes start above.
inline constexpr int32_t kLastVendorCode = 1000;
// The universal driver's answer to beginFiscalReceipt while a receipt is open: "Чек уже открыт".
inline constexpr int32_t kVendorReceiptOpen = 20;
// How long a money operation waits for another one on the same register to finish.
inline constexpr int kJournalLockWaitMs = 5000;

// True for an error state that says the register was not reached, so a command may or may not
// have been carried out: the universal driver not started (2), no link with the register (3),
// and the driver codes for a device that does not answer or a port that fails (1007, 1011, 1014,
// 1016, 1017).
bool IsLinkError(int32_t code);

// The speeds the register's port supports, in the universal driver's order.
inline constexpr std::array<int32_t, 6> BaudRates{4800, 9600, 19200, 38400, 57600, 115200};
// The position of a rate in BaudRates, or -1.
int32_t BaudRateIndex(int32_t rate);
// The model-list index of the emulator.
inline constexpr int32_t kEmulatorModelIndex = 8;
// The model code `start` takes for a model-list index: the index, except the emulator (8) is 100.
int32_t ModelCode(int32_t modelIndex);

// Sets the formats the driver's texts are made with, process-wide, once per process.
void SetDriverProcessFormats();

class TDriverFR;
// Shows the settings window for a driver and tells whether it was closed with OK. The COM module
// installs the Win32 one; without it the driver has no window to show.
using TSettingsDialogShower = bool (*)(TDriverFR&);
void SetSettingsDialogShower(TSettingsDialogShower shower);

class TDriverFR : public TBaseFR {
public:
    // The universal driver, created on first need; Empty while it cannot be created.
    Variant GetDriver();
    Variant DriverFR() { return GetDriver(); }
    // 0 when the universal driver exists (or can be created now), else 1006.
    int32_t DeviceReady();
    int32_t Connect(int32_t AModelIndex, int32_t AConnectionType, int32_t APortNumber, int32_t ABaudRate,
                    const std::u16string& AIPAddress, int32_t ATCPPort);
    void Disconnect();
    int32_t EnableDevice(std::u16string& ResultDescription);
    void DisableDevice();
    // Reads the universal driver's error state into DrvResult and its text; IRes is not used.
    int32_t GetResult(bool IRes = true);
    // Fills ResultDescription for a code and returns the code: the universal driver's own codes
    // (1000 or less) carry its text and the last code read in brackets, others the table text.
    virtual int32_t ConvertDrvError(int32_t ErrorCode, std::u16string& ResultDescription);
    std::u16string GetErrorDescription(int32_t ErrorCode) const { return FDrvResultDescr; }
    void LoadDriverSettings();
    // A call on the universal driver by name; raises when there is none.
    Variant Call(const std::u16string& name, std::vector<Arg>& args);
    Variant Call(const std::u16string& name);

    const std::u16string& DeviceSerialNum() const { return FDeviceSerialNum; }
    int32_t DrvResult() const { return FDrvResult; }
    const TNameValueList& PaymentNames() const { return FPaymentNames; }
    const TNameValueList& TaxNames() const { return FTaxNames; }
    const std::u16string& OperName() const { return FOperName; }

    // ---- shift, reports, cash and clock ----
    int32_t OpenDay(const std::u16string& CashierID, const std::u16string& CashierName, TFiscalResult& Result,
                    std::u16string& ResultDescription) override;
    int32_t PrintXReport(TFiscalResult& Result, std::u16string& ResultDescription,
                         const std::u16string& CashierName) override;
    int32_t PrintZReport(TFiscalResult& Result, std::u16string& ResultDescription,
                         const std::u16string& CashierName) override;
    int32_t PrintExtReport(int32_t ReportType, double BeginDate, double EndDate, int32_t BeginDay, int32_t EndDay,
                           int32_t EKLZKPKNumber, TFiscalResult& Result, std::u16string& ResultDescription) override;
    int32_t Encash(int32_t EncashmentType, int64_t Sum, TFiscalResult& Result,
                   std::u16string& ResultDescription) override;
    int32_t GetCountersInfo(Variant& CountersTable, Variant& PaymentTable, std::u16string& ResultDescription) override;
    int32_t GetLastDocInfo(TFiscalResult& Result, int32_t& RecType, int64_t& RecSum,
                           std::u16string& ResultDescription) override;
    int32_t GetDateTime(double& FPDate, std::u16string& ResultDescription) override;
    int32_t SetDateTime(double FPDate, std::u16string& ResultDescription) override;
    int32_t OpenDrawer(std::u16string& ResultDescription) override;
    int32_t PrintDocumentCopy(int32_t Num, std::u16string& ResultDescription) override;
    // Reads the shift and receipt numbers and the register's time; DocumentNum stays -1.
    int32_t GetFiscalParams(TFiscalResult& Result);

    // ---- the journal of money operations ----
    // The folder that holds every register's journal: the one set here, else "Journals" under the
    // common application-data folder; empty when there is none.
    std::u16string JournalRoot();
    void SetJournalRoot(const std::u16string& folder) { FJournalRoot = folder; }
    // The connected register's journal folder: named after its serial number ("SN-<serial>"), or
    // after the device ID when the register gave none.
    std::u16string JournalFolder();

    // ---- receipts ----
    int32_t PrintReceipt(Variant& ItemTable, Variant& PaymentTable, Variant& CommonParameters, TFiscalResult& Result,
                         std::u16string& ResultDescription) override;
    // Opens a fiscal receipt, prints the items and payments and closes it; anything that keeps it
    // from completing cancels it on the register. A journalled money operation: Result gets the
    // receipt's numbers.
    int32_t PrintFiscalReceipt(const Variant& ItemTable, const Variant& PaymentTable, int32_t ReceiptType,
                               const std::u16string& CashierName, const TInDataPrints& Prints, TFiscalResult& Result);
    // The receipt laid out as text lines and printed as a non-fiscal document.
    int32_t PrintTextReceipt(const Variant& ItemTable, const Variant& PaymentTable, const TCommonParameters& Common);
    // Sends the lines in order, barcode lines as barcodes; the first error stops.
    int32_t PrintLines(const TLineList& Lines);
    std::u16string JustifyPair(const std::u16string& Left, const std::u16string& Right, int32_t Width = 0) const {
        return fr::JustifyPair(Left, Right, Width, FLineLen);
    }
    std::u16string CenterText(const std::u16string& Text, int32_t Width) const { return fr::CenterText(Text, Width); }

    // ---- non-fiscal printing ----
    int32_t PrintText(const std::u16string& Text, bool NoCut, int32_t PrintDestination,
                      std::u16string& ResultDescription) override;
    int32_t PrintTemplateDocument(const Variant& TemplateParameters, int32_t TemplateNumber, int32_t PrintDestination,
                                  bool NoCut, std::u16string& ResultDescription) override;
    int32_t PrintEGAISSubReport(const std::u16string& INN, const std::u16string& KPP, int32_t& RecNum,
                                const std::u16string& QRCodeData, const std::u16string& Footprint, int32_t& DayNum,
                                int32_t& DocumentNum, double& RecDate, std::u16string& ResultDescription) override;

protected:
    void CreateObjects() override;
    void OnSetDeviceInfo() override;
    void DeclareSettings() override;
    void SettingsChanged() override;
    int32_t DoOpen(std::u16string& ResultDescription) override;
    // The host's window is kept from input while the settings window is up, and gets the focus back.
    bool ShowSettingsDialog() override;
    int32_t DoEnable(std::u16string& ResultDescription) override;
    int32_t DoDisable(std::u16string& ResultDescription) override;
    void DoClose() override;
    void FreeObjects() override;

    // Disconnect, then let go of the universal driver.
    void ReleaseDriver();

    Variant FDriverFR;
    std::u16string FDeviceSerialNum;
    std::u16string FOperName;
    int32_t FDrvResult = 0;
    std::u16string FDrvResultDescr;
    // A description an operation made for its own driver code; each operation frame clears it.
    std::u16string FOperationText;
    std::u16string FJournalRoot;
    // The journal's operation that may have left a receipt open on the register (its cancel
    // raised), for the debug log when the next begin finds one; empty when none.
    std::u16string FOpenReceiptOwner;
    TNameValueList FPaymentNames;
    TNameValueList FTaxNames;

private:
    // One money operation as the journal sees it. Steps before the commit call may fail without
    // doubt; the commit call is the one after which the register may have acted whatever it
    // answered.
    struct TMoneyOperation {
        TMoneyKind Kind = TMoneyKind::mkReceipt;
        TInDataPrints Prints;
        int64_t Sum = 0;  // cash kinds: the amount, scaled by 10 000
        // Refuses before anything is sent, seeing the counters read just before (rcOK to go on).
        std::function<int32_t(const TRegisterCounters&)> Check;
        // The calls before the commit (rcOK to go on).
        std::function<int32_t()> Prepare;
        std::u16string CommitMethod;
        std::vector<Arg> CommitArgs;
    };
    // Locks and reads the register's journal, settles what earlier attempts left in it, answers a
    // retry of a done operation whose answer was lost, or reads the baseline, records the
    // operation, runs it and settles any answer of the commit but success. Result gets the
    // numbers on success.
    int32_t RunMoneyOperation(TMoneyOperation& Op, TFiscalResult& Result);
    // Locks the connected register's journal (waiting kJournalLockWaitMs) and reads it, carrying
    // over the journals earlier versions kept per device. rcOK, or 1009 with its text.
    int32_t OpenJournal(TMoneyJournal& Journal);
    // Settles every record not settled yet; 3011 with its text when the register cannot be asked.
    int32_t SettleJournal(TMoneyJournal& Journal);
    // Runs a shift-changing report after settling the journal, while the counters can still tell.
    int32_t AfterSettling(const std::function<int32_t()>& Report);
    void CarryOverDeviceJournals(TMoneyJournal& Journal);
    enum class TPending { Settled, Unreachable };
    TPending SettlePending(TMoneyJournal& Journal, TMoneyRecord& Pending);
    int32_t SettleCommit(TMoneyJournal& Journal, TMoneyRecord& Record, std::exception_ptr Raised, int32_t Code,
                         TFiscalResult& Result);
    // A failed operation before its commit: the receipt cancelled, the record settled as not done,
    // or kept as begun when the cancel could not be sent (the next operation cancels it).
    void CancelFailed(TMoneyJournal& Journal, TMoneyRecord& Record);
    // What became of a record, by the counters (connecting again once if needed); a receipt they
    // do not show done is cancelled first (CancelThenDecide). moNone when the register cannot be
    // asked; Reached says whether the counters could be read at all.
    TMoneyOutcome AskRegister(const TMoneyRecord& Record, TRegisterCounters& Now, bool& Reached);
    // A receipt the counters do not show done, cancelled first and only then decided: done, not
    // done, or moNone when the register cannot tell now.
    TMoneyOutcome CancelThenDecide(const TMoneyRecord& Record);
    // A done operation: its numbers read back and kept in the record, which is settled; Answered
    // says whether the host gets them now.
    void SettleDone(TMoneyJournal& Journal, TMoneyRecord& Record, TFiscalResult& Result, bool Answered);
    // SmenNum, LastReceiptNum and Cash, each with its error state: the first error, or rcOK.
    int32_t ReadCounters(TRegisterCounters& Counters);
    // The counters, connecting again once when they cannot be read; false when still unreachable.
    bool ReadCountersReconnecting(TRegisterCounters& Counters);
    // The numbers of a done operation, connecting again once if needed; a number that cannot be
    // read keeps the value Result came with, and the debug log says so.
    void ReadDoneNumbers(TFiscalResult& Result);
    // Closes and opens the connection with the current settings; errors are swallowed, the next
    // read tells whether it worked.
    void Reconnect();
    TMoneyOutcome OutcomeOf(const TMoneyRecord& Record, const TRegisterCounters& Now) const;
    // Writes the journal; a failure goes to the debug log (the register has acted: its truth stands).
    void SaveJournal(TMoneyJournal& Journal);
    // Writes the journal before anything is sent: rcOK, or 1009 with the file and the reason.
    int32_t SaveJournalFirst(TMoneyJournal& Journal);
    void JournalLog(const std::u16string& Text);

    // The operation frame: ResultDescription cleared, optionally DeviceReady first, the call's
    // steps, and ConvertDrvError at the end, also when an error escapes.
    template <class Steps>
    int32_t Frame(std::u16string& ResultDescription, bool checkFirst, Steps&& steps);
    // One universal-driver call whose error state is read: the call, then GetResult.
    int32_t CallChecked(const std::u16string& name, std::vector<Arg> args = {});
    // One goods row of a fiscal receipt: the item, its extra text and its barcode.
    int32_t PrintFiscalItem(const Variant& ItemTable, int32_t Row);
    // The lines of one goods row of a text receipt; the taxes go to their accumulators.
    int32_t AddTextItemLines(const Variant& ItemTable, int32_t Row, TLineList& Lines, TTaxAccumulators& Taxes);
    // The total, payments, change and tax lines of a text receipt.
    int32_t AddClosingLines(const Variant& PaymentTable, const TCommonParameters& Common, TLineList& Lines,
                            const TTaxAccumulators& Taxes);
    // The barcode of a goods row as it is sent, or empty when none is to be printed: only with
    // the setting on, never a blank one (the register refuses it).
    std::u16string BarcodeToPrint(const std::u16string& Barcode);
    // Runs body inside a non-fiscal document: begun first, and ended afterwards whatever body
    // gave, also when an error escapes, so no document is left open on the register. The first
    // error is the answer. body may end and begin documents itself; it keeps `open` true while one
    // is open.
    int32_t InNonFiscalDocument(const std::function<int32_t(bool& open)>& body);
};

}  // namespace fr
