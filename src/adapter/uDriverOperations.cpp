// TDriverFR's shift, report, cash and clock operations: one or two universal-driver calls each,
// then the fiscal result read back from the register.
#include "adapter/uDeviceTime.h"
#include "adapter/uDriver.h"
#include "adapter/uDriverFrame.h"
#include "adapter/uInDataFingerprint.h"
#include "automation/DateTime.h"
#include "automation/Text.h"
#include "dispatch/uEquipmentErrors.h"
#include "platform/Platform.h"

namespace fr {

namespace {
std::u16string decimal(int64_t v) { return utf8ToUtf16(std::to_string(v)); }
constexpr int32_t kCountersCount = 20;
}  // namespace

int32_t TDriverFR::GetFiscalParams(TFiscalResult& Result) {
    Result = TFiscalResult{-1, -1, -1, 0};
    Result.DayNum = Call(u"SmenNum").toInt();
    Result.RecNum = Call(u"LastReceiptNum").toInt();
    Result.RecDate = DeviceTimeToDateTime(Call(u"GetTime").toText(), platform::nowLocal());
    return rcOK;
}

int32_t TDriverFR::OpenDay(const std::u16string&, const std::u16string&, TFiscalResult& Result,
                           std::u16string& ResultDescription) {
    return Frame(ResultDescription, false, [&](int32_t& code) {
        code = AfterSettling([&] { return CallChecked(u"printNullReceipt"); });
        if (code == rcOK) code = GetFiscalParams(Result);
    });
}

int32_t TDriverFR::PrintXReport(TFiscalResult& Result, std::u16string& ResultDescription, const std::u16string&) {
    return Frame(ResultDescription, false, [&](int32_t& code) {
        code = CallChecked(u"printXReport");
        if (code == rcOK) code = GetFiscalParams(Result);
    });
}

int32_t TDriverFR::PrintZReport(TFiscalResult& Result, std::u16string& ResultDescription, const std::u16string&) {
    return Frame(ResultDescription, false, [&](int32_t& code) {
        code = AfterSettling([&] { return CallChecked(u"printZReport"); });
        if (code == rcOK) code = GetFiscalParams(Result);
    });
}

int32_t TDriverFR::PrintExtReport(int32_t ReportType, double BeginDate, double EndDate, int32_t BeginDay,
                                  int32_t EndDay, int32_t, TFiscalResult& Result, std::u16string& ResultDescription) {
    const TFormatSettings& fs = processFormatSettings();
    const std::u16string beginText = formatDateTime(u"ddmmyy", BeginDate, fs);
    const std::u16string endText = formatDateTime(u"ddmmyy", EndDate, fs);
    return Frame(ResultDescription, true, [&](int32_t& code) {
        auto report = [&](int32_t kind) { return CallChecked(u"printReport", {Arg(Variant(kind))}); };
        switch (ReportType) {
            case 1:
                code = CallChecked(u"printPeriodicReport",
                                   {Arg(Variant(0)), Arg(Variant(beginText), true), Arg(Variant(endText), true)});
                break;
            case 2:
                code = CallChecked(u"printPeriodicReport",
                                   {Arg(Variant(2)), Arg(Variant(decimal(BeginDay))), Arg(Variant(decimal(EndDay)))});
                break;
            case 3: code = report(5); break;
            case 4: code = report(6); break;
            case 5: code = report(0); break;
            case 8: code = report(3); break;
            default: code = rcCommandNotSupported; return;
        }
        if (code == rcOK) code = GetFiscalParams(Result);
    });
}

int32_t TDriverFR::Encash(int32_t EncashmentType, int64_t Sum, TFiscalResult& Result,
                          std::u16string& ResultDescription) {
    return Frame(ResultDescription, false, [&](int32_t& code) {
        TMoneyOperation op;
        op.Kind = EncashmentType == 0 ? TMoneyKind::mkWithdrawal : TMoneyKind::mkDeposit;
        op.Sum = Sum;
        // Its InData holds no table: the kind and the amount as read are what make it the same.
        const Variant kind(static_cast<int32_t>(op.Kind)), amount = Variant::currency(Sum);
        op.Prints = InDataPrints({&kind, &amount});
        if (op.Kind == TMoneyKind::mkWithdrawal) {
            op.Check = [Sum](const TRegisterCounters& now) {
                // Refused here, from the drawer read just before: nothing is printed.
                return Sum > now.Cash ? rcNotEnoughCashInDrawer : rcOK;
            };
            op.CommitArgs = {Arg(Variant::currency(-Sum))};
        } else {
            op.CommitArgs = {Arg(Variant::currency(Sum), true)};
        }
        op.CommitMethod = u"printRecCash";
        code = RunMoneyOperation(op, Result);
    });
}

int32_t TDriverFR::GetCountersInfo(Variant& CountersTable, Variant& PaymentTable, std::u16string& ResultDescription) {
    return Frame(ResultDescription, false, [&](int32_t& code) {
        VariantArray counters({ArrayBound{0, kCountersCount}});
        counters.at(kCountersCount - 1) = Call(u"Cash");
        // A drawer that could not be read is that error, not an empty drawer.
        code = GetResult();
        if (code != rcOK) return;
        CountersTable = Variant(std::move(counters));
        PaymentTable = Variant();
    });
}

int32_t TDriverFR::GetLastDocInfo(TFiscalResult& Result, int32_t& RecType, int64_t& RecSum,
                                  std::u16string& ResultDescription) {
    RecType = -1;
    RecSum = -10000;
    return Frame(ResultDescription, false, [&](int32_t& code) { code = GetFiscalParams(Result); });
}

int32_t TDriverFR::GetDateTime(double& FPDate, std::u16string& ResultDescription) {
    ResultDescription.clear();
    const Variant time = Call(u"GetTime");
    // A clock that could not be read is reported, not replaced by the computer's.
    const int32_t code = GetResult();
    if (code != rcOK) return ConvertDrvError(code, ResultDescription);
    FPDate = DeviceTimeToDateTime(time.toText(), platform::nowLocal());
    return rcOK;
}

int32_t TDriverFR::SetDateTime(double FPDate, std::u16string& ResultDescription) {
    const std::u16string time = formatDateTime(u"hhnnss", FPDate, processFormatSettings());
    return Frame(ResultDescription, false,
                 [&](int32_t& code) { code = CallChecked(u"SetTime", {Arg(Variant(time))}); });
}

int32_t TDriverFR::OpenDrawer(std::u16string& ResultDescription) {
    return Frame(ResultDescription, true, [&](int32_t& code) { code = CallChecked(u"openCashDrawer"); });
}

int32_t TDriverFR::PrintDocumentCopy(int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    return rcCommandNotSupported;
}

}  // namespace fr
