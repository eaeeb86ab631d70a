#include "ui/win32/uCommonSettingsWindow.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include "platform/Platform.h"
#include "ui/win32/SettingsWindowIds.h"
#include "ui/win32/uDeviceSettingsPage.h"
#include "ui/win32/uHelpPopup.h"
#include "ui/win32/uModuleInstance.h"
#include "ui/win32/uSettingsListWindow.h"
#include "ui/win32/uTooltips.h"
#include "ui/win32/uWin32Text.h"
#include "ui/win32/uWindowGeometry.h"

namespace fr::ui::win32 {

namespace {
constexpr int kClientWidth = 324, kClientHeight = 375;
constexpr int kMinWidth = 320, kMinHeight = 400;
constexpr int kHeaderHeight = 49, kFooterHeight = 53;
constexpr int kContentBorder = 4;
constexpr COLORREF kHeaderColour = RGB(255, 198, 0);
constexpr int kInfoRows = 6, kInfoCaptionWidth = 90;

constexpr SIZE kMinWindow{kMinWidth, kMinHeight};

bool isDescendant(HWND ancestor, HWND w) { return w && (w == ancestor || IsChild(ancestor, w)); }
}  // namespace

TCommonSettingsWindow::TCommonSettingsWindow(TBaseDevice& device, std::vector<TPageWindowClass> pageClasses)
    : FDevice(device), FPageClasses(std::move(pageClasses)) {
    FMenu = {{TMenuItem::miReset, true},
             {TMenuItem::miDeviceTest, true},
             {TMenuItem::miSettingsList, true},
             {TMenuItem::miOpenDebugLog, false},
             {TMenuItem::miHelp, true}};
}

TCommonSettingsWindow::~TCommonSettingsWindow() {
    if (FBold) DeleteObject(FBold);
    if (FHeaderBrush) DeleteObject(FHeaderBrush);
}

bool TCommonSettingsWindow::ShowModal() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    const INT_PTR result = DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_COMMON_SETTINGS), nullptr,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    const bool ok = result == IDOK;
    if (FPresenter) FPresenter->Closed(ok);
    return ok;
}

INT_PTR CALLBACK TCommonSettingsWindow::DialogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(w, DWLP_USER, lp);
        reinterpret_cast<TCommonSettingsWindow*>(lp)->FHandle = w;
    }
    auto* self = reinterpret_cast<TCommonSettingsWindow*>(GetWindowLongPtrW(w, DWLP_USER));
    if (!self) return FALSE;
    INT_PTR result = FALSE;
    RunAction(self->FServices, [&] { result = self->OnMessage(msg, wp, lp); });
    if (msg == WM_INITDIALOG && !self->FPresenter) EndDialog(w, IDCANCEL);  // could not be made
    return result;
}

INT_PTR CALLBACK TCommonSettingsWindow::InfoProc(HWND w, UINT msg, WPARAM, LPARAM lp) {
    // The information tab draws like the tab it sits on; the window does the rest.
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORDLG) {
        SetBkMode(reinterpret_cast<HDC>(lp), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    }
    return FALSE;
}

void TCommonSettingsWindow::Initialize() {
    FServices.SetOwner(FHandle);
    FHeaderBrush = CreateSolidBrush(kHeaderColour);
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    FBold = CreateFontIndirectW(&lf);

    FInfo = CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_INFO_PAGE), FHandle, InfoProc, 0);
    for (int i = 0; i < kInfoRows; ++i) SendMessageW(GetDlgItem(FInfo, IDC_INFO_CAPTION_FIRST + i), WM_SETFONT,
                                                      reinterpret_cast<WPARAM>(FBold), FALSE);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<wchar_t*>(L"Информация");
    SendMessageW(Item(IDC_TABS), TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab));
    SetClientSize(FHandle, kClientWidth, kClientHeight, kMinWindow);

    FTooltips = CreateTooltips(FHandle);
    AddTooltip(FTooltips, FHandle, Item(IDC_MORE), L"Дополнительные функции");
    AddTooltip(FTooltips, FHandle, Item(IDOK), L"Сохранить и закрыть");
    AddTooltip(FTooltips, FHandle, Item(IDCANCEL), L"Закрыть без сохранения");
    SetWindowContextHelpId(Item(IDC_MORE), HC_MORE);
    SetWindowContextHelpId(Item(IDOK), HC_OK);
    SetWindowContextHelpId(Item(IDCANCEL), HC_CANCEL);
    SetWindowContextHelpId(Item(IDC_TABS), HC_TABS);

    std::vector<TPageClass> classes;
    for (auto& make : FPageClasses) {
        FPageWindows.push_back(make(FHandle, FServices));
        classes.push_back(FPageWindows.back()->PageClass());
    }
    // The presenter shows the first tab itself; selecting it again would hide the page and wait
    // for the port check it has just started.
    FPresenter = std::make_unique<TfrmCommonSettings>(FDevice, classes, *this, FServices, platform::moduleFileName());
    Layout();
    // Centred only now: the pages have grown the window to its final size.
    CenterOnScreen(FHandle);
    SetForegroundWindow(FHandle);
}

INT_PTR TCommonSettingsWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            Initialize();
            return TRUE;
        case WM_SIZE:
            Layout();
            return TRUE;
        case WM_GETMINMAXINFO: {
            auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
            mmi->ptMinTrackSize = {kMinWidth, kMinHeight};
            return TRUE;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(FHandle, &ps);
            RECT band{0, 0, ClientSize(FHandle).cx, kHeaderHeight};
            FillRect(dc, &band, FHeaderBrush);
            EndPaint(FHandle, &ps);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC: {
            HWND control = reinterpret_cast<HWND>(lp);
            if (control == Item(IDC_MODEL_NAME) || control == Item(IDC_VERSION)) {
                SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
                return reinterpret_cast<INT_PTR>(FHeaderBrush);
            }
            return FALSE;
        }
        case WM_DRAWITEM: {
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (dis->CtlID != IDC_LOGO) return FALSE;
            DrawLogo(*dis);
            return TRUE;
        }
        case WM_SETCURSOR:
            if (FServices.ApplyWaitCursor()) {
                SetWindowLongPtrW(FHandle, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            if (reinterpret_cast<HWND>(wp) == Item(IDC_LOGO)) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                SetWindowLongPtrW(FHandle, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        case WM_NOTIFY: {
            const auto* nm = reinterpret_cast<const NMHDR*>(lp);
            if (nm->idFrom == IDC_TABS && nm->code == TCN_SELCHANGE)
                SelectTab(static_cast<int>(SendMessageW(Item(IDC_TABS), TCM_GETCURSEL, 0, 0)));
            return FALSE;
        }
        case WM_HELP:
            Help(*reinterpret_cast<const HELPINFO*>(lp));
            SetWindowLongPtrW(FHandle, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_COMMAND:
            Command(LOWORD(wp), HIWORD(wp));
            return TRUE;
        case WM_CLOSE:
            EndDialog(FHandle, IDCANCEL);
            return TRUE;
        case WM_DESTROY:
            // The pages go while the window still exists; a running port check ends first.
            for (auto& page : FPageWindows) page->Hidden();
            FPageWindows.clear();
            return FALSE;
    }
    return FALSE;
}

void TCommonSettingsWindow::Command(int id, int code) {
    if (id == IDC_LOGO && code == STN_CLICKED) return FPresenter->LogoClick();
    switch (id) {
        case IDOK:
            if (FPresenter->CloseQueryOK()) EndDialog(FHandle, IDOK);
            return;
        case IDCANCEL: EndDialog(FHandle, IDCANCEL); return;
        case IDC_MORE: ShowMenu(); return;
        case IDM_RESET: FPresenter->Reset(); return;
        case IDM_DEVICE_TEST: FPresenter->DeviceTest(); return;
        case IDM_SETTINGS_LIST: FPresenter->SettingsList(); return;
        case IDM_OPEN_CURRENT_LOG: FPresenter->OpenCurrentDebugLog(); return;
        case IDM_OPEN_LOG_FOLDER: FPresenter->OpenDebugLogDirectory(); return;
        case IDM_HELP: FPresenter->Help(); return;
    }
    if (id >= IDM_ACTION_FIRST && id < IDM_ACTION_FIRST + static_cast<int>(FActions.size()))
        FPresenter->RunActionItem(id - IDM_ACTION_FIRST);
}

void TCommonSettingsWindow::ShowMenu() {
    FPresenter->MenuOpening();
    HMENU menu = CreatePopupMenu();
    auto add = [&](TMenuItem item, int id, const wchar_t* caption) {
        if (FMenu[item]) AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), caption);
    };
    add(TMenuItem::miReset, IDM_RESET, L"Установить значения по-умолчанию");
    add(TMenuItem::miDeviceTest, IDM_DEVICE_TEST, L"Выполнить тест устройства");
    add(TMenuItem::miSettingsList, IDM_SETTINGS_LIST, L"Показать полный список настроек");
    if (FMenu[TMenuItem::miOpenDebugLog]) {
        HMENU logs = CreatePopupMenu();
        AppendMenuW(logs, MF_STRING, IDM_OPEN_CURRENT_LOG, L"Открыть текущий отладочный лог");
        AppendMenuW(logs, MF_STRING, IDM_OPEN_LOG_FOLDER, L"Открыть папку с файлами отладочных логов");
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(logs), L"Просмотр отладочных логов");
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    add(TMenuItem::miHelp, IDM_HELP, L"Справка");
    if (!FActions.empty()) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        for (size_t i = 0; i < FActions.size(); ++i)
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(IDM_ACTION_FIRST + static_cast<int>(i)), W(FActions[i]));
    }
    RECT button;
    GetWindowRect(Item(IDC_MORE), &button);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, 0, FHandle, nullptr);
    DestroyMenu(menu);
}

// ---- ICommonSettingsView ----

void TCommonSettingsWindow::EmbedPage(TfrmBaseSettings& page) {
    if (FEmbedded >= FPageWindows.size()) return;
    HWND pageWindow = FPageWindows[FEmbedded]->Handle();
    const std::u16string caption = page.Caption();
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<wchar_t*>(W(caption));
    // Before the information tab, which stays last.
    SendMessageW(Item(IDC_TABS), TCM_INSERTITEMW, FEmbedded, reinterpret_cast<LPARAM>(&tab));
    ++FEmbedded;
    SetWindowContextHelpId(pageWindow, 0);
    GrowFor(pageWindow);
}

void TCommonSettingsWindow::GrowFor(HWND page) {
    RECT pageRect;
    GetWindowRect(page, &pageRect);
    RECT needed{0, 0, pageRect.right - pageRect.left, pageRect.bottom - pageRect.top};
    SendMessageW(Item(IDC_TABS), TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&needed));
    const int width = (needed.right - needed.left) + 2 * kContentBorder;
    const int height = (needed.bottom - needed.top) + kHeaderHeight + kFooterHeight + kContentBorder;
    const SIZE now = ClientSize(FHandle);
    if (width > now.cx || height > now.cy)
        SetClientSize(FHandle, std::max<int>(width, now.cx), std::max<int>(height, now.cy), kMinWindow);
}

int TCommonSettingsWindow::TabCount() const {
    return static_cast<int>(SendMessageW(Item(IDC_TABS), TCM_GETITEMCOUNT, 0, 0));
}

void TCommonSettingsWindow::SelectFirstTab() { SelectTab(0); }

void TCommonSettingsWindow::SetHeader(const std::u16string& modelName, const std::u16string& version) {
    SetWindowTextW(Item(IDC_MODEL_NAME), W(modelName));
    SetWindowTextW(Item(IDC_VERSION), W(version));
}

void TCommonSettingsWindow::SetInfo(const TInfoRows& rows) {
    const std::u16string* values[kInfoRows] = {&rows.TypeName,      &rows.ModelName,   &rows.Version,
                                               &rows.DeveloperName, &rows.Description, &rows.Contacts};
    for (int i = 0; i < kInfoRows; ++i) SetWindowTextW(GetDlgItem(FInfo, IDC_INFO_VALUE_FIRST + i), W(*values[i]));
}

void TCommonSettingsWindow::SetTabHint(const std::u16string& hint) {
    FTabHint.assign(hint.begin(), hint.end());
    AddTooltip(FTooltips, FHandle, Item(IDC_TABS), FTabHint.c_str());
}

void TCommonSettingsWindow::SetMenuItem(TMenuItem item, bool available) { FMenu[item] = available; }

void TCommonSettingsWindow::AddActionItems(const std::vector<std::u16string>& captions) { FActions = captions; }

bool TCommonSettingsWindow::ShowSettingsList() { return win32::ShowSettingsList(FHandle, FDevice); }

void TCommonSettingsWindow::OpenDocument(const std::u16string& fileName) {
    ShellExecuteW(FHandle, nullptr, W(fileName), nullptr, nullptr, SW_RESTORE);
}

void TCommonSettingsWindow::OpenUrl(const std::u16string& url) {
    ShellExecuteW(FHandle, L"Open", W(url), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

std::optional<std::u16string> TCommonSettingsWindow::ChooseLogFile(const std::u16string& folder) {
    wchar_t file[MAX_PATH * 4] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = FHandle;
    ofn.lpstrFilter = L"Файлы log\0*.log;\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = static_cast<DWORD>(std::size(file));
    ofn.lpstrInitialDir = W(folder);
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return std::nullopt;
    return std::u16string(reinterpret_cast<const char16_t*>(file));
}

bool TCommonSettingsWindow::FileExists(const std::u16string& fileName) const { return platform::fileExists(fileName); }

// ---- layout, tabs and help ----

HWND TCommonSettingsWindow::TabWindow(int index) const {
    if (index >= 0 && index < static_cast<int>(FEmbedded)) return FPageWindows[static_cast<size_t>(index)]->Handle();
    return FInfo;
}

void TCommonSettingsWindow::SelectTab(int index) {
    const int count = TabCount();
    if (index < 0 || index >= count) return;
    SendMessageW(Item(IDC_TABS), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (index == FSelected) return;  // already on screen: nothing hides, nothing starts again
    if (FSelected >= 0 && FSelected < static_cast<int>(FEmbedded)) FPageWindows[static_cast<size_t>(FSelected)]->Hidden();
    for (int i = 0; i < count; ++i) ShowWindow(TabWindow(i), i == index ? SW_SHOW : SW_HIDE);
    FSelected = index;
    if (index < static_cast<int>(FEmbedded)) FPageWindows[static_cast<size_t>(index)]->Shown();
}

void TCommonSettingsWindow::Layout() {
    if (!FHandle) return;
    const SIZE c = ClientSize(FHandle);
    constexpr int logo = 33, margin = 8;
    MoveWindow(Item(IDC_LOGO), margin, (kHeaderHeight - logo) / 2, logo, logo, TRUE);
    const int textLeft = margin + logo + margin, textWidth = std::max<int>(c.cx - textLeft - margin, 10);
    MoveWindow(Item(IDC_MODEL_NAME), textLeft, 3, textWidth, kHeaderHeight - 20, TRUE);
    MoveWindow(Item(IDC_VERSION), textLeft, kHeaderHeight - 16, textWidth, 14, TRUE);
    RECT tabs{kContentBorder, kHeaderHeight + kContentBorder, c.cx - kContentBorder, c.cy - kFooterHeight};
    MoveWindow(Item(IDC_TABS), tabs.left, tabs.top, tabs.right - tabs.left, tabs.bottom - tabs.top, TRUE);
    const int buttonTop = c.cy - kFooterHeight + (kFooterHeight - 25) / 2;
    MoveWindow(Item(IDC_MORE), margin, buttonTop, 100, 25, TRUE);
    MoveWindow(Item(IDCANCEL), c.cx - margin - 80, buttonTop, 80, 25, TRUE);
    MoveWindow(Item(IDOK), c.cx - margin - 80 - 6 - 80, buttonTop, 80, 25, TRUE);
    SendMessageW(Item(IDC_TABS), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&tabs));
    // Every page fills its tab.
    for (int i = 0; i < TabCount(); ++i) {
        if (HWND w = TabWindow(i))
            SetWindowPos(w, HWND_TOP, tabs.left, tabs.top, tabs.right - tabs.left, tabs.bottom - tabs.top, SWP_NOACTIVATE);
    }
    LayoutInfo();
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TCommonSettingsWindow::LayoutInfo() {
    if (!FInfo) return;  // a WM_SIZE may come before the information tab exists
    const SIZE c = ClientSize(FInfo);
    constexpr int margin = 8, rowHeight = 30;
    const int valueLeft = margin + kInfoCaptionWidth + 4, valueWidth = std::max<int>(c.cx - valueLeft - margin, 10);
    for (int i = 0; i < kInfoRows; ++i) {
        const int top = margin + i * rowHeight;
        const int height = i + 1 < kInfoRows ? rowHeight : std::max<int>(c.cy - top - margin, rowHeight);
        MoveWindow(GetDlgItem(FInfo, IDC_INFO_CAPTION_FIRST + i), margin, top, kInfoCaptionWidth, height, TRUE);
        MoveWindow(GetDlgItem(FInfo, IDC_INFO_VALUE_FIRST + i), valueLeft, top, valueWidth, height, TRUE);
    }
}

void TCommonSettingsWindow::DrawLogo(const DRAWITEMSTRUCT& dis) const {
    // The maker's mark: a black tile with a yellow V.
    HDC dc = dis.hDC;
    RECT r = dis.rcItem;
    FillRect(dc, &r, FHeaderBrush);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    HGDIOBJ oldBrush = SelectObject(dc, black);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, 8, 8);
    HPEN yellow = CreatePen(PS_SOLID, 4, RGB(255, 198, 0));
    SelectObject(dc, yellow);
    const int w = r.right - r.left, h = r.bottom - r.top;
    POINT v[3] = {{r.left + w / 4, r.top + h / 4}, {r.left + w / 2, r.bottom - h / 4}, {r.right - w / 4, r.top + h / 4}};
    Polyline(dc, v, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(yellow);
    DeleteObject(black);
}

std::wstring TCommonSettingsWindow::GetControlHintByPos(POINT& pos) const {
    HWND control = nullptr;
    if (GetKeyState(VK_F1) < 0) {
        control = GetFocus();
    } else {
        GetCursorPos(&pos);
        // The deepest visible control under the pointer, disabled ones included.
        HWND parent = FHandle;
        for (;;) {
            POINT p = pos;
            ScreenToClient(parent, &p);
            HWND child = ChildWindowFromPointEx(parent, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
            if (!child || child == parent) break;
            control = child;
            parent = child;
        }
    }
    if (!control || !isDescendant(FHandle, control)) return {};
    RECT r;
    GetWindowRect(control, &r);
    pos = {r.left, r.top};
    return HintOf(control);
}

void TCommonSettingsWindow::Help(const HELPINFO& info) {
    POINT pos = info.MousePos;
    int id = static_cast<int>(info.dwContextId);
    HWND control = static_cast<HWND>(info.hItemHandle);
    // Controls of the tab area without a context of their own answer with their hint.
    if (id == 0 && info.iContextType == HELPINFO_WINDOW &&
        (isDescendant(Item(IDC_TABS), control) || isDescendant(FInfo, control) ||
         std::any_of(FPageWindows.begin(), FPageWindows.end(),
                     [&](const auto& p) { return isDescendant(p->Handle(), control); })))
        id = HC_TABS;
    std::u16string text;
    if (id == HC_TABS) {
        const std::wstring hint = GetControlHintByPos(pos);
        text.assign(hint.begin(), hint.end());
    } else {
        text = FPresenter->HelpPopupText(id);
    }
    ShowHelpPopup(FHandle, pos, text);
}

// ---- the driver's settings window ----

bool ShowDriverSettingsDialog(TDriverFR& driver) {
    TCommonSettingsWindow window(driver, {DeviceSettingsPageWindowClass()});
    return window.ShowModal();
}

}  // namespace fr::ui::win32
