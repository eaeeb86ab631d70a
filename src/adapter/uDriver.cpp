#include "adapter/uDriver.h"

#include <algorithm>
#include <mutex>

#include "automation/Errors.h"
#include "automation/FormatSettings.h"
#include "automation/Text.h"
#include "dispatch/uEquipmentErrors.h"

namespace fr {

namespace {
constexpr int32_t kEmulatorModelCode = 100;
constexpr uint8_t kNominalLineLen = 48;
const char16_t* const kNoUniversalDriver = u"Не установлен универсальный драйвер Vornlex";

std::u16string decimal(int64_t v) { return utf8ToUtf16(std::to_string(v)); }
}  // namespace

int32_t BaudRateIndex(int32_t rate) {
    auto it = std::find(BaudRates.begin(), BaudRates.end(), rate);
    return it == BaudRates.end() ? -1 : static_cast<int32_t>(it - BaudRates.begin());
}

int32_t ModelCode(int32_t modelIndex) { return modelIndex == kEmulatorModelIndex ? kEmulatorModelCode : modelIndex; }

void SetDriverProcessFormats() {
    // Once per process: other driver objects may be formatting on other threads meanwhile, and
    // every object would write the same values anyway.
    static std::once_flag once;
    std::call_once(once, [] {
        TFormatSettings fs = processFormatSettings();
        fs.ShortDateFormat = u"yyyy mm dd";
        fs.DateSeparator = u'.';
        fs.LongTimeFormat = u"hh mm ss";
        fs.TimeSeparator = u':';
        fs.DecimalSeparator = u'.';
        setProcessFormatSettings(fs);
    });
}

// ---- the class chain's hooks ----

void TDriverFR::CreateObjects() {
    TBaseFR::CreateObjects();
    FDriverFR = Variant();
    SetDriverProcessFormats();
    FLineLen = 40;
    FPaymentNames = TNameValueList();
    FTaxNames = TNameValueList();
}

void TDriverFR::OnSetDeviceInfo() {
    TBaseFR::OnSetDeviceInfo();
    FDeviceInfo.ModelID = kDriverModelID;
    FDeviceInfo.ModelName = u"Сольвикс: Фискальный регистратор Vornlex";
    FDeviceInfo.ProcessorName = kDriverProgID;
    FDeviceInfo.IsSettingsDlgExist = true;
    FDeviceInfo.Description = u"Драйвер фискальных регистраторов Vornlex";
}

void TDriverFR::DeclareSettings() {
    TBaseFR::DeclareSettings();
    AddSetting(u"DefCashierName", TDataType::dtString, Variant(u"Кассир"), false, u"Кассир", u"Имя кассира по умолчанию");
    AddSetting(u"ConnectionType", TDataType::dtNumber, Variant(0), false, u"Подключение",
               u"Подключение: 0 - RS232; 1 - TCP/IP");
    AddSetting(u"TCPPort", TDataType::dtNumber, Variant(7778), false, u"Порт TCP", u"Порт TCP");
    AddSetting(u"IPAddress", TDataType::dtString, Variant(u"0.0.0.0"), false, u"IP адрес", u"IP адрес");
    AddSetting(u"PortNumber", TDataType::dtNumber, Variant(1), false, u"Порт", u"Номер COM-порта");
    AddSetting(u"BaudRate", TDataType::dtNumber, Variant(115200), false, u"Скорость", u"Скорость передачи данных");
    AddSetting(u"ModelIndex", TDataType::dtNumber, Variant(0), false, u"Модель ФР", u"Список поддерживаемых моделей");
    AddSetting(u"PrintBarcode", TDataType::dtBoolean, Variant(false), false, u"Печать штрихкодов",
               u"Печатать штрихкоды товаров в фискальных чеках");
    AddSetting(u"BarcodeType", TDataType::dtNumber, Variant(0), false, u"Тип штрихкода",
               u"Тип печатаемого штрихкода. 0 - EAN-8; 1 - EAN-13; 2 - CODE-128;");
    AddSetting(u"PaymentTypeNameConformity", TDataType::dtString, Variant(u"0=Наличные;1=Кредит;2=Чек;3=Карточка"), false,
               u"Соответствие наименований видов оплат",
               u"Соответствие наименований видов оплат их номерам. Строка типа \"0=Наличные;1=Плат. картой;2=Кредит\"");
    AddSetting(u"TaxGroupConformity", TDataType::dtString, Variant(u"0=20%;1=10%;2=18%;3=0%"), false,
               u"Соответствие ставок налогов",
               u"Соответствие значений ставок налога номерам налоговых групп в ФР. Строка типа \"0=18;1=10;2=20\"");
    AddSetting(u"Tax18To20", TDataType::dtBoolean, Variant(false), false, u"Автозамена ставки налога 18% на 20%",
               u"Автозамена ставки налога 18% на 20%");
}

void TDriverFR::SettingsChanged() { LoadDriverSettings(); }

int32_t TDriverFR::DoOpen(std::u16string& ResultDescription) {
    int32_t code = TBaseFR::DoOpen(ResultDescription);
    if (code != rcOK) return code;
    LoadDriverSettings();
    code = DeviceReady();
    if (code == rcLibraryNotFound) ResultDescription = kNoUniversalDriver;
    return code;
}

namespace {
TSettingsDialogShower settingsDialogShower = nullptr;
}  // namespace

void SetSettingsDialogShower(TSettingsDialogShower shower) { settingsDialogShower = shower; }

bool TDriverFR::ShowSettingsDialog() {
    StoreFocus();
    struct Restore {
        TDriverFR& driver;
        ~Restore() { driver.RestoreFocus(); }
    } restore{*this};
    return settingsDialogShower && settingsDialogShower(*this);
}

int32_t TDriverFR::DoEnable(std::u16string& ResultDescription) {
    ResultDescription.clear();
    const int32_t code = EnableDevice(ResultDescription);
    return ConvertDrvError(code, ResultDescription);
}

int32_t TDriverFR::DoDisable(std::u16string& ResultDescription) {
    const int32_t code = TBaseFR::DoDisable(ResultDescription);
    DisableDevice();
    return code;
}

void TDriverFR::DoClose() { ReleaseDriver(); }

void TDriverFR::FreeObjects() {
    ReleaseDriver();
    FPaymentNames = TNameValueList();
    FTaxNames = TNameValueList();
    TBaseFR::FreeObjects();
}

// ---- the universal driver ----

Variant TDriverFR::GetDriver() {
    if (FDriverFR.isEmpty()) {
        try {
            FDriverFR = Variant(CreateOleObject(kUniversalDriverProgID));
        } catch (...) {
            // Not installed (or not creatable now): stays Empty and is tried again at the next use.
            FDriverFR = Variant();
        }
    }
    return FDriverFR;
}

int32_t TDriverFR::DeviceReady() { return GetDriver().isEmpty() ? rcLibraryNotFound : rcOK; }

Variant TDriverFR::Call(const std::u16string& name, std::vector<Arg>& args) {
    Variant driver = GetDriver();
    if (!driver.isObject() || !driver.object()) throw EOleError(kNoUniversalDriver);
    return driver.object()->call(name, args);
}

Variant TDriverFR::Call(const std::u16string& name) {
    std::vector<Arg> none;
    return Call(name, none);
}

void TDriverFR::ReleaseDriver() {
    // The object goes even when closing the port fails.
    struct Drop {
        Variant& driver;
        ~Drop() { driver = Variant(); }
    } drop{FDriverFR};
    Disconnect();
}

int32_t TDriverFR::Connect(int32_t AModelIndex, int32_t AConnectionType, int32_t APortNumber, int32_t ABaudRate,
                           const std::u16string& AIPAddress, int32_t ATCPPort) {
    int32_t code = CallChecked(u"start", {Arg(Variant(ModelCode(AModelIndex)))});
    if (code != rcOK) return code;
    if (AConnectionType == 0)
        return CallChecked(u"OpenPort", {Arg(Variant(u"COM" + decimal(APortNumber))),
                                         Arg(Variant(BaudRateIndex(ABaudRate) + 1))});
    return CallChecked(u"OpenPortEx", {Arg(Variant(AIPAddress), true), Arg(Variant(ATCPPort))});
}

void TDriverFR::Disconnect() {
    if (FDriverFR.isEmpty()) return;
    Call(u"closePort");
    Call(u"stop");
}

int32_t TDriverFR::EnableDevice(std::u16string& ResultDescription) {
    int32_t code = rcOK;
    try {
        const int32_t port = GetSettingValueInt(u"PortNumber");
        const int32_t baud = GetSettingValueInt(u"BaudRate");
        const std::u16string ip = GetSettingValueStr(u"IPAddress");
        const int32_t tcpPort = GetSettingValueInt(u"TCPPort");
        const int32_t connection = GetSettingValueInt(u"ConnectionType");
        const int32_t model = GetSettingValueInt(u"ModelIndex");
        code = Connect(model, connection, port, baud, ip, tcpPort);
        // Read whatever Connect gave: the serial number of a register that answers at all.
        FDeviceSerialNum = Call(u"SN").toText();
    } catch (...) {
        ConvertDrvError(code, ResultDescription);
        throw;
    }
    return ConvertDrvError(code, ResultDescription);
}

void TDriverFR::DisableDevice() { Disconnect(); }

int32_t TDriverFR::GetResult(bool) {
    const int32_t e = Call(u"LastError").toInt();
    FDrvResult = Call(u"LastError").toInt();
    FDrvResultDescr = Call(e == 1 ? u"LastErrorExText" : u"LastErrorText").toText();
    return FDrvResult;
}

int32_t TDriverFR::CallChecked(const std::u16string& name, std::vector<Arg> args) {
    Call(name, args);
    return GetResult();
}

int32_t TDriverFR::ConvertDrvError(int32_t ErrorCode, std::u16string& ResultDescription) {
    ResultDescription.clear();
    if (ErrorCode == rcOK) return rcOK;
    if (ErrorCode <= kLastVendorCode)
        ResultDescription = FDrvResultDescr + u" [" + decimal(FDrvResult) + u"]";
    else
        ResultDescription = FOperationText.empty() ? ResultCodeDescription(ErrorCode) : FOperationText;
    return ErrorCode;
}

void TDriverFR::LoadDriverSettings() {
    // Kept in one byte, as the register's line is; 0 would leave the text layout nothing to
    // divide lines by, so it stands for the nominal width.
    FLineLen = static_cast<uint8_t>(GetSettingValueInt(u"MaxReceiptRowLength"));
    if (FLineLen == 0) FLineLen = kNominalLineLen;
    FOperName = GetSettingValueStr(u"DefCashierName");
    FPaymentNames.SetConformityText(GetSettingValueStr(u"PaymentTypeNameConformity"));
    FTaxNames.SetConformityText(GetSettingValueStr(u"TaxGroupConformity"));
}

}  // namespace fr
