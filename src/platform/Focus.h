#pragma once
// Keeping the host's window from input while the driver shows its own modal window.
#include <cstdint>

namespace fr::platform {

using WindowHandle = uintptr_t;  // 0: no window

// The host's window in front, now disabled for input: the foreground window when it is one of this
// process's, else the calling thread's active window (0 when there is none, and natively).
WindowHandle takeForegroundWindow();
// Enables the window again and gives it the foreground and the focus.
void giveBackForegroundWindow(WindowHandle window);

}  // namespace fr::platform
