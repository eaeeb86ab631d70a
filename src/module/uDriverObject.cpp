#include "module/uDriverObject.h"

#include "adapter/uDriver.h"
#include "ui/win32/uCommonSettingsWindow.h"

namespace fr {

// Every create request gets a new, fully initialised driver object; in this module the driver
// shows its Win32 settings window.
std::shared_ptr<DispatchTarget> createDriverObject() {
    static const bool windowInstalled = (SetSettingsDialogShower(&ui::win32::ShowDriverSettingsDialog), true);
    (void)windowInstalled;
    return TBaseObject::create<TDriverFR>();
}

}  // namespace fr
