#pragma once
// A drop-down list whose items are wider than the box: the open list is widened so that every
// item shows whole (the tail of a name is often what tells two items apart).
#include <windows.h>

namespace fr::ui::win32 {

// The width the open list needs for its widest item in the box's font: the text, the list's
// item margins and border, and a scroll bar when not every item fits the visible rows.
int DropDownWidthForItems(HWND combo, int visibleRows);
// Widens the open list to that width; it never becomes narrower than the box.
void WidenDropDownToItems(HWND combo, int visibleRows);

}  // namespace fr::ui::win32
