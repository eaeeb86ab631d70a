#pragma once
// The context-help popup: black text on a pale yellow ground, 5 pixels of margin, the default
// font; it goes away at the next click, key or loss of focus.
#include <windows.h>

#include <string>

namespace fr::ui::win32 {

void ShowHelpPopup(HWND owner, POINT at, const std::u16string& text);

}  // namespace fr::ui::win32
