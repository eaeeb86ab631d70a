#pragma once
// Message boxes and the wait cursor of a settings window.
#include <windows.h>

#include "ui/uDialogServices.h"

namespace fr::ui::win32 {

class TWin32Services : public TDialogServices {
public:
    void SetOwner(HWND owner) { FOwner = owner; }
    void ShowError(const std::u16string& text) override;
    void ShowInfo(const std::u16string& text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    // For WM_SETCURSOR: true when the wait cursor was set.
    bool ApplyWaitCursor() const;

private:
    HWND FOwner = nullptr;
    int FWaits = 0;
};

// Runs a user action: a silent abort ends it quietly, any other error is shown. Nothing escapes,
// since this runs inside a window procedure.
template <class Action>
void RunAction(TDialogServices& services, Action&& action) noexcept;

}  // namespace fr::ui::win32

#include "ui/win32/uWin32Services.inl"
