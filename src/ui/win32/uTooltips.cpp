#include "ui/win32/uTooltips.h"

#include <commctrl.h>

#include <string>

#include "ui/win32/uModuleInstance.h"

namespace fr::ui::win32 {

namespace {
constexpr wchar_t kHintProperty[] = L"FrVornlexHint";
}  // namespace

HWND CreateTooltips(HWND owner) {
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                ModuleInstance(), nullptr);
    if (tips) SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 300);
    return tips;
}

void AddTooltip(HWND tooltips, HWND owner, HWND control, const wchar_t* text) {
    if (!control) return;
    SetPropW(control, kHintProperty, const_cast<wchar_t*>(text));
    if (!tooltips) return;
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = owner;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

std::wstring HintOf(HWND control) {
    const auto* text = static_cast<const wchar_t*>(GetPropW(control, kHintProperty));
    return text ? text : L"";
}

}  // namespace fr::ui::win32
