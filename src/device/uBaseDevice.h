#pragma once
// TBaseDevice: a piece of equipment the host manages. It registers the ten generic methods, keeps
// the device state, holds the host's equipment manager and defines the order in which a device
// class is built and torn down. Device classes plug in by overriding the hooks.
#include <memory>
#include <string>
#include <vector>

#include "dispatch/uCOMSupport.h"
#include "dispatch/uDeviceInfo.h"
#include "platform/Focus.h"

namespace fr {

enum class TDeviceState { dsCreated = 0, dsInited = 1, dsEnabled = 2, dsUnknown = 3 };

struct TShortSettingStruct {
    std::u16string ID;
    Variant Value;
};

struct TAdditionalAction {
    std::u16string ID;
    std::u16string Caption;
};

struct TSpecificMethod {
    std::u16string Name;
    TPublicMethod Method;
};
using TSpecificMethods = std::vector<TSpecificMethod>;
void AddSpecificMethod(TSpecificMethods& methods, const std::u16string& name, TPublicMethod method);

class TBaseDevice : public TBaseObject {
public:
    void Initialize() override;
    void BeginDebugLog() override;
    void Destroy() noexcept override;

    // ---- state and identification ----
    TDeviceState DeviceState() const { return FDeviceState; }
    const TDeviceInfoStruct& DeviceInfo() const { return FDeviceInfo; }
    const Variant& EqManager() const { return FEqManager; }
    const std::u16string& DeviceID() const { return FDeviceID; }
    bool Enabled() const { return FDeviceState == TDeviceState::dsEnabled; }
    void SetEnabled(bool value);
    virtual std::u16string GetDeviceVersion() const;

    // ---- operations the settings window uses ----
    virtual int32_t Enable(std::u16string& ResultDescription);
    int32_t Enable();
    int32_t Disable();
    virtual int32_t CheckHealth(std::u16string& ResultDescription);
    virtual bool DeviceTest(std::u16string& ResultDescription);
    virtual int32_t RunAdditionalAction(const std::u16string& ID, std::u16string& ResultDescription);

    // ---- settings services ----
    int SettingsCount() const { return FSettingList.SettingsCount(); }
    TSettingStruct* GetSetting(int index) { return FSettingList.GetSetting(index); }
    TSettingStruct* FindSetting(const std::u16string& id) { return FSettingList.Find(id); }
    int32_t DefaultTimeOut() const;
    void SetDefaultTimeOut(int32_t value);
    bool EventLogEnabled() const;
    void SetEventLogEnabled(bool value);
    void StoreSettings();
    void StoreSettings(const std::vector<std::u16string>& ids);
    void RestoreSettings();
    const std::vector<TShortSettingStruct>& BufSettings() const { return FBufSettings; }
    int AddActionsCount() const { return static_cast<int>(FAdditionalActions.size()); }
    const TAdditionalAction* GetAddAction(int index) const;

    // ---- folders and host properties ----
    const std::u16string& DeviceFolder() const { return FDeviceFolder; }
    const std::u16string& Language() const { return FLanguage; }
    std::u16string GetDeviceFolder();
    std::u16string GetModelFolder() const;
    std::u16string ModelFolder() const { return GetModelFolder(); }
    std::u16string GetLanguage();

    // ---- calls on the host's equipment manager ----
    std::u16string GetAppProperty(const std::u16string& PropName);
    bool DataEvent(const std::u16string& Event, const std::u16string& Data, const Variant& ExtData = Variant());
    bool ErrorEvent(const std::u16string& ErrorName, const std::u16string& Description, const Variant& ExtData = Variant());
    bool TaskState(int32_t Percent, const std::u16string& Description);
    bool WriteLog(const std::u16string& Name, const std::u16string& Text, int32_t EventType);
    int32_t ShowMessageDlg(const std::u16string& Text, int32_t MessageType, int32_t Buttons, int32_t TimeOut);
    std::u16string InputDataDlg(const std::u16string& Caption, const std::u16string& DefaultText,
                                const std::u16string& Description, const std::u16string& Mask, bool Password,
                                int32_t TimeOut);

    // ---- window focus around the driver's own modal windows ----
    void StoreFocus();
    void RestoreFocus();

protected:
    // Hooks, in the order Initialize runs them.
    virtual void CreateObjects() {}
    virtual void OnSetDeviceInfo() {}
    virtual void RegisterMethods();
    virtual void DeclareSettings();
    virtual void FreeObjects() {}

    virtual void SettingsChanged() {}
    virtual int32_t DoInit(std::u16string& ResultDescription) { return 0; }
    virtual int32_t DoOpen(std::u16string& ResultDescription) { return 0; }
    virtual void DoClose() {}
    virtual void AfterClose() {}
    virtual int32_t DoEnable(std::u16string& ResultDescription) { return 0; }
    virtual int32_t DoDisable(std::u16string& ResultDescription) { return 0; }
    virtual bool ShowSettingsDialog() { return false; }
    virtual int32_t InternalDisable(std::u16string& ResultDescription);

    virtual int32_t EnableHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    virtual int32_t DisableHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);

    void RegisterSpecificMethods(const TSpecificMethods& methods);

    TDeviceState FDeviceState = TDeviceState::dsCreated;
    std::vector<platform::WindowHandle> FWindows;
    std::u16string FModelsFolder;
    std::vector<TShortSettingStruct> FBufSettings;
    std::vector<TAdditionalAction> FAdditionalActions;
    Variant FEqManager;
    std::u16string FDeviceID;
    TDeviceInfoStruct FDeviceInfo;
    std::u16string FDeviceFolder;
    std::u16string FLanguage;

private:
    Variant InitHandler(std::vector<Variant>& Params);
    Variant OpenHandler(std::vector<Variant>& Params);
    Variant CloseHandler(std::vector<Variant>& Params);
    int32_t ShowSettingsDlgHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t GetDeviceInfoHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t GetSettingsHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t SetSettingsHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    int32_t CheckHealthHandler(Variant& InData, Variant& OutData, int32_t TimeOut, std::u16string& ResultDescription);
    AutomationObject& Manager() const;
};

}  // namespace fr
