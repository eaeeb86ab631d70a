#include "ui/win32/uHelpPopup.h"

#include "ui/win32/uModuleInstance.h"
#include "ui/win32/uWin32Text.h"

namespace fr::ui::win32 {

namespace {
constexpr wchar_t kClassName[] = L"FrVornlexHelpPopup";
constexpr int kMargin = 5;
constexpr COLORREF kBackground = RGB(255, 255, 238);

LRESULT CALLBACK PopupProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(w, &ps);
            RECT r;
            GetClientRect(w, &r);
            HBRUSH brush = CreateSolidBrush(kBackground);
            FillRect(dc, &r, brush);
            DeleteObject(brush);
            HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
            InflateRect(&r, -kMargin, -kMargin);
            std::wstring text(static_cast<size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
            GetWindowTextW(w, text.data(), static_cast<int>(text.size()));
            DrawTextW(dc, text.c_str(), -1, &r, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
            SelectObject(dc, old);
            EndPaint(w, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_KILLFOCUS:
            DestroyWindow(w);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) DestroyWindow(w);
            return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

void registerClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_SAVEBITS | CS_DROPSHADOW;
        wc.lpfnWndProc = PopupProc;
        wc.hInstance = ModuleInstance();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    (void)registered;
}
}  // namespace

void ShowHelpPopup(HWND owner, POINT at, const std::u16string& text) {
    registerClass();
    // Measure the text at most a third of the screen wide.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN) / 3, 0};
    DrawTextW(dc, W(text), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int width = r.right - r.left + 2 * kMargin + 2, height = r.bottom - r.top + 2 * kMargin + 2;
    HWND popup = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, W(text), WS_POPUP | WS_BORDER, at.x,
                                 at.y, width, height, owner, nullptr, ModuleInstance(), nullptr);
    if (!popup) return;
    ShowWindow(popup, SW_SHOW);
    SetFocus(popup);
}

}  // namespace fr::ui::win32
