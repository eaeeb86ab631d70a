#include "ui/win32/uWindowGeometry.h"

#include <algorithm>

namespace fr::ui::win32 {

SIZE ClientSize(HWND w) {
    RECT r{};
    if (!w || !GetClientRect(w, &r)) return {0, 0};
    return {r.right - r.left, r.bottom - r.top};
}

void SetClientSize(HWND w, int width, int height, SIZE minimumWindow) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(w, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(w, GWL_EXSTYLE)));
    SetWindowPos(w, nullptr, 0, 0, std::max<int>(r.right - r.left, minimumWindow.cx),
                 std::max<int>(r.bottom - r.top, minimumWindow.cy), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CenterOnScreen(HWND w) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    RECT window{};
    GetWindowRect(w, &window);
    const RECT& area = monitor.rcWork;
    const int x = area.left + ((area.right - area.left) - (window.right - window.left)) / 2;
    const int y = area.top + ((area.bottom - area.top) - (window.bottom - window.top)) / 2;
    SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace fr::ui::win32
