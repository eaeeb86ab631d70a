#pragma once
// UTF-16 text between the core (std::u16string) and the wide Win32 API.
#include <windows.h>

#include <string>

namespace fr::ui::win32 {

inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// A window's text.
inline std::u16string WindowText(HWND w) {
    std::wstring buf(static_cast<size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    int n = GetWindowTextW(w, buf.data(), static_cast<int>(buf.size()));
    return std::u16string(reinterpret_cast<const char16_t*>(buf.data()), static_cast<size_t>(n));
}

}  // namespace fr::ui::win32
