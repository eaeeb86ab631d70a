#pragma once
// Sizes and places of top-level windows the settings dialogs need.
#include <windows.h>

namespace fr::ui::win32 {

// The client area's size; empty for a window that does not exist (yet).
SIZE ClientSize(HWND w);
// Sizes the window for a client area of width x height, never below the minimum window size: a
// dialog frame has no sizing border, so the system does not hold the minimum itself.
void SetClientSize(HWND w, int width, int height, SIZE minimumWindow);
// Centres the window on the work area of its monitor, at the size it has now.
void CenterOnScreen(HWND w);

}  // namespace fr::ui::win32
