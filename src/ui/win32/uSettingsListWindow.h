#pragma once
// The settings list editor's window: a virtual report list of every setting, the selected
// setting's description, "По-умолчанию", "ОК" and "Отмена", and two hidden in-place editors.
// Its dialog template is SettingsList.rc, which the module's resources include.
#include <windows.h>

#include "device/uBaseDevice.h"

namespace fr::ui::win32 {

// Shows the settings list of the device modally over `owner` (disabled meanwhile); true on OK.
// Edits go straight into the device's store: the caller undoes them when this answers false.
bool ShowSettingsList(HWND owner, TBaseDevice& device);

}  // namespace fr::ui::win32
