#pragma once
// The connection page's window: the controls the connection-page presenter reads and sets.
#include <memory>

#include "ui/uDeviceSettings.h"
#include "ui/win32/uPageWindow.h"
#include "ui/win32/uPortComboBox.h"

namespace fr::ui::win32 {

class TDeviceSettingsPage : public TPageWindow, public IDeviceSettingsView {
public:
    TDeviceSettingsPage(HWND parent, TDialogServices& services);
    // The port picker over other sources and open test (tests).
    TDeviceSettingsPage(HWND parent, TDialogServices& services, TPortSources& sources, TPortOpener& opener);
    ~TDeviceSettingsPage() override;

    HWND Handle() const override { return FHandle; }
    TPageClass PageClass() override;
    void Shown() override;
    void Hidden() override;

    int ModelIndex() const override;
    void SetModelIndex(int index) override;
    int ConnectionTypeIndex() const override;
    void SetConnectionTypeIndex(int index) override;
    int PortNumber() const override;
    void SetPortNumber(int number) override;
    int BaudRateIndex() const override;
    void SetBaudRateIndex(int index) override;
    std::u16string IPAddressText() const override;
    void SetIPAddressText(const std::u16string& text) override;
    std::u16string TCPPortText() const override;
    void SetTCPPortText(const std::u16string& text) override;
    void SetLocalPanelVisible(bool visible) override;
    void SetNetworkPanelVisible(bool visible) override;
    void SetConnectionGroupVisible(bool visible) override;
    void CheckPorts() override;

private:
    static INT_PTR CALLBACK DialogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Command(int id, int code);
    void ApplyVisibility();
    HWND Item(int id) const { return GetDlgItem(FHandle, id); }

    HWND FHandle = nullptr;
    TDialogServices& FServices;
    TPortSources& FSources;
    TPortOpener& FOpener;
    TfrmDeviceSettings* FPage = nullptr;
    std::unique_ptr<TPortComboBox> FPorts;
    bool FLocal = false, FNetwork = false, FGroup = false;  // as the presenter last set them
};

// The page class of the connection page for the common window.
TPageWindowClass DeviceSettingsPageWindowClass();

}  // namespace fr::ui::win32
