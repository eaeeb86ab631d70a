#pragma once
// TDriverFR: the Vornlex fiscal printer over the vendor's universal driver ("Vornlex.FiscalPrinter",
// called by name). The class the COM server creates for every host request. It holds the universal
// driver object, connects and disconnects the register, keeps the driver's own settings and turns
// the universal driver's error state into result codes and descriptions.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "adapter/uNameValueList.h"
#include "automation/AutomationObject.h"
#include "fiscal/uBaseFR.h"

namespace fr {

// The model this driver serves, as GetDeviceInfo reports it.
inline constexpr const char16_t* kDriverModelID = u"6C1F0B5E-7A2D-4E39-9B84-3F0D2A61C7E5";
inline constexpr const char16_t* kDriverProgID = u"Eqdr.FrVornlex";
inline constexpr const char16_t* kUniversalDriverProgID = u"Vornlex.FiscalPrinter";

// The speeds the register's port supports, in the universal driver's order.
inline constexpr std::array<int32_t, 6> BaudRates{4800, 9600, 19200, 38400, 57600, 115200};
// The position of a rate in BaudRates, or -1.
int32_t BaudRateIndex(int32_t rate);
// The model code `start` takes for a model-list index: the index, except the emulator (8) is 100.
int32_t ModelCode(int32_t modelIndex);

// Sets the formats the driver's texts are made with, process-wide, once per process.
void SetDriverProcessFormats();

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

protected:
    void CreateObjects() override;
    void OnSetDeviceInfo() override;
    void DeclareSettings() override;
    void SettingsChanged() override;
    int32_t DoOpen(std::u16string& ResultDescription) override;
    int32_t DoEnable(std::u16string& ResultDescription) override;
    int32_t DoDisable(std::u16string& ResultDescription) override;
    void DoClose() override;
    void FreeObjects() override;

    // Disconnect, then let go of the universal driver.
    void ReleaseDriver();
    // A call on the universal driver; raises when there is none.
    Variant Call(const std::u16string& name, std::vector<Arg>& args);
    Variant Call(const std::u16string& name);

    Variant FDriverFR;
    std::u16string FDeviceSerialNum;
    std::u16string FOperName;
    int32_t FDrvResult = 0;
    std::u16string FDrvResultDescr;
    TNameValueList FPaymentNames;
    TNameValueList FTaxNames;

private:
    // The operation frame: ResultDescription cleared, optionally DeviceReady first, the call's
    // steps, and ConvertDrvError at the end, also when an error escapes.
    template <class Steps>
    int32_t Frame(std::u16string& ResultDescription, bool checkFirst, Steps&& steps);
    // One universal-driver call whose error state is read: the call, then GetResult.
    int32_t CallChecked(const std::u16string& name, std::vector<Arg> args = {});
};

}  // namespace fr
