#include "ui/win32/uDropDownWidth.h"

#include <algorithm>
#include <string>

namespace fr::ui::win32 {

namespace {
// Room the list takes around an item's text: a few pixels each side of it and the list's border.
constexpr int kItemMargins = 2 * 4;
}  // namespace

int DropDownWidthForItems(HWND combo, int visibleRows) {
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    HDC dc = GetDC(combo);
    if (!dc) return 0;
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length <= 0) continue;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT got = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        SIZE size{};
        if (got > 0 && GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(got), &size)) widest = std::max<int>(widest, size.cx);
    }
    SelectObject(dc, oldFont);
    ReleaseDC(combo, dc);
    int width = widest + kItemMargins + 2 * GetSystemMetrics(SM_CXEDGE);
    if (count > visibleRows) width += GetSystemMetrics(SM_CXVSCROLL);
    return width;
}

void WidenDropDownToItems(HWND combo, int visibleRows) {
    RECT box{};
    GetWindowRect(combo, &box);
    const int width = std::max<int>(DropDownWidthForItems(combo, visibleRows), box.right - box.left);
    SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

}  // namespace fr::ui::win32
