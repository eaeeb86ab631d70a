// The fiscal methods' handlers: InData in, the operation called, OutData out. OutData is set only
// on success; on failure the dispatch layer puts the error array there.
#include "automation/Errors.h"
#include "dispatch/uEquipmentErrors.h"
#include "dispatch/uInputReaders.h"
#include "fiscal/uBaseFR.h"
#include "fiscal/uInDataCheck.h"
#include "platform/Platform.h"

namespace fr {

namespace {

using K = TInDataKind;

// Reads InData where a bad element is the caller's input error (1004) rather than a failure of
// the driver: any error raised while reading becomes 1004.
template <class Read>
int32_t readGuarded(Read&& read) {
    try {
        read();
        return rcOK;
    } catch (const EError&) {
        return rcInvalidParameters;
    }
}

Variant vector(std::vector<Variant> items) { return Variant(VariantArray::vector(std::move(items))); }

}  // namespace

int32_t TBaseFR::OpenDayHandler(Variant& InData, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    std::u16string cashierID, cashierName;
    if (readGuarded([&] {
            cashierID = ItemAsString(InData, 0, u"");
            cashierName = ItemAsString(InData, 1, u"");
        }) != rcOK)
        return rcInvalidParameters;
    TFiscalResult r = DefaultFiscalResult();
    const int32_t code = OpenDay(cashierID, cashierName, r, ResultDescription);
    if (code == rcOK) OutData = FiscalResultToOutData(r);
    return code;
}

int32_t TBaseFR::PrintReceiptHandler(Variant& InData, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    std::vector<Variant> t;
    if (CheckInData(InData, {K::ikArray, K::ikArray, K::ikArray}, t) != rcOK) return rcInvalidParameters;
    Variant& items = t[0];
    Variant& payments = t[1];
    Variant& common = t[2];
    if (items.array().dimCount() != 2 || payments.array().dimCount() != 2 || common.array().dimCount() != 1)
        return rcInvalidParameters;
    bool fiscal = false;
    if (readGuarded([&] { fiscal = RequiredItem(common, 1).toBool(); }) != rcOK) return rcInvalidParameters;
    if (fiscal) {
        int32_t code = CheckItemTable(items, ResultDescription);
        if (code == rcOK) code = CheckPaymentTable(payments, ResultDescription);
        if (code != rcOK) return code;
    }
    TFiscalResult r = DefaultFiscalResult();
    const int32_t code = PrintReceipt(items, payments, common, r, ResultDescription);
    if (code == rcOK) OutData = FiscalResultToOutData(r);
    return code;
}

int32_t TBaseFR::EncashHandler(Variant& InData, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    std::vector<Variant> t;
    if (CheckInData(InData, {K::ikOrdinal, K::ikNumeric}, t) != rcOK) return rcInvalidParameters;
    int32_t type = 0;
    int64_t sum = 0;
    if (readGuarded([&] {
            type = t[0].toInt();
            sum = t[1].toCurrency();
        }) != rcOK)
        return rcInvalidParameters;
    // The type says the direction; a negative sum would turn a withdrawal into a deposit on the
    // register (and a deposit into an unchecked withdrawal).
    if (sum < 0) return rcInvalidParameters;
    TFiscalResult r = DefaultFiscalResult();
    const int32_t code = Encash(type, sum, r, ResultDescription);
    if (code == rcOK) OutData = FiscalResultToOutData(r);
    return code;
}

int32_t TBaseFR::PrintXReportHandler(Variant& InData, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    const std::u16string cashierName = ItemAsString(InData, 1, u"");
    TFiscalResult r = DefaultFiscalResult();
    const int32_t code = PrintXReport(r, ResultDescription, cashierName);
    if (code == rcOK) OutData = FiscalResultToOutData(r);
    return code;
}

int32_t TBaseFR::PrintExtReportHandler(Variant& InData, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    int32_t reportType = 0, beginDay = 0, endDay = 0, kpk = 0;
    double beginDate = 0, endDate = 0;
    if (readGuarded([&] {
            reportType = RequiredItem(InData, 0).toInt();
            beginDate = ItemAsDate(InData, 1);
            endDate = ItemAsDate(InData, 2);
            beginDay = ItemAsInteger(InData, 3, 0);
            endDay = ItemAsInteger(InData, 4, 0);
            kpk = ItemAsInteger(InData, 5, 0);
        }) != rcOK)
        return rcInvalidParameters;
    TFiscalResult r = DefaultFiscalResult();
    const int32_t code = PrintExtReport(reportType, beginDate, endDate, beginDay, endDay, kpk, r, ResultDescription);
    if (code == rcOK) OutData = FiscalResultToOutData(r);
    return code;
}

int32_t TBaseFR::PrintZReportHandler(Variant& InData, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    const std::u16string cashierName = ItemAsString(InData, 1, u"");
    TFiscalResult r = DefaultFiscalResult();
    const int32_t code = PrintZReport(r, ResultDescription, cashierName);
    if (code == rcOK) OutData = FiscalResultToOutData(r);
    return code;
}

int32_t TBaseFR::PrintTemplateDocumentHandler(Variant& InData, Variant&, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    std::vector<Variant> t;
    if (CheckInData(InData, {K::ikArray, K::ikOrdinal, K::ikOrdinal}, t) != rcOK) return rcInvalidParameters;
    const bool noCut = ItemAsBoolean(InData, 3, false);
    return PrintTemplateDocument(t[0], t[1].toInt(), t[2].toInt(), noCut, ResultDescription);
}

int32_t TBaseFR::GetCountersInfoHandler(Variant&, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    Variant counters, payments;
    const int32_t code = GetCountersInfo(counters, payments, ResultDescription);
    if (code == rcOK) OutData = vector({counters, payments});
    return code;
}

int32_t TBaseFR::GetLastDocInfoHandler(Variant&, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    TFiscalResult r = DefaultFiscalResult();
    int32_t recType = -1;
    int64_t recSum = -10000;
    const int32_t code = GetLastDocInfo(r, recType, recSum, ResultDescription);
    if (code == rcOK) {
        // Negative: the device did not say; the host gets Empty.
        OutData = vector({Variant(r.DayNum), Variant(r.RecNum), Variant(r.DocumentNum), Variant::date(r.RecDate),
                          recType >= 0 ? Variant(recType) : Variant(), recSum >= 0 ? Variant::currency(recSum) : Variant()});
    }
    return code;
}

int32_t TBaseFR::OpenDrawerHandler(Variant&, Variant&, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    return OpenDrawer(ResultDescription);
}

int32_t TBaseFR::GetFPStateInfoHandler(Variant&, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    std::array<Variant, 12> info;
    const int32_t code = GetFPStateInfo(info, ResultDescription);
    if (code == rcOK) OutData = vector(std::vector<Variant>(info.begin(), info.end()));
    return code;
}

int32_t TBaseFR::GetDateTimeHandler(Variant&, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    double fpDate = 0;
    const int32_t code = GetDateTime(fpDate, ResultDescription);
    if (code == rcOK) OutData = vector({Variant::date(fpDate)});
    return code;
}

int32_t TBaseFR::SetDateTimeHandler(Variant& InData, Variant&, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    std::vector<Variant> t;
    if (CheckInData(InData, {K::ikDate}, t) != rcOK) return rcInvalidParameters;
    return SetDateTime(t[0].rawReal(), ResultDescription);
}

int32_t TBaseFR::PrintTextHandler(Variant& InData, Variant&, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    std::vector<Variant> t;
    if (CheckInData(InData, {K::ikString}, t) != rcOK) return rcInvalidParameters;
    const bool noCut = ItemAsBoolean(InData, 1, false);
    const int32_t destination = ItemAsInteger(InData, 2, 0);
    return PrintText(std::u16string(t[0].rawText()), noCut, destination, ResultDescription);
}

int32_t TBaseFR::UploadTemplateHandler(Variant& InData, Variant&, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    std::vector<Variant> t;
    if (CheckInData(InData, {K::ikOrdinal, K::ikString, K::ikArray}, t) != rcOK) return rcInvalidParameters;
    return UploadTemplate(t[0].toInt(), std::u16string(t[1].rawText()), t[2], ResultDescription);
}

int32_t TBaseFR::DownloadTemplateHandler(Variant& InData, Variant& OutData, int32_t,
                                         std::u16string& ResultDescription) {
    ResultDescription.clear();
    std::vector<Variant> t;
    if (CheckInData(InData, {K::ikOrdinal}, t) != rcOK) return rcInvalidParameters;
    std::u16string description;
    Variant sections;
    const int32_t code = DownloadTemplate(t[0].toInt(), description, sections, ResultDescription);
    if (code == rcOK) OutData = vector({Variant(description), sections});
    return code;
}

int32_t TBaseFR::PrintEGAISSubReportHandler(Variant& InData, Variant& OutData, int32_t,
                                            std::u16string& ResultDescription) {
    ResultDescription.clear();
    std::u16string inn, kpp, qrCode, footprint;
    int32_t recNum = 0;
    if (readGuarded([&] {
            inn = RequiredItem(InData, 0).toText();
            kpp = RequiredItem(InData, 1).toText();
            recNum = RequiredItem(InData, 2).toInt();
            qrCode = RequiredItem(InData, 3).toText();
            footprint = RequiredItem(InData, 4).toText();
        }) != rcOK)
        return rcInvalidParameters;
    if (inn.empty()) inn = GetSettingValueStr(u"INN");
    if (kpp.empty()) kpp = GetSettingValueStr(u"KPP");
    TFiscalResult r = DefaultFiscalResult();
    const int32_t code =
        PrintEGAISSubReport(inn, kpp, recNum, qrCode, footprint, r.DayNum, r.DocumentNum, r.RecDate, ResultDescription);
    if (code == rcOK) {
        r.RecNum = recNum;
        OutData = FiscalResultToOutData(r);
    }
    return code;
}

int32_t TBaseFR::PrintSettlementsCurrentStatusHandler(Variant&, Variant& OutData, int32_t,
                                                      std::u16string& ResultDescription) {
    ResultDescription.clear();
    TFiscalResult r = DefaultFiscalResult();
    const int32_t code = PrintSettlementsCurrentStatus(r, ResultDescription);
    if (code == rcOK) OutData = FiscalResultToOutData(r);
    return code;
}

int32_t TBaseFR::CheckUnsentDocumentsHandler(Variant&, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    int32_t count = 0;
    double date = 0;
    const int32_t code = CheckUnsentDocuments(count, date, ResultDescription);
    if (code == rcOK) OutData = count <= 0 ? vector({Variant(0)}) : vector({Variant(count), Variant::date(date)});
    return code;
}

int32_t TBaseFR::PrintDocumentCopyHandler(Variant& InData, Variant&, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    const int32_t num = RequiredItem(InData, 0).toInt();
    return PrintDocumentCopy(num, ResultDescription);
}

int32_t TBaseFR::PrintCorrectionReceiptHandler(Variant& InData, Variant& OutData, int32_t,
                                               std::u16string& ResultDescription) {
    ResultDescription.clear();
    const int32_t value1 = RequiredItem(InData, 0).toInt();
    const int64_t amount = RequiredItem(InData, 1).toCurrency();
    const int32_t value3 = RequiredItem(InData, 2).toInt();
    TFiscalResult r = DefaultFiscalResult();
    const int32_t code = PrintCorrectionReceipt(value1, amount, value3, r, ResultDescription);
    if (code == rcOK) OutData = FiscalResultToOutData(r);
    return code;
}

}  // namespace fr
