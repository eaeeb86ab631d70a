#pragma once
// Hints: one tooltip control per window, one tool per control. The hint also stays with the
// control, so context help can find the hint of whatever control the user points at.
#include <windows.h>

#include <string>

namespace fr::ui::win32 {

HWND CreateTooltips(HWND owner);
// The text must outlive the control.
void AddTooltip(HWND tooltips, HWND owner, HWND control, const wchar_t* text);
// The hint given to a control; empty when it has none.
std::wstring HintOf(HWND control);

}  // namespace fr::ui::win32
