#include "ui/win32/uSettingsListWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "ui/uSettingsList.h"
#include "ui/win32/SettingsListIds.h"
#include "ui/win32/uModuleInstance.h"

namespace fr::ui::win32 {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text is handed to the wide API as is");

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// Pixel layout of the client area.
constexpr int kClientWidth = 374;
constexpr int kClientHeight = 379;
constexpr int kStatusHeight = 55;
constexpr int kFooterHeight = 41;
constexpr int kButtonHeight = 25;
constexpr int kButtonWidth = 75;
constexpr int kDefaultButtonWidth = 100;
constexpr int kMargin = 8;
constexpr int kColumnWidths[] = {190, 90, 90};
// The drop-down list opens below its field: room for both items.
constexpr int kDropDownExtra = 48;

// Subclass IDs of the list and the editors.
constexpr UINT_PTR kListSubclass = 1;
constexpr UINT_PTR kEditorSubclass = 2;

struct TMenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using TMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, TMenuDeleter>;

bool WantsKey(LPARAM msgParam, std::initializer_list<WPARAM> keys) {
    const MSG* msg = reinterpret_cast<const MSG*>(msgParam);
    if (!msg || msg->message != WM_KEYDOWN) return false;
    for (WPARAM k : keys)
        if (msg->wParam == k) return true;
    return false;
}

class TSettingsListWindow final : public TSettingsListView {
public:
    explicit TSettingsListWindow(TBaseDevice& device) : FDevice(device) {}

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<TSettingsListWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (!self) return FALSE;
        try {
            return self->Handle(dialog, msg, wParam, lParam);
        } catch (...) {
            // Nothing leaves a window procedure; the user action simply ends.
            return FALSE;
        }
    }

    // ---- TSettingsListView ----
    void SetRowCount(int count) override { SendMessageW(FList, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0); }
    int SelectedRow() const override {
        return static_cast<int>(SendMessageW(FList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    bool FocusedRowBounds(TRowBounds& bounds) const override {
        const int row = static_cast<int>(SendMessageW(FList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        RECT r{};
        r.left = LVIR_BOUNDS;
        if (row < 0 || !SendMessageW(FList, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)))
            return false;
        bounds = TRowBounds{r.left, r.top, r.right - r.left, r.bottom - r.top};
        return true;
    }
    int ColumnWidth(int column) const override {
        return static_cast<int>(SendMessageW(FList, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    }
    bool EditorShown(TSettingsEditor editor) const override {
        // The style, not IsWindowVisible: the answer must not depend on the dialog being shown.
        return (GetWindowLongPtrW(Editor(editor), GWL_STYLE) & WS_VISIBLE) != 0;
    }
    void ShowEditor(TSettingsEditor editor, const TRowBounds& b) override {
        // The editors are the dialog's children and the list sits at the dialog's origin, so the
        // list's coordinates are taken as they are.
        HWND w = Editor(editor);
        const int height = editor == TSettingsEditor::seList ? b.Height + kDropDownExtra : b.Height;
        SetWindowPos(w, HWND_TOP, b.Left, b.Top, b.Width, height, SWP_SHOWWINDOW);
        SetFocus(w);
        if (editor == TSettingsEditor::seEdit) SendMessageW(w, EM_SETSEL, 0, -1);
    }
    void HideEditor(TSettingsEditor editor) override { ShowWindow(Editor(editor), SW_HIDE); }
    std::u16string EditText() const override {
        const int length = GetWindowTextLengthW(FEdit);
        std::u16string text(static_cast<size_t>(length) + 1, u'\0');
        const int got = GetWindowTextW(FEdit, reinterpret_cast<wchar_t*>(text.data()), length + 1);
        text.resize(static_cast<size_t>(got < 0 ? 0 : got));
        return text;
    }
    void SetEditText(const std::u16string& text) override { SetWindowTextW(FEdit, Wide(text)); }
    int ListIndex() const override { return static_cast<int>(SendMessageW(FCombo, CB_GETCURSEL, 0, 0)); }
    void SetListIndex(int index) override { SendMessageW(FCombo, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    void FocusList() override {
        // Only from where an editor left it: a click that closed the editor keeps the focus on
        // what was clicked, and another application keeps its own.
        HWND focus = GetFocus();
        if (focus == FDialog || focus == FEdit || focus == FCombo) SetFocus(FList);
    }
    void RedrawRow(int row) override {
        SendMessageW(FList, LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
    }
    void RedrawAll() override { InvalidateRect(FList, nullptr, TRUE); }
    void SetStatusText(const std::u16string& text) override { SetWindowTextW(FStatus, Wide(text)); }

private:
    HWND Editor(TSettingsEditor editor) const { return editor == TSettingsEditor::seList ? FCombo : FEdit; }

    INT_PTR Handle(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
            case WM_INITDIALOG:
                Init(dialog);
                return TRUE;
            case WM_NOTIFY:
                if (!FPresenter) return FALSE;
                return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
            case WM_CONTEXTMENU:
                if (reinterpret_cast<HWND>(wParam) != FList) return FALSE;
                ShowContextMenu(lParam);
                return TRUE;
            case WM_COMMAND:
                if (!FPresenter) return FALSE;
                return OnCommand(LOWORD(wParam), HIWORD(wParam));
            case WM_DESTROY:
                RemoveWindowSubclass(FList, ListProc, kListSubclass);
                RemoveWindowSubclass(FEdit, EditorProc, kEditorSubclass);
                RemoveWindowSubclass(FCombo, EditorProc, kEditorSubclass);
                return FALSE;
            default:
                return FALSE;
        }
    }

    void Init(HWND dialog) {
        FDialog = dialog;
        FList = GetDlgItem(dialog, IDC_SETTINGS_LIST_VIEW);
        FStatus = GetDlgItem(dialog, IDC_SETTINGS_LIST_STATUS);
        FEdit = GetDlgItem(dialog, IDC_SETTINGS_LIST_EDIT);
        FCombo = GetDlgItem(dialog, IDC_SETTINGS_LIST_COMBO);
        FMenu.reset(LoadMenuW(ModuleInstance(), MAKEINTRESOURCEW(IDM_SETTINGS_LIST_POPUP)));
        // The system's application icon: shared, so nobody frees it.
        HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512) /* IDI_APPLICATION */);
        SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        SetWindowContextHelpId(GetDlgItem(dialog, IDC_SETTINGS_LIST_OK), 1001);
        SetWindowContextHelpId(GetDlgItem(dialog, IDC_SETTINGS_LIST_CANCEL), 1002);

        Layout();
        SetupList();
        SendMessageW(FCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"False"));
        SendMessageW(FCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"True"));
        AddTooltips();
        SetWindowSubclass(FList, ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
        SetWindowSubclass(FEdit, EditorProc, kEditorSubclass, reinterpret_cast<DWORD_PTR>(this));
        SetWindowSubclass(FCombo, EditorProc, kEditorSubclass, reinterpret_cast<DWORD_PTR>(this));
        FPresenter.emplace(FDevice, *this);
    }

    // The window gets its client size in pixels and sits in the middle of the work area.
    void Layout() {
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(FDialog, GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(FDialog, GWL_EXSTYLE));
        RECT frame{0, 0, kClientWidth, kClientHeight};
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int x = work.left + (work.right - work.left - width) / 2;
        const int y = work.top + (work.bottom - work.top - height) / 2;
        SetWindowPos(FDialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);

        const int footerTop = kClientHeight - kFooterHeight;
        const int statusTop = footerTop - kStatusHeight;
        const int buttonTop = footerTop + (kFooterHeight - kButtonHeight) / 2 + 1;
        Place(IDC_SETTINGS_LIST_VIEW, 0, 0, kClientWidth, statusTop);
        Place(IDC_SETTINGS_LIST_STATUS, 0, statusTop, kClientWidth, kStatusHeight);
        Place(IDC_SETTINGS_LIST_LINE, 0, footerTop, kClientWidth, 2);
        Place(IDC_SETTINGS_LIST_DEFAULT, kMargin, buttonTop, kDefaultButtonWidth, kButtonHeight);
        const int cancelLeft = kClientWidth - kMargin - kButtonWidth;
        Place(IDC_SETTINGS_LIST_CANCEL, cancelLeft, buttonTop, kButtonWidth, kButtonHeight);
        Place(IDC_SETTINGS_LIST_OK, cancelLeft - 6 - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
    }

    void Place(int id, int x, int y, int width, int height) {
        SetWindowPos(GetDlgItem(FDialog, id), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void SetupList() {
        SendMessageW(FList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                     LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
        const wchar_t* captions[] = {L"Наименование", L"Значение", L"По-умолчанию"};
        for (int i = 0; i < 3; ++i) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.pszText = const_cast<wchar_t*>(captions[i]);
            column.cx = kColumnWidths[i];
            column.iSubItem = i;
            SendMessageW(FList, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
    }

    void AddTooltips() {
        HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FDialog, nullptr,
                                   ModuleInstance(), nullptr);
        if (!tip) return;  // no hints, the window works without them
        const struct {
            int id;
            const wchar_t* text;
        } hints[] = {
            {IDC_SETTINGS_LIST_DEFAULT, L"Установить все значения по-умолчанию"},
            {IDC_SETTINGS_LIST_OK, L"Сохранить и закрыть"},
            {IDC_SETTINGS_LIST_CANCEL, L"Закрыть без сохранения"},
        };
        for (const auto& h : hints) {
            TOOLINFOW info{};
            info.cbSize = TTTOOLINFOW_V2_SIZE;
            info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            info.hwnd = FDialog;
            info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(FDialog, h.id));
            info.lpszText = const_cast<wchar_t*>(h.text);
            SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        }
    }

    INT_PTR OnNotify(const NMHDR& header) {
        if (header.hwndFrom != FList) return FALSE;
        switch (header.code) {
            case LVN_GETDISPINFOW: {
                LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))->item;
                if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
                    const std::u16string text = FPresenter->CellText(item.iItem, item.iSubItem);
                    const size_t n = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
                    text.copy(reinterpret_cast<char16_t*>(item.pszText), n);
                    item.pszText[n] = L'\0';
                }
                return TRUE;
            }
            case LVN_ITEMCHANGED: {
                const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
                if (change.uChanged & LVIF_STATE) FPresenter->ItemChanged(change.iItem);
                return TRUE;
            }
            case NM_DBLCLK:
                FPresenter->EditRequested();
                return TRUE;
            case LVN_KEYDOWN:
                switch (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey) {
                    case VK_RETURN:
                    case VK_F2: FPresenter->EditRequested(); break;
                    case VK_ESCAPE: FPresenter->ListEscape(); break;
                    default: break;
                }
                return TRUE;
            default:
                return FALSE;
        }
    }

    INT_PTR OnCommand(int id, int code) {
        switch (id) {
            case IDC_SETTINGS_LIST_DEFAULT:
                if (code == BN_CLICKED) FPresenter->DefaultsButton();
                return TRUE;
            case IDC_SETTINGS_LIST_OK:
                if (code == BN_CLICKED) EndDialog(FDialog, IDOK);
                return TRUE;
            case IDC_SETTINGS_LIST_CANCEL:
            case IDCANCEL:  // the close box, or Escape on a button
                if (code == BN_CLICKED) EndDialog(FDialog, IDCANCEL);
                return TRUE;
            case IDM_SETTINGS_LIST_EDIT:
                FPresenter->EditRequested();
                return TRUE;
            case IDM_SETTINGS_LIST_DEFAULT:
                FPresenter->DefaultMenuItem();
                return TRUE;
            default:
                return FALSE;  // IDOK: Enter belongs to the list and the editors, not to a default button
        }
    }

    void ShowContextMenu(LPARAM lParam) {
        if (!FMenu) return;
        POINT at{XFromLParam(lParam), YFromLParam(lParam)};
        if (at.x == -1 && at.y == -1) {
            // From the keyboard: under the selected row, or at the list's corner.
            RECT r{};
            r.left = LVIR_BOUNDS;
            const int row = SelectedRow();
            if (row >= 0 && SendMessageW(FList, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)))
                at = POINT{r.left + kColumnWidths[0] / 2, r.bottom};
            else
                at = POINT{0, 0};
            ClientToScreen(FList, &at);
        }
        TrackPopupMenu(GetSubMenu(FMenu.get(), 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, FDialog, nullptr);
    }

    static int XFromLParam(LPARAM l) { return static_cast<int>(static_cast<short>(LOWORD(l))); }
    static int YFromLParam(LPARAM l) { return static_cast<int>(static_cast<short>(HIWORD(l))); }

    // The list keeps Enter and Escape from the dialog manager, which would press a button.
    static LRESULT CALLBACK ListProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
        if (msg == WM_GETDLGCODE && WantsKey(lParam, {VK_RETURN, VK_ESCAPE}))
            return DefSubclassProc(w, msg, wParam, lParam) | DLGC_WANTMESSAGE;
        return DefSubclassProc(w, msg, wParam, lParam);
    }

    // Enter and Escape close the editor; so does the focus leaving it. An open drop-down list
    // takes its own Enter and Escape first.
    static LRESULT CALLBACK EditorProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref) {
        auto* self = reinterpret_cast<TSettingsListWindow*>(ref);
        if (!self->FPresenter) return DefSubclassProc(w, msg, wParam, lParam);
        try {
            switch (msg) {
                case WM_GETDLGCODE:
                    if (WantsKey(lParam, {VK_RETURN, VK_ESCAPE}))
                        return DefSubclassProc(w, msg, wParam, lParam) | DLGC_WANTALLKEYS;
                    break;
                case WM_KEYDOWN:
                    if (self->DroppedDown(w)) break;
                    if (wParam == VK_RETURN) {
                        self->FPresenter->EditorEnter();
                        return 0;
                    }
                    if (wParam == VK_ESCAPE) {
                        self->FPresenter->EditorEscape();
                        return 0;
                    }
                    break;
                case WM_CHAR:
                    // Their characters would only beep.
                    if ((wParam == L'\r' || wParam == 0x1B) && !self->DroppedDown(w)) return 0;
                    break;
                case WM_KILLFOCUS: {
                    const LRESULT r = DefSubclassProc(w, msg, wParam, lParam);
                    self->FPresenter->EditorFocusLost();
                    return r;
                }
                default:
                    break;
            }
        } catch (...) {
            return 0;
        }
        return DefSubclassProc(w, msg, wParam, lParam);
    }

    bool DroppedDown(HWND editor) const { return editor == FCombo && SendMessageW(FCombo, CB_GETDROPPEDSTATE, 0, 0); }

    TBaseDevice& FDevice;
    HWND FDialog = nullptr;
    HWND FList = nullptr;
    HWND FStatus = nullptr;
    HWND FEdit = nullptr;
    HWND FCombo = nullptr;
    TMenu FMenu;
    std::optional<TfrmSettingsList> FPresenter;
};

}  // namespace

bool ShowSettingsList(HWND owner, TBaseDevice& device) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    TSettingsListWindow window(device);
    const INT_PTR result = DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_SETTINGS_LIST), owner,
                                           TSettingsListWindow::DialogProc, reinterpret_cast<LPARAM>(&window));
    return result == IDOK;
}

}  // namespace fr::ui::win32
