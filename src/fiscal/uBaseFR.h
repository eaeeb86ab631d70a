#pragma once
// TBaseFR: what every fiscal printer has. It adds to the device the fiscal methods the host calls
// by name, the settings of every fiscal printer, and one virtual operation per fiscal method. The
// handlers unpack InData, preset the outputs, call the operation and pack OutData; a concrete
// driver changes behaviour only by overriding the operations, which answer 1003 here.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "device/uBaseDevice.h"
#include "fiscal/uReceiptTables.h"

namespace fr {

// The outputs most fiscal methods return: shift, receipt and document numbers and the date.
struct TFiscalResult {
    int32_t DayNum = -1;
    int32_t RecNum = -1;
    int32_t DocumentNum = -1;
    double RecDate = 0;
};
// -1, -1, -1 and the current local date and time.
TFiscalResult DefaultFiscalResult();
// [DayNum, RecNum, DocumentNum, RecDate]: three 32-bit integers and a date.
Variant FiscalResultToOutData(const TFiscalResult& r);

class TBaseFR : public TBaseDevice {
public:
    uint8_t LineLen() const { return FLineLen; }
    int32_t MinDept() const { return FLimits.MinDept; }
    int32_t MaxDept() const { return FLimits.MaxDept; }
    int32_t MinTax() const { return FLimits.MinTax; }
    int32_t MaxTax() const { return FLimits.MaxTax; }
    int32_t MinPaymentType() const { return FLimits.MinPaymentType; }
    int32_t MaxPaymentType() const { return FLimits.MaxPaymentType; }
    void SetMinDept(int32_t v) { FLimits.MinDept = v; }
    void SetMaxDept(int32_t v) { FLimits.MaxDept = v; }
    void SetMinTax(int32_t v) { FLimits.MinTax = v; }
    void SetMaxTax(int32_t v) { FLimits.MaxTax = v; }
    void SetMinPaymentType(int32_t v) { FLimits.MinPaymentType = v; }
    void SetMaxPaymentType(int32_t v) { FLimits.MaxPaymentType = v; }

    // Range checks of a fiscal receipt's tables against this object's limits.
    int32_t CheckItemTable(const Variant& ItemTable, std::u16string& ResultDescription) const;
    int32_t CheckPaymentTable(const Variant& PaymentTable, std::u16string& ResultDescription) const;

    // Prints the developer, the model and the driver version through PrintText.
    bool DeviceTest(std::u16string& ResultDescription) override;

    // ---- the fiscal operations, one per method; here each answers 1003 and touches no output ----
    virtual int32_t OpenDay(const std::u16string& CashierID, const std::u16string& CashierName, TFiscalResult& Result,
                            std::u16string& ResultDescription);
    virtual int32_t PrintReceipt(Variant& ItemTable, Variant& PaymentTable, Variant& CommonParameters,
                                 TFiscalResult& Result, std::u16string& ResultDescription);
    // Sum: currency, scaled by 10 000.
    virtual int32_t Encash(int32_t EncashmentType, int64_t Sum, TFiscalResult& Result, std::u16string& ResultDescription);
    virtual int32_t PrintXReport(TFiscalResult& Result, std::u16string& ResultDescription,
                                 const std::u16string& CashierName);
    virtual int32_t PrintExtReport(int32_t ReportType, double BeginDate, double EndDate, int32_t BeginDay,
                                   int32_t EndDay, int32_t EKLZKPKNumber, TFiscalResult& Result,
                                   std::u16string& ResultDescription);
    virtual int32_t PrintZReport(TFiscalResult& Result, std::u16string& ResultDescription,
                                 const std::u16string& CashierName);
    virtual int32_t PrintTemplateDocument(const Variant& TemplateParameters, int32_t TemplateNumber,
                                          int32_t PrintDestination, bool NoCut, std::u16string& ResultDescription);
    virtual int32_t GetCountersInfo(Variant& CountersTable, Variant& PaymentTable, std::u16string& ResultDescription);
    // RecSum: currency, scaled by 10 000.
    virtual int32_t GetLastDocInfo(TFiscalResult& Result, int32_t& RecType, int64_t& RecSum,
                                   std::u16string& ResultDescription);
    virtual int32_t OpenDrawer(std::u16string& ResultDescription);
    virtual int32_t GetFPStateInfo(std::array<Variant, 12>& StateInfo, std::u16string& ResultDescription);
    virtual int32_t GetDateTime(double& FPDate, std::u16string& ResultDescription);
    virtual int32_t SetDateTime(double FPDate, std::u16string& ResultDescription);
    virtual int32_t PrintText(const std::u16string& Text, bool NoCut, int32_t PrintDestination,
                              std::u16string& ResultDescription);
    virtual int32_t UploadTemplate(int32_t TemplateNumber, const std::u16string& TemplateDescription,
                                   const Variant& Sections, std::u16string& ResultDescription);
    virtual int32_t DownloadTemplate(int32_t TemplateNumber, std::u16string& TemplateDescription, Variant& Sections,
                                     std::u16string& ResultDescription);
    virtual int32_t PrintEGAISSubReport(const std::u16string& INN, const std::u16string& KPP, int32_t& RecNum,
                                        const std::u16string& QRCodeData, const std::u16string& Footprint,
                                        int32_t& DayNum, int32_t& DocumentNum, double& RecDate,
                                        std::u16string& ResultDescription);
    virtual int32_t PrintSettlementsCurrentStatus(TFiscalResult& Result, std::u16string& ResultDescription);
    virtual int32_t PrintDocumentCopy(int32_t Num, std::u16string& ResultDescription);
    virtual int32_t CheckUnsentDocuments(int32_t& Count, double& Date, std::u16string& ResultDescription);
    // Amount: currency, scaled by 10 000.
    virtual int32_t PrintCorrectionReceipt(int32_t Value1, int64_t Amount, int32_t Value3, TFiscalResult& Result,
                                           std::u16string& ResultDescription);

protected:
    void CreateObjects() override;
    void OnSetDeviceInfo() override;
    void RegisterMethods() override;
    void DeclareSettings() override;

    TSpecificMethods FFrMethods;
    TReceiptLimits FLimits;  // -1: no limit
    uint8_t FLineLen = 48;

private:
    // The fiscal methods' handlers, in registration order.
    int32_t OpenDayHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t PrintReceiptHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t EncashHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t PrintXReportHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t PrintExtReportHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t PrintZReportHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t PrintTemplateDocumentHandler(Variant& InData, Variant& OutData, int32_t TimeOut,
                                         std::u16string& ResultDescription);
    int32_t GetCountersInfoHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t GetLastDocInfoHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t OpenDrawerHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t GetFPStateInfoHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t GetDateTimeHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t SetDateTimeHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t PrintTextHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t UploadTemplateHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t DownloadTemplateHandler(Variant& InData, Variant& OutData, int32_t TimeOut,
                                    std::u16string& ResultDescription);
    int32_t PrintEGAISSubReportHandler(Variant& InData, Variant& OutData, int32_t TimeOut,
                                       std::u16string& ResultDescription);
    int32_t PrintSettlementsCurrentStatusHandler(Variant& InData, Variant& OutData, int32_t TimeOut,
                                                 std::u16string& ResultDescription);
    int32_t CheckUnsentDocumentsHandler(Variant& InData, Variant& OutData, int32_t TimeOut,
                                        std::u16string& ResultDescription);
    int32_t PrintDocumentCopyHandler(Variant& InData, Variant& OutData, int32_t TimeOut,
                                     std::u16string& ResultDescription);
    int32_t PrintCorrectionReceiptHandler(Variant& InData, Variant& OutData, int32_t TimeOut,
                                          std::u16string& ResultDescription);
};

}  // namespace fr
