#pragma once
// The common settings window on Win32: the header band, the tabs with the pages and the
// information tab, the footer buttons, the additional-functions menu and context help.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "adapter/uDriver.h"
#include "ui/uCommonSettings.h"
#include "ui/win32/uPageWindow.h"
#include "ui/win32/uWin32Services.h"

namespace fr::ui::win32 {

class TCommonSettingsWindow : public ICommonSettingsView {
public:
    TCommonSettingsWindow(TBaseDevice& device, std::vector<TPageWindowClass> pageClasses);
    ~TCommonSettingsWindow() override;
    // Shows the window modally; true when it was closed with OK.
    bool ShowModal();

    // ---- ICommonSettingsView ----
    void EmbedPage(TfrmBaseSettings& page) override;
    int TabCount() const override;
    void SelectFirstTab() override;
    void SetHeader(const std::u16string& modelName, const std::u16string& version) override;
    void SetInfo(const TInfoRows& rows) override;
    void SetTabHint(const std::u16string& hint) override;
    void SetMenuItem(TMenuItem item, bool available) override;
    void AddActionItems(const std::vector<std::u16string>& captions) override;
    bool ShowSettingsList() override;
    void OpenDocument(const std::u16string& fileName) override;
    void OpenUrl(const std::u16string& url) override;
    std::optional<std::u16string> ChooseLogFile(const std::u16string& folder) override;
    bool FileExists(const std::u16string& fileName) const override;

private:
    static INT_PTR CALLBACK DialogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    static INT_PTR CALLBACK InfoProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Initialize();
    void Command(int id, int code);
    void ShowMenu();
    void Layout();
    void LayoutInfo();
    void SelectTab(int index);
    void GrowFor(HWND page);
    void Help(const HELPINFO& info);
    // The hint of the control the user means (F1: the focused one, else the one under the mouse)
    // and its top-left corner on the screen.
    std::wstring GetControlHintByPos(POINT& pos) const;
    void DrawLogo(const DRAWITEMSTRUCT& dis) const;
    HWND Item(int id) const { return GetDlgItem(FHandle, id); }
    // The window of tab i: a page, or the information tab last.
    HWND TabWindow(int index) const;

    TBaseDevice& FDevice;
    std::vector<TPageWindowClass> FPageClasses;
    std::vector<std::unique_ptr<TPageWindow>> FPageWindows;
    size_t FEmbedded = 0;
    TWin32Services FServices;
    std::unique_ptr<TfrmCommonSettings> FPresenter;
    HWND FHandle = nullptr;
    HWND FInfo = nullptr;
    HWND FTooltips = nullptr;
    HFONT FBold = nullptr;
    HBRUSH FHeaderBrush = nullptr;
    int FSelected = -1;
    std::wstring FTabHint;
    std::map<TMenuItem, bool> FMenu;
    std::vector<std::u16string> FActions;
};

// ShowSettingsDlg's window for the fiscal printer: the common window with the connection page.
bool ShowDriverSettingsDialog(TDriverFR& driver);

}  // namespace fr::ui::win32
