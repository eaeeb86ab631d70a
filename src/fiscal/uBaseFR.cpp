#include "fiscal/uBaseFR.h"

#include "dispatch/uEquipmentErrors.h"
#include "platform/Platform.h"

namespace fr {

TFiscalResult DefaultFiscalResult() { return {-1, -1, -1, platform::nowLocal()}; }

Variant FiscalResultToOutData(const TFiscalResult& r) {
    return Variant(VariantArray::vector({Variant(r.DayNum), Variant(r.RecNum), Variant(r.DocumentNum),
                                         Variant::date(r.RecDate)}));
}

void TBaseFR::CreateObjects() {
    TBaseDevice::CreateObjects();
    FLineLen = 48;
    FLimits = TReceiptLimits{};
    FFrMethods.clear();
    auto add = [this](const char16_t* name, int32_t (TBaseFR::*handler)(Variant&, Variant&, int32_t, std::u16string&)) {
        AddSpecificMethod(FFrMethods, name,
                          [this, handler](Variant& in, Variant& out, int32_t timeOut, std::u16string& description) {
                              return (this->*handler)(in, out, timeOut, description);
                          });
    };
    add(u"OpenDay", &TBaseFR::OpenDayHandler);
    add(u"PrintReceipt", &TBaseFR::PrintReceiptHandler);
    add(u"Encash", &TBaseFR::EncashHandler);
    add(u"PrintXReport", &TBaseFR::PrintXReportHandler);
    add(u"PrintExtReport", &TBaseFR::PrintExtReportHandler);
    add(u"PrintZReport", &TBaseFR::PrintZReportHandler);
    add(u"PrintTemplateDocument", &TBaseFR::PrintTemplateDocumentHandler);
    add(u"GetCountersInfo", &TBaseFR::GetCountersInfoHandler);
    add(u"GetLastDocInfo", &TBaseFR::GetLastDocInfoHandler);
    add(u"OpenDrawer", &TBaseFR::OpenDrawerHandler);
    add(u"GetFPStateInfo", &TBaseFR::GetFPStateInfoHandler);
    add(u"GetDateTime", &TBaseFR::GetDateTimeHandler);
    add(u"SetDateTime", &TBaseFR::SetDateTimeHandler);
    add(u"PrintText", &TBaseFR::PrintTextHandler);
    add(u"UploadTemplate", &TBaseFR::UploadTemplateHandler);
    add(u"DownloadTemplate", &TBaseFR::DownloadTemplateHandler);
    add(u"PrintEGAISSubReport", &TBaseFR::PrintEGAISSubReportHandler);
    add(u"PrintSettlementsCurrentStatus", &TBaseFR::PrintSettlementsCurrentStatusHandler);
    add(u"CheckUnsentDocuments", &TBaseFR::CheckUnsentDocumentsHandler);
    add(u"PrintDocumentCopy", &TBaseFR::PrintDocumentCopyHandler);
    add(u"PrintCorrectionReceipt", &TBaseFR::PrintCorrectionReceiptHandler);
}

void TBaseFR::OnSetDeviceInfo() {
    TBaseDevice::OnSetDeviceInfo();
    FDeviceInfo.TypeName = u"FiscalPrinter";
}

void TBaseFR::RegisterMethods() {
    TBaseDevice::RegisterMethods();
    RegisterSpecificMethods(FFrMethods);
}

void TBaseFR::DeclareSettings() {
    TBaseDevice::DeclareSettings();
    AddSetting(u"MaxReceiptRowLength", TDataType::dtNumber, Variant(48), false, u"Длина строки чека",
               u"Максимальное количество символов, помещающихся в строке чековой ленты");
    AddSetting(u"MaxSlipRowLength", TDataType::dtNumber, Variant(100), false, u"Длина строки подкладного документа",
               u"Максимальное количество символов, помещающихся в строке подкладного документа");
    AddSetting(u"SlipRows", TDataType::dtNumber, Variant(0), false, u"Строк в странице подкладного документа",
               u"Максимальное количество строк, страницы подкладного документа");
    AddSetting(u"HeaderText", TDataType::dtString, Variant(u""), false, u"Заголовок документа",
               u"Текст заголовка (шапки) документа");
    AddSetting(u"FooterText", TDataType::dtString, Variant(u""), false, u"Подвал документа", u"Текст подвала документа");
    AddSetting(u"FullCutCode", TDataType::dtNumber, Variant(21), false, u"Код символа отреза",
               u"Код символа полного отреза бумаги в кодировке ASCII");
    AddSetting(u"PartialCutCode", TDataType::dtNumber, Variant(22), false, u"Код символа частичного отреза",
               u"Код символа частичного отреза бумаги в кодировке ASCII");
    AddSetting(u"INN", TDataType::dtString, Variant(u""), false, u"ИНН", u"ИНН организации");
    AddSetting(u"KPP", TDataType::dtString, Variant(u""), false, u"КПП", u"КПП организации");
    AddSetting(u"CutString", TDataType::dtString, Variant(u""), false, u"Маркер отреза",
               u"Маркер отреза бумаги. Для оборудования 1С:Совместимо, должен содержать строку \"[cut]\". "
               u"Имеет приоритет перед кодом символа отреза (устаревшая настройка)");
}

int32_t TBaseFR::CheckItemTable(const Variant& ItemTable, std::u16string& ResultDescription) const {
    return fr::CheckItemTable(ItemTable, FLimits, ResultDescription);
}

int32_t TBaseFR::CheckPaymentTable(const Variant& PaymentTable, std::u16string& ResultDescription) const {
    return fr::CheckPaymentTable(PaymentTable, FLimits, ResultDescription);
}

bool TBaseFR::DeviceTest(std::u16string& ResultDescription) {
    ResultDescription.clear();
    const std::u16string text =
        FDeviceInfo.DeveloperName + u"\r\n" + FDeviceInfo.ModelName + u"\r\n" + GetDeviceVersion();
    const int32_t code = PrintText(text, false, 0, ResultDescription);
    if (ResultDescription.empty()) ResultDescription = ResultCodeDescription(code);
    return code == rcOK;
}

// ---- operations a concrete driver overrides ----

int32_t TBaseFR::OpenDay(const std::u16string&, const std::u16string&, TFiscalResult&, std::u16string&) {
    return rcCommandNotSupported;
}
int32_t TBaseFR::PrintReceipt(Variant&, Variant&, Variant&, TFiscalResult&, std::u16string&) {
    return rcCommandNotSupported;
}
int32_t TBaseFR::Encash(int32_t, int64_t, TFiscalResult&, std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::PrintXReport(TFiscalResult&, std::u16string&, const std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::PrintExtReport(int32_t, double, double, int32_t, int32_t, int32_t, TFiscalResult&, std::u16string&) {
    return rcCommandNotSupported;
}
int32_t TBaseFR::PrintZReport(TFiscalResult&, std::u16string&, const std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::GetCountersInfo(Variant&, Variant&, std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::GetLastDocInfo(TFiscalResult&, int32_t&, int64_t&, std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::OpenDrawer(std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::GetFPStateInfo(std::array<Variant, 12>&, std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::GetDateTime(double&, std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::SetDateTime(double, std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::PrintText(const std::u16string&, bool, int32_t, std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::PrintEGAISSubReport(const std::u16string&, const std::u16string&, int32_t&, const std::u16string&,
                                     const std::u16string&, int32_t&, int32_t&, double&, std::u16string&) {
    return rcCommandNotSupported;
}
int32_t TBaseFR::PrintSettlementsCurrentStatus(TFiscalResult&, std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::PrintDocumentCopy(int32_t, std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::CheckUnsentDocuments(int32_t&, double&, std::u16string&) { return rcCommandNotSupported; }
int32_t TBaseFR::PrintCorrectionReceipt(int32_t, int64_t, int32_t, TFiscalResult&, std::u16string&) {
    return rcCommandNotSupported;
}

}  // namespace fr
