#pragma once
// TfrmBaseSettings: the protocol every settings page follows inside the common settings window.
// A page reads the store into its controls, writes them back on OK, and can try its unsaved
// values on the real device between EnableDevice and DisableDevice.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "automation/Errors.h"
#include "device/uBaseDevice.h"
#include "ui/uDialogServices.h"

namespace fr::ui {

// Ends the current user action without a further message (the page has shown its own).
class EAbort : public EError {
public:
    EAbort() : EError(u"Operation aborted", "EAbort") {}
};

class TfrmCommonSettings;

class TfrmBaseSettings {
public:
    TfrmBaseSettings(TBaseDevice& ADeviceManager, TDialogServices& services);
    virtual ~TfrmBaseSettings() = default;
    TfrmBaseSettings(const TfrmBaseSettings&) = delete;
    TfrmBaseSettings& operator=(const TfrmBaseSettings&) = delete;

    TBaseDevice& DeviceManager() const { return FDeviceManager; }
    TfrmCommonSettings* OwnerFrm() const { return FOwnerFrm; }
    void SetOwnerFrm(TfrmCommonSettings* owner) { FOwnerFrm = owner; }
    virtual std::u16string Caption() const = 0;

    // May refuse saving; the base allows it.
    virtual void OnSaveSettings(bool& AllowColse) { AllowColse = true; }
    // Writes the controls into the store; may raise EAbort after showing its own message.
    virtual void OnSaveSettings() {}
    virtual void OnReadSettings() {}
    // Called once the page exists, before it is embedded.
    virtual void OnCreateFrm() {}
    virtual void OnNotify(const std::u16string& Msg, const std::u16string& Data) {}
    // The page became visible (its tab was selected or the window opened on it).
    virtual void OnShow() {}

    void NotifyOwner(const std::u16string& Msg, const std::u16string& Data);

    // Snapshot of every setting, the page's values written (unless it refuses: 1020), device enabled.
    int32_t EnableDevice(std::u16string& ResultDescription);
    int32_t EnableDevice();
    // Snapshot of the listed settings only, the page's values written, device enabled.
    int32_t EnableDevice(const std::vector<std::u16string>& Settings, std::u16string& ResultDescription);
    int32_t EnableDevice(const std::vector<std::u16string>& Settings);
    // Device disabled and the snapshot written back.
    void DisableDevice();

protected:
    TDialogServices& Services() const { return FServices; }

private:
    // Writes the page's values after a snapshot; a refused or aborted write puts the snapshot back
    // at once, so no stale snapshot stays behind, and the wait cursor ends.
    template <class Write>
    int32_t EnableWith(Write&& write, std::u16string& ResultDescription);

    TBaseDevice& FDeviceManager;
    TDialogServices& FServices;
    TfrmCommonSettings* FOwnerFrm = nullptr;
    int FWaits = 0;  // wait cursors begun by EnableDevice, ended by DisableDevice
};

// A page class: makes a page for a device. The window calls OnCreateFrm itself.
using TPageClass = std::function<std::unique_ptr<TfrmBaseSettings>(TBaseDevice&, TDialogServices&)>;

}  // namespace fr::ui
