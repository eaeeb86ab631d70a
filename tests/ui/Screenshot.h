#pragma once
// Screenshots of the windows under test, saved as test artifacts.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace fr::test {

// A 24-bit BMP of what the screen shows in the rectangle (screen coordinates).
inline bool SaveScreenshot(const RECT& r, const std::wstring& path) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
    const int lines = GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != height) return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return false;
    fwrite(&file, sizeof(file), 1, out);
    fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, out);
    fwrite(pixels.data(), 1, pixels.size(), out);
    return fclose(out) == 0;
}

// A 24-bit BMP of what the screen shows of the window.
inline bool SaveScreenshot(HWND w, const std::wstring& path) {
    RECT r{};
    GetWindowRect(w, &r);
    return SaveScreenshot(r, path);
}

}  // namespace fr::test
