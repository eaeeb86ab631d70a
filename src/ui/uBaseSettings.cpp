#include "ui/uBaseSettings.h"

#include "dispatch/uEquipmentErrors.h"
#include "ui/uCommonSettings.h"

namespace fr::ui {

TfrmBaseSettings::TfrmBaseSettings(TBaseDevice& ADeviceManager, TDialogServices& services)
    : FDeviceManager(ADeviceManager), FServices(services) {}

void TfrmBaseSettings::NotifyOwner(const std::u16string& Msg, const std::u16string& Data) {
    if (FOwnerFrm) FOwnerFrm->NotifyPages(Msg, Data);
}

template <class Write>
int32_t TfrmBaseSettings::EnableWith(Write&& write, std::u16string& ResultDescription) {
    FServices.BeginWaitCursor();
    ++FWaits;
    bool written = false;
    try {
        written = write();
    } catch (...) {
        FDeviceManager.RestoreSettings();
        --FWaits;
        FServices.EndWaitCursor();
        throw;
    }
    if (!written) {
        FDeviceManager.RestoreSettings();
        return rcWrongDeviceParameters;
    }
    return FDeviceManager.Enable(ResultDescription);
}

int32_t TfrmBaseSettings::EnableDevice(std::u16string& ResultDescription) {
    return EnableWith(
        [this] {
            FDeviceManager.StoreSettings();
            bool allow = true;
            OnSaveSettings(allow);
            if (!allow) return false;
            OnSaveSettings();
            return true;
        },
        ResultDescription);
}

int32_t TfrmBaseSettings::EnableDevice() {
    std::u16string discarded;
    return EnableDevice(discarded);
}

int32_t TfrmBaseSettings::EnableDevice(const std::vector<std::u16string>& Settings, std::u16string& ResultDescription) {
    return EnableWith(
        [this, &Settings] {
            FDeviceManager.StoreSettings(Settings);
            OnSaveSettings();
            return true;
        },
        ResultDescription);
}

int32_t TfrmBaseSettings::EnableDevice(const std::vector<std::u16string>& Settings) {
    std::u16string discarded;
    return EnableDevice(Settings, discarded);
}

void TfrmBaseSettings::DisableDevice() {
    // The snapshot goes back and the wait ends even when disconnecting raises.
    struct Restore {
        TfrmBaseSettings& page;
        ~Restore() {
            page.FDeviceManager.RestoreSettings();
            // Only the waits this page began end here: a trial is bracketed by two DisableDevice calls.
            for (; page.FWaits > 0; --page.FWaits) page.FServices.EndWaitCursor();
        }
    } restore{*this};
    FDeviceManager.Disable();
}

}  // namespace fr::ui
