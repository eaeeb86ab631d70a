#include "ui/win32/uWin32Services.h"

#include "ui/win32/uWin32Text.h"

namespace fr::ui::win32 {

void TWin32Services::ShowError(const std::u16string& text) {
    MessageBoxW(FOwner, W(text), L"Ошибка", MB_OK | MB_ICONERROR);
}

void TWin32Services::ShowInfo(const std::u16string& text) {
    MessageBoxW(FOwner, W(text), L"Информация", MB_OK | MB_ICONINFORMATION);
}

void TWin32Services::BeginWaitCursor() {
    ++FWaits;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void TWin32Services::EndWaitCursor() {
    if (FWaits > 0 && --FWaits == 0) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

bool TWin32Services::ApplyWaitCursor() const {
    if (FWaits == 0) return false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

}  // namespace fr::ui::win32
