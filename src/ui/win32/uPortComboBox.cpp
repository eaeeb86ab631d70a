#include "ui/win32/uPortComboBox.h"

#include "ui/win32/uModuleInstance.h"

namespace fr::ui::win32 {

namespace {

constexpr wchar_t kMessageClass[] = L"FrPortComboBoxMessages";

// Runs on the user-interface thread; nothing here can throw.
LRESULT CALLBACK MessageWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == TPortComboBox::kRepaintMessage) {
        HWND combo = reinterpret_cast<HWND>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (combo && IsWindow(combo)) {
            InvalidateRect(combo, nullptr, TRUE);
            // The dropped-down list is a window of its own.
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            if (GetComboBoxInfo(combo, &info) && info.hwndList) InvalidateRect(info.hwndList, nullptr, TRUE);
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A class registered by a DLL outlives the DLL: it is registered for each picker and unregistered
// with each (which fails, harmlessly, while another picker's window still uses it), so no class
// points into a module that has been unloaded.
void RegisterMessageClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MessageWindowProc;
    wc.hInstance = ModuleInstance();
    wc.lpszClassName = kMessageClass;
    RegisterClassExW(&wc);
}

struct TDot {
    COLORREF fill, outline;
};

TDot DotColours(TPortState state) {
    switch (state) {
        case TPortState::psFree: return {RGB(0, 208, 0), RGB(0, 160, 0)};
        case TPortState::psBusy: return {RGB(208, 0, 0), RGB(160, 0, 0)};
        default: return {RGB(208, 208, 208), RGB(10, 10, 10)};
    }
}

// A GDI object that goes back to the system with its scope.
template <typename H>
class TGdiObject {
public:
    explicit TGdiObject(H h) : FH(h) {}
    ~TGdiObject() {
        if (FH) DeleteObject(FH);
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    H get() const { return FH; }

private:
    H FH;
};

}  // namespace

TPortComboBox::TMessageWindow::TMessageWindow(HWND combo) {
    RegisterMessageClass();
    FHWnd = CreateWindowExW(0, kMessageClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ModuleInstance(), nullptr);
    if (FHWnd) SetWindowLongPtrW(FHWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(combo));
}

TPortComboBox::TMessageWindow::~TMessageWindow() {
    if (FHWnd) DestroyWindow(FHWnd);
    UnregisterClassW(kMessageClass, ModuleInstance());
}

TPortComboBox::TPortComboBox(HWND combo) : TPortComboBox(combo, SystemPortSources(), SystemPortOpener()) {}

TPortComboBox::TPortComboBox(HWND combo, TPortSources& sources, TPortOpener& opener)
    : FCombo(combo),
      FMessageWindow(combo),
      // Posted, never sent: the checker must not wait for the user-interface thread, which may
      // itself be waiting for the checker.
      FList(sources, opener, [hwnd = FMessageWindow.get()] { PostMessageW(hwnd, kRepaintMessage, 0, 0); }) {
    SendMessageW(FCombo, CB_SETITEMHEIGHT, 0, kItemHeight);
    PushItems();
}

TPortComboBox::~TPortComboBox() { FList.StopPortCheck(); }

void TPortComboBox::PullSelection() const {
    FList.SetItemIndex(static_cast<int>(SendMessageW(FCombo, CB_GETCURSEL, 0, 0)));
}

void TPortComboBox::PushItems() {
    if (static_cast<int>(SendMessageW(FCombo, CB_GETCOUNT, 0, 0)) != FList.Count()) {
        SendMessageW(FCombo, CB_RESETCONTENT, 0, 0);
        for (const std::u16string& item : FList.Items())
            SendMessageW(FCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(reinterpret_cast<const wchar_t*>(item.c_str())));
    }
    SendMessageW(FCombo, CB_SETCURSEL, static_cast<WPARAM>(FList.ItemIndex()), 0);
}

int TPortComboBox::PortNumber() const {
    PullSelection();
    return FList.PortNumber();
}

void TPortComboBox::SetPortNumber(int value) {
    PullSelection();
    FList.SetPortNumber(value);
    PushItems();
}

std::u16string TPortComboBox::PortInterface() const {
    PullSelection();
    return FList.PortInterface();
}

void TPortComboBox::SetPortInterface(const std::u16string& value) {
    PullSelection();
    FList.SetPortInterface(value);
    PushItems();
}

void TPortComboBox::SetPortType(TPortType value) {
    FList.SetPortType(value);
    // A refill always rebuilds the items, even when their number stays.
    SendMessageW(FCombo, CB_RESETCONTENT, 0, 0);
    PushItems();
}

void TPortComboBox::Shown() {
    if (CheckPortsOnCreate) CheckPorts();
}

bool TPortComboBox::DrawItem(const DRAWITEMSTRUCT& dis) {
    if (dis.CtlType != ODT_COMBOBOX || dis.hwndItem != FCombo) return false;
    HDC dc = dis.hDC;
    RECT r = dis.rcItem;
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int index = static_cast<int>(dis.itemID);
    // States are read without the checker's lock: each is one atomic byte.
    if (index >= 0 && index < FList.Count()) {
        const TPortProp& entry = FList.Entry(index);
        const TDot dot = DotColours(entry.PortState.load());
        TGdiObject<HBRUSH> brush(CreateSolidBrush(dot.fill));
        TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, dot.outline));
        HGDIOBJ oldBrush = SelectObject(dc, brush.get());
        HGDIOBJ oldPen = SelectObject(dc, pen.get());
        Ellipse(dc, r.left + 2, r.top + 2, r.left + 12, r.top + 12);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);

        HFONT font = reinterpret_cast<HFONT>(SendMessageW(FCombo, WM_GETFONT, 0, 0));
        HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
        const COLORREF oldText = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        TextOutW(dc, r.left + 16, r.top, reinterpret_cast<const wchar_t*>(entry.PortName.c_str()),
                 static_cast<int>(entry.PortName.size()));
        SetBkMode(dc, oldMode);
        SetTextColor(dc, oldText);
        if (oldFont) SelectObject(dc, oldFont);
    }
    if ((dis.itemState & ODS_FOCUS) && !(dis.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &r);
    return true;
}

void TPortComboBox::MeasureItem(MEASUREITEMSTRUCT& mis) {
    if (mis.CtlType == ODT_COMBOBOX && mis.CtlID == static_cast<UINT>(GetDlgCtrlID(FCombo))) mis.itemHeight = kItemHeight;
}

}  // namespace fr::ui::win32
