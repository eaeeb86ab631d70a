#include <windows.h>

#include "platform/Focus.h"

namespace fr::platform {

WindowHandle takeForegroundWindow() {
    HWND w = GetForegroundWindow();
    if (w) EnableWindow(w, FALSE);
    return reinterpret_cast<WindowHandle>(w);
}

void giveBackForegroundWindow(WindowHandle window) {
    HWND w = reinterpret_cast<HWND>(window);
    if (!w) return;
    EnableWindow(w, TRUE);
    if (GetForegroundWindow() != w) {
        SetForegroundWindow(w);
        SendMessageW(w, WM_SETFOCUS, 0, 0);
    }
}

}  // namespace fr::platform
