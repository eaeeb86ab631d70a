#pragma once
// A settings page's Win32 side: a borderless child dialog the common window puts into a tab.
#include <windows.h>

#include <functional>
#include <memory>

#include "ui/uBaseSettings.h"

namespace fr::ui::win32 {

class TPageWindow {
public:
    virtual ~TPageWindow() = default;
    virtual HWND Handle() const = 0;
    // The page class whose presenter works on this window's controls. The window is bound to the
    // presenter as the class makes it, so the presenter can show the page at once.
    virtual TPageClass PageClass() = 0;
    // The page's tab was selected (or the window opened on it).
    virtual void Shown() = 0;
    // The tab was left.
    virtual void Hidden() {}
};

// Makes a page window as a child of the common window, with the window's message services.
using TPageWindowClass = std::function<std::unique_ptr<TPageWindow>(HWND parent, TDialogServices& services)>;

}  // namespace fr::ui::win32
