#include "ui/uDeviceSettings.h"

#include <charconv>

#include "automation/DateTime.h"
#include "automation/FormatSettings.h"
#include "automation/Text.h"
#include "dispatch/uEquipmentErrors.h"
#include "platform/Platform.h"

namespace fr::ui {

const std::array<const char16_t*, 9> TfrmDeviceSettings::Models{
    u"Datecs FP3530T/ЕКСЕЛЛIО (протокол Датекс)",
    u"Datecs FP-3141T/FP-T260/CMP-10/FP-Т88/FP-320 (протокол Криптон)",
    u"Мария 301МТМ/Мария-304Т/Мария-304Т1/Мария-304Т2",
    u"IKС E-810T/С651Т/А8800/MG-T808TL/MG N707TS (протокол ИКС-Техно)",
    u"Мини-ФП4/Мини-ФП6",
    u"Мини-ФП54/Мини-ФП81/Мини-ФП82",
    u"MG N707TS/MG-T808TL/MG-P800TL/MG-P777TL/MG-T787TL (TCP/IP)",
    u"ЛеоКас",
    u"ЭМУЛЯТОР ФИСКАЛЬНОГО РЕГИСТРАТОРА",
};

const std::array<const char16_t*, 2> TfrmDeviceSettings::ConnectionTypes{u"RS-232 (com-порт)", u"TCP/IP (по сети)"};

const std::vector<std::u16string> TfrmDeviceSettings::ConnectionSettingIDs{
    u"ModelIndex", u"ConnectionType", u"PortNumber", u"BaudRate", u"IPAddress", u"TCPPort"};

namespace {
bool blank(const std::u16string& text) { return text.find_first_not_of(u" \t") == std::u16string::npos; }

// The text as a whole decimal number; 0 when it is not one.
int32_t numberOr0(const std::u16string& text) {
    std::string s = utf16ToUtf8(text);
    int32_t value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return (ec == std::errc() && end == s.data() + s.size()) ? value : 0;
}
}  // namespace

TfrmDeviceSettings::TfrmDeviceSettings(TBaseDevice& device, TDialogServices& services, IDeviceSettingsView& view)
    : TfrmBaseSettings(device, services), FView(view) {}

void TfrmDeviceSettings::OnCreateFrm() {
    ADeviceManager = dynamic_cast<TDriverFR*>(&DeviceManager());
    if (!ADeviceManager) throw EError(u"Страница подключения открывается только для драйвера ККТ");
}

void TfrmDeviceSettings::OnReadSettings() {
    TBaseDevice& d = DeviceManager();
    FView.SetModelIndex(d.GetSettingValueInt(u"ModelIndex"));
    FView.SetPortNumber(d.GetSettingValueInt(u"PortNumber"));
    FView.SetBaudRateIndex(BaudRateIndex(d.GetSettingValueInt(u"BaudRate")));
    FView.SetConnectionTypeIndex(d.GetSettingValueInt(u"ConnectionType"));
    FView.SetIPAddressText(d.GetSettingValueStr(u"IPAddress"));
    FView.SetTCPPortText(d.GetSettingValueStr(u"TCPPort"));
}

void TfrmDeviceSettings::Refuse(const std::u16string& message) {
    Services().ShowError(message);
    throw EAbort();
}

void TfrmDeviceSettings::OnSaveSettings() {
    if (FView.ModelIndex() < 0) Refuse(u"Не указана модель");
    const int connectionType = FView.ConnectionTypeIndex();
    if (connectionType < 0) Refuse(u"Не указан тип соединения");
    if (connectionType == 1) {
        if (blank(FView.IPAddressText())) Refuse(u"Не указан IP адрес");
        if (blank(FView.TCPPortText())) Refuse(u"Не указан TCP порт");
    } else {
        if (FView.PortNumber() == -1) Refuse(u"Не указан COM-порт");
        if (FView.BaudRateIndex() < 0) Refuse(u"Не указана скорость подключения");
    }
    TBaseDevice& d = DeviceManager();
    const int baudIndex = FView.BaudRateIndex();
    d.SetSettingValue(u"ModelIndex", Variant(static_cast<int32_t>(FView.ModelIndex())));
    d.SetSettingValue(u"ConnectionType", Variant(static_cast<int32_t>(connectionType)));
    d.SetSettingValue(u"PortNumber", Variant(static_cast<int32_t>(FView.PortNumber())));
    d.SetSettingValue(u"BaudRate", Variant(baudIndex >= 0 && baudIndex < static_cast<int>(BaudRates.size())
                                               ? BaudRates[static_cast<size_t>(baudIndex)]
                                               : int32_t{-1}));
    d.SetSettingValue(u"IPAddress", Variant(FView.IPAddressText()));
    d.SetSettingValue(u"TCPPort", Variant(numberOr0(FView.TCPPortText())));
}

void TfrmDeviceSettings::OnShow() {
    // The page was hidden, so the picker comes on screen again if it is shown at all.
    FPickerShown = false;
    ApplyConnectionType();
    ApplyModel();
    CheckPortsIfPickerAppeared();
}

void TfrmDeviceSettings::ConnectionTypeChanged() {
    ApplyConnectionType();
    CheckPortsIfPickerAppeared();
}

void TfrmDeviceSettings::ModelChanged() {
    ApplyModel();
    CheckPortsIfPickerAppeared();
}

void TfrmDeviceSettings::ApplyConnectionType() {
    const int index = FView.ConnectionTypeIndex();
    FLocalShown = index == 0;
    FView.SetLocalPanelVisible(FLocalShown);
    FView.SetNetworkPanelVisible(index != 0);
}

void TfrmDeviceSettings::ApplyModel() {
    FGroupShown = FView.ModelIndex() != kEmulatorModelIndex;
    FView.SetConnectionGroupVisible(FGroupShown);
}

void TfrmDeviceSettings::CheckPortsIfPickerAppeared() {
    const bool shown = FLocalShown && FGroupShown;
    if (shown && !FPickerShown) FView.CheckPorts();
    FPickerShown = shown;
}

int32_t TfrmDeviceSettings::TestConnection() {
    const int32_t code = DeviceButton(TFailureShown::Disconnected, [] { return rcOK; });
    if (code == rcOK) Services().ShowInfo(u"Тест пройден!");
    return code;
}

template <class Call>
int32_t TfrmDeviceSettings::DeviceButton(TFailureShown when, Call&& call) {
    DisableDevice();
    int32_t code = rcOK;
    std::u16string failure;
    try {
        code = EnableDevice(ConnectionSettingIDs);
        if (code == rcOK) code = call();
        if (code != rcOK) failure = ADeviceManager->GetErrorDescription(code);
    } catch (const EAbort&) {
        throw;  // stopped before connecting; the page has said why and nothing is left to undo
    } catch (const EError& e) {
        // Raised by the universal driver (or its absence): reported like a failed call, and the
        // device still disconnected and the settings put back below.
        code = rcUnknownError;
        failure = e.message();
    }
    if (code != rcOK && when == TFailureShown::Connected) Services().ShowError(failure);
    DisableDevice();
    if (code != rcOK && when == TFailureShown::Disconnected) Services().ShowError(failure);
    return code;
}

void TfrmDeviceSettings::XReportClick() {
    DeviceButton(TFailureShown::Connected, [this] {
        ADeviceManager->Call(u"printXReport");
        return ADeviceManager->GetResult();
    });
}

void TfrmDeviceSettings::ZReportClick() {
    DeviceButton(TFailureShown::Connected, [this] {
        ADeviceManager->Call(u"printZReport");
        return ADeviceManager->GetResult();
    });
}

void TfrmDeviceSettings::ChangeTimeClick() {
    DeviceButton(TFailureShown::Connected, [this] {
        std::vector<Arg> args{Arg(Variant(formatDateTime(u"hhnnss", platform::nowLocal(), processFormatSettings())))};
        ADeviceManager->Call(u"SetTime", args);
        return ADeviceManager->GetResult();
    });
}

void TfrmDeviceSettings::GetTimeClick() {
    std::u16string shown;
    DeviceButton(TFailureShown::Connected, [this, &shown] {
        std::u16string t = ADeviceManager->Call(u"GetTime").toText();
        t.resize(6, u' ');
        shown = u"Текущее время: " + t.substr(0, 2) + u":" + t.substr(2, 2) + u":" + t.substr(4, 2);
        return ADeviceManager->DrvResult();
    });
    if (!shown.empty() && ADeviceManager->DrvResult() == rcOK) Services().ShowInfo(shown);
}

TPageClass DeviceSettingsPageClass(IDeviceSettingsView& view) {
    return [&view](TBaseDevice& device, TDialogServices& services) -> std::unique_ptr<TfrmBaseSettings> {
        return std::make_unique<TfrmDeviceSettings>(device, services, view);
    };
}

}  // namespace fr::ui
