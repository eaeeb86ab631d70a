#include <windows.h>

#include "platform/Focus.h"

namespace fr::platform {

// The foreground window only when it is one of the host's own; else the calling thread's active
// window. Another program's window in front is left alone: disabled, it would stay frozen behind
// ours, and be pulled to the front when ours closes.
WindowHandle takeForegroundWindow() {
    HWND w = GetForegroundWindow();
    DWORD process = 0;
    if (w) GetWindowThreadProcessId(w, &process);
    if (process != GetCurrentProcessId()) w = GetActiveWindow();
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
