#pragma once
// What a presenter asks of the user-interface toolkit besides its own controls: message boxes and
// the wait cursor. The Win32 views implement it; tests record the calls.
#include <string>

namespace fr::ui {

class TDialogServices {
public:
    virtual ~TDialogServices() = default;
    virtual void ShowError(const std::u16string& text) = 0;
    virtual void ShowInfo(const std::u16string& text) = 0;
    // Nested: the normal cursor comes back when every wait has ended.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};

// Shows the wait cursor for the lifetime of the object.
class TWaitCursor {
public:
    explicit TWaitCursor(TDialogServices& services);
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    TDialogServices& FServices;
};

}  // namespace fr::ui
