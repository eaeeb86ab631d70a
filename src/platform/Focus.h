#pragma once
// Keeping the host's window from input while the driver shows its own modal window.
#include <cstdint>

namespace fr::platform {

using WindowHandle = uintptr_t;  // 0: no window

// The current foreground window, now disabled for input (0 natively: there are no windows).
WindowHandle takeForegroundWindow();
// Enables the window again and gives it the foreground and the focus.
void giveBackForegroundWindow(WindowHandle window);

}  // namespace fr::platform
