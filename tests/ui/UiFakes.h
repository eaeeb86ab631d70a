#pragma once
// Stand-ins for the Win32 views: they keep the control values and record what the presenters
// show, so the window rules run natively.
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "automation/Text.h"
#include "ui/uCommonSettings.h"
#include "ui/uDeviceSettings.h"
#include "ui/uDialogServices.h"

namespace fr::test {

struct FakeServices : ui::TDialogServices {
    std::vector<std::string> errors, infos;
    int waits = 0, maxWaits = 0;
    std::function<void()> onBox;  // called as a box comes up, to look at what it comes up over
    void ShowError(const std::u16string& text) override {
        if (onBox) onBox();
        errors.push_back(u8(text));
    }
    void ShowInfo(const std::u16string& text) override {
        if (onBox) onBox();
        infos.push_back(u8(text));
    }
    void BeginWaitCursor() override { maxWaits = std::max(maxWaits, ++waits); }
    void EndWaitCursor() override { --waits; }
};

struct FakeDeviceView : ui::IDeviceSettingsView {
    int model = -1, connection = -1, port = -1, baud = -1;
    std::u16string ip, tcp;
    bool local = false, network = false, group = false;
    int portChecks = 0;
    int ModelIndex() const override { return model; }
    void SetModelIndex(int i) override { model = i; }
    int ConnectionTypeIndex() const override { return connection; }
    void SetConnectionTypeIndex(int i) override { connection = i; }
    int PortNumber() const override { return port; }
    void SetPortNumber(int n) override {
        if (n >= 1 && n <= 256) port = n;
    }
    int BaudRateIndex() const override { return baud; }
    void SetBaudRateIndex(int i) override { baud = i; }
    std::u16string IPAddressText() const override { return ip; }
    void SetIPAddressText(const std::u16string& t) override { ip = t; }
    std::u16string TCPPortText() const override { return tcp; }
    void SetTCPPortText(const std::u16string& t) override { tcp = t; }
    void SetLocalPanelVisible(bool v) override { local = v; }
    void SetNetworkPanelVisible(bool v) override { network = v; }
    void SetConnectionGroupVisible(bool v) override { group = v; }
    void CheckPorts() override { ++portChecks; }
};

struct FakeCommonView : ui::ICommonSettingsView {
    std::vector<std::string> tabs;  // captions of the embedded pages
    std::string model, version, hint;
    ui::TInfoRows info;
    std::map<ui::TMenuItem, bool> menu{{ui::TMenuItem::miReset, true},
                                       {ui::TMenuItem::miDeviceTest, true},
                                       {ui::TMenuItem::miSettingsList, true},
                                       {ui::TMenuItem::miOpenDebugLog, false},
                                       {ui::TMenuItem::miHelp, true}};
    std::vector<std::string> actions;
    std::vector<std::string> opened;  // documents and addresses, in order
    std::set<std::u16string> files;   // what FileExists finds
    bool listAnswer = false;
    std::optional<std::u16string> chosen;
    int firstTabSelected = 0;
    std::vector<ui::TfrmBaseSettings*> pages;

    void EmbedPage(ui::TfrmBaseSettings& page) override {
        tabs.push_back(u8(page.Caption()));
        pages.push_back(&page);
    }
    int TabCount() const override { return static_cast<int>(tabs.size()) + 1; }
    // As the window does: the first page comes on screen.
    void SelectFirstTab() override {
        ++firstTabSelected;
        if (!pages.empty()) pages.front()->OnShow();
    }
    void SetHeader(const std::u16string& m, const std::u16string& v) override { model = u8(m), version = u8(v); }
    void SetInfo(const ui::TInfoRows& rows) override { info = rows; }
    void SetTabHint(const std::u16string& h) override { hint = u8(h); }
    void SetMenuItem(ui::TMenuItem item, bool available) override { menu[item] = available; }
    void AddActionItems(const std::vector<std::u16string>& captions) override {
        for (const auto& c : captions) actions.push_back(u8(c));
    }
    bool ShowSettingsList() override { return listAnswer; }
    void OpenDocument(const std::u16string& f) override { opened.push_back(u8(f)); }
    void OpenUrl(const std::u16string& url) override { opened.push_back(u8(url)); }
    std::optional<std::u16string> ChooseLogFile(const std::u16string&) override { return chosen; }
    bool FileExists(const std::u16string& f) const override { return files.count(f) > 0; }
};

}  // namespace fr::test
