#pragma once
// TfrmDeviceSettings: the fiscal printer's connection page. It edits the six connection settings
// and tries them on the register at once (connection test, X and Z reports, the clock); every
// trial puts the previous values back, so only OK changes the store.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "adapter/uDriver.h"
#include "ui/uBaseSettings.h"

namespace fr::ui {

// The page's controls as its presenter sees them. Indexes are -1 when nothing is selected.
class IDeviceSettingsView {
public:
    virtual ~IDeviceSettingsView() = default;
    virtual int ModelIndex() const = 0;
    virtual void SetModelIndex(int index) = 0;
    virtual int ConnectionTypeIndex() const = 0;
    virtual void SetConnectionTypeIndex(int index) = 0;
    // The port picker: -1 when no port is selected; setting a number outside 1..256 changes nothing.
    virtual int PortNumber() const = 0;
    virtual void SetPortNumber(int number) = 0;
    virtual int BaudRateIndex() const = 0;
    virtual void SetBaudRateIndex(int index) = 0;
    virtual std::u16string IPAddressText() const = 0;
    virtual void SetIPAddressText(const std::u16string& text) = 0;
    virtual std::u16string TCPPortText() const = 0;
    virtual void SetTCPPortText(const std::u16string& text) = 0;
    virtual void SetLocalPanelVisible(bool visible) = 0;
    virtual void SetNetworkPanelVisible(bool visible) = 0;
    virtual void SetConnectionGroupVisible(bool visible) = 0;
    // The port picker has just come on screen: its ports are checked in the background.
    virtual void CheckPorts() = 0;
};

class TfrmDeviceSettings : public TfrmBaseSettings {
public:
    static constexpr int kEmulatorModelIndex = 8;
    static const std::array<const char16_t*, 9> Models;
    static const std::array<const char16_t*, 2> ConnectionTypes;
    static const std::vector<std::u16string> ConnectionSettingIDs;

    TfrmDeviceSettings(TBaseDevice& device, TDialogServices& services, IDeviceSettingsView& view);

    std::u16string Caption() const override { return u"Параметры"; }
    using TfrmBaseSettings::OnSaveSettings;
    void OnSaveSettings() override;
    void OnReadSettings() override;
    void OnCreateFrm() override;
    void OnShow() override;

    // ---- the user's actions ----
    void ConnectionTypeChanged();
    void ModelChanged();
    int32_t TestConnection();
    void XReportClick();
    void ZReportClick();
    void ChangeTimeClick();
    void GetTimeClick();

private:
    // When a failure is shown: the device buttons while the register is still connected, the
    // connection test once it is disconnected and the settings are back.
    enum class TFailureShown { Connected, Disconnected };
    // Connects with the page's values, runs the call and disconnects, the settings put back; a
    // failure is shown. The call's result code, or the code of the failure.
    template <class Call>
    int32_t DeviceButton(TFailureShown when, Call&& call);
    [[noreturn]] void Refuse(const std::u16string& message);
    void ApplyConnectionType();
    void ApplyModel();
    // Starts a port check when the picker has just come on screen, never while it stays there.
    void CheckPortsIfPickerAppeared();

    IDeviceSettingsView& FView;
    TDriverFR* ADeviceManager = nullptr;
    // What the page last made visible; the picker shows when both hold.
    bool FLocalShown = false, FGroupShown = false, FPickerShown = false;
};

// The connection page as a page class of the common settings window, bound to a view made for it.
TPageClass DeviceSettingsPageClass(IDeviceSettingsView& view);

}  // namespace fr::ui
