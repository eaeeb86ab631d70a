#pragma once
// TfrmCommonSettings: the settings window a device shows for ShowSettingsDlg. It hosts the
// device's pages and the information tab, offers the additional-functions menu, and on OK makes
// every page write its controls; any other close puts the device's snapshot back.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/uBaseSettings.h"
#include "ui/uDialogServices.h"

namespace fr::ui {

enum class TMenuItem { miReset, miDeviceTest, miSettingsList, miOpenDebugLog, miHelp };

// The information tab's six rows, in order.
struct TInfoRows {
    std::u16string TypeName, ModelName, Version, DeveloperName, Description, Contacts;
};

// What the window's presenter needs from its view besides message boxes.
class ICommonSettingsView {
public:
    virtual ~ICommonSettingsView() = default;
    // A page was added: its tab is created (captioned) and the window grown to fit it.
    virtual void EmbedPage(TfrmBaseSettings& page) = 0;
    virtual int TabCount() const = 0;  // the pages' tabs and the information tab
    virtual void SelectFirstTab() = 0;
    virtual void SetHeader(const std::u16string& modelName, const std::u16string& version) = 0;
    virtual void SetInfo(const TInfoRows& rows) = 0;
    virtual void SetTabHint(const std::u16string& hint) = 0;
    // Visibility and enabled state of one menu item together.
    virtual void SetMenuItem(TMenuItem item, bool available) = 0;
    // A separator and one item per caption after "Справка"; a click reports the caption's index.
    virtual void AddActionItems(const std::vector<std::u16string>& captions) = 0;
    // The settings list editor, modal; true when closed with OK.
    virtual bool ShowSettingsList() = 0;
    // Opens a file with the application the system associates with it.
    virtual void OpenDocument(const std::u16string& fileName) = 0;
    // Opens a web address in a maximised window.
    virtual void OpenUrl(const std::u16string& url) = 0;
    // A file-open dialog for log files starting in the folder; nothing when cancelled.
    virtual std::optional<std::u16string> ChooseLogFile(const std::u16string& folder) = 0;
    virtual bool FileExists(const std::u16string& fileName) const = 0;
};

class TfrmCommonSettings {
public:
    // Help pages and popups live in a "help" folder beside the driver module.
    static constexpr const char16_t* kHelpIndex = u"index.html";
    static constexpr const char16_t* kHelpPopups = u"popups.txt";

    // Creates and embeds a page of each class and prepares the window (header, information tab,
    // pages read, first tab, menu capabilities, additional actions).
    TfrmCommonSettings(TBaseDevice& ADeviceManager, const std::vector<TPageClass>& PageClasses,
                       ICommonSettingsView& view, TDialogServices& services,
                       const std::u16string& moduleFileName);

    const std::vector<std::unique_ptr<TfrmBaseSettings>>& Pages() const { return FPages; }
    void AddPage(std::unique_ptr<TfrmBaseSettings> PageFrm);
    void AddPage(const TPageClass& PageClass);
    void AddPages(const std::vector<TPageClass>& PageClasses);
    void NotifyPages(const std::u16string& Msg, const std::u16string& Data);
    void ReadAllPages();
    bool SaveAllPages();
    bool HelpFileExists();
    const std::u16string& HelpFile() const { return FHelpFile; }
    bool HelpEnabled() const { return FHelpEnabled; }
    static std::u16string GetHelpByID(int ID);
    // The popup text for a help context other than the tab area's (10000).
    std::u16string HelpPopupText(int ID);

    void SetCapDeviceTest(bool value) { FView.SetMenuItem(TMenuItem::miDeviceTest, value); }
    void SetCapSetDefault(bool value) { FView.SetMenuItem(TMenuItem::miReset, value); }
    void SetCapShowHelp(bool value) { FView.SetMenuItem(TMenuItem::miHelp, value); }
    void SetCapOpenDebugLog(bool value) { FView.SetMenuItem(TMenuItem::miOpenDebugLog, value); }

    // ---- user actions ----
    // OK pressed: true when every page saved and the window may close.
    bool CloseQueryOK();
    // The window closed; anything but OK puts the device's snapshot back.
    void Closed(bool ok);
    void MenuOpening();
    void Reset();
    void DeviceTest();
    void SettingsList();
    void OpenCurrentDebugLog();
    void OpenDebugLogDirectory();
    void Help();
    void RunActionItem(int tag);
    void LogoClick();

    // "Debug_yyyy.mm.dd.log" of the day in the device folder.
    std::u16string CurrentDebugLogName(double today) const;

private:
    void BuildActionItems();
    // Steps of the device test up to its verdict; the message says why it failed.
    bool RunDeviceTest(std::u16string& message);

    TBaseDevice& FDeviceManager;
    ICommonSettingsView& FView;
    TDialogServices& FServices;
    std::vector<std::unique_ptr<TfrmBaseSettings>> FPages;
    std::u16string FModuleFileName;
    std::u16string FCI_www;
    bool FHelpEnabled = false;
    std::u16string FHelpFile;
};

}  // namespace fr::ui
