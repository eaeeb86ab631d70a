#pragma once
// The module (DLL or EXE) that holds this code: dialog templates and icons are loaded from it.
#include <windows.h>

namespace fr::ui::win32 {

HINSTANCE ModuleInstance();

}  // namespace fr::ui::win32
