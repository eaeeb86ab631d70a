#include "device/uBaseDevice.h"

#include <cstdio>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "device/uDeviceId.h"
#include "dispatch/uEquipmentErrors.h"
#include "dispatch/uLogText.h"
#include "platform/Platform.h"

namespace fr {

namespace {
// Exactly an automation-object reference: what Init takes and the manager wrappers call.
bool holdsObject(const Variant& v) { return !v.isArray() && v.type() == VarType::Dispatch && v.object(); }
}  // namespace

void AddSpecificMethod(TSpecificMethods& methods, const std::u16string& name, TPublicMethod method) {
    methods.push_back({name, std::move(method)});
}

void TBaseDevice::Initialize() {
    TBaseObject::Initialize();
    SetDebugLogEnabled(false);
    FEqManager = Variant();
    FDeviceID.clear();
    FWindows.clear();
    FDebugLogDir.clear();
    FModelsFolder.clear();
    CreateObjects();
    SetDefaultDeviceInfo(FDeviceInfo);
    OnSetDeviceInfo();
    RegisterMethods();
    DeclareSettings();
    FDeviceState = TDeviceState::dsCreated;
}

void TBaseDevice::Destroy() noexcept {
    try {
        Disable();
    } catch (...) {
    }
    try {
        FreeObjects();
    } catch (...) {
    }
    TBaseObject::Destroy();
    FEqManager = Variant();
    FWindows.clear();
}

void TBaseDevice::RegisterMethods() {
    RegisterPrivateMethod(u"Init", &TBaseDevice::InitHandler);
    RegisterPrivateMethod(u"Open", &TBaseDevice::OpenHandler);
    RegisterPrivateMethod(u"Close", &TBaseDevice::CloseHandler);
    RegisterPublicMethod(u"ShowSettingsDlg", &TBaseDevice::ShowSettingsDlgHandler);
    RegisterPublicMethod(u"GetDeviceInfo", &TBaseDevice::GetDeviceInfoHandler);
    RegisterPublicMethod(u"Enable", &TBaseDevice::EnableHandler);
    RegisterPublicMethod(u"Disable", &TBaseDevice::DisableHandler);
    RegisterPublicMethod(u"GetSettings", &TBaseDevice::GetSettingsHandler);
    RegisterPublicMethod(u"SetSettings", &TBaseDevice::SetSettingsHandler);
    RegisterPublicMethod(u"CheckHealth", &TBaseDevice::CheckHealthHandler);
}

void TBaseDevice::RegisterSpecificMethods(const TSpecificMethods& methods) {
    for (const auto& m : methods) TBaseObject::RegisterSpecificMethod(m.Name, m.Method);
}

void TBaseDevice::DeclareSettings() {
    AddSetting(u"DefaultTimeOut", TDataType::dtNumber, Variant(120), false, u"Таймаут по умолчанию",
               u"Таймаут по умолчанию. Используется в случае, если при вызове метода параметр Timeout равен 0");
    AddSetting(u"EventLogEnabled", TDataType::dtBoolean, Variant(false), false, u"Журнал событий",
               u"Если равно True, ведется журнал критических событий и ошибок");
    AddSetting(u"DebugLogEnabled", TDataType::dtBoolean, Variant(false), false, u"Отладочный лог",
               u"Если равно True, ведется отладочный лог");
}

void TBaseDevice::BeginDebugLog() {
    const std::u16string line40(40, u' ');
    DebugLog(line40, u"", true);
    DebugLog(u"============Begin debug log=============", u"", true);
    const auto v = platform::fileVersion();
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d.%d.%d", v.major, v.minor, v.build);
    DebugLog(u"driver ver.", utf8ToUtf16(buf));
    DebugLog(u"device ID", FDeviceID);
    DebugLog(u"----------------Settings----------------", u"", true);
    for (const auto& s : FSettingList.items()) DebugLog(s.ID, VariantToLogText(s.Value));
    DebugLog(std::u16string(40, u'-'), u"", true);
}

std::u16string TBaseDevice::GetDeviceVersion() const { return DeviceVersionText(FDeviceInfo); }

// ---- the generic methods ----

Variant TBaseDevice::InitHandler(std::vector<Variant>& Params) {
    FEqManager = Variant();
    std::u16string description;
    int32_t code;
    if (Params.empty() || !holdsObject(Params[0])) {
        code = rcInvalidParameters;
    } else {
        FEqManager = Params[0];
        code = DoInit(description);
    }
    if (Params.size() > 1) Params[1] = Variant(ResultCodeDescription(code, description));
    if (code == 0) {
        FDeviceState = TDeviceState::dsInited;
        FModelsFolder = platform::includeTrailingPathDelimiter(GetAppProperty(u"ModelsFolder"));
        FLanguage = GetAppProperty(u"Language");
    }
    return Variant(code == 0);
}

Variant TBaseDevice::OpenHandler(std::vector<Variant>& Params) {
    FDeviceID.clear();
    std::u16string description;
    int32_t code;
    if (Params.empty() || !Params[0].isText()) {
        code = rcInvalidParameters;
    } else if (description = DeviceIdProblem(std::u16string(Params[0].rawText())); !description.empty()) {
        // Refused before anything is asked or made: the ID would name a place outside the
        // devices folder, or a device.
        FDeviceFolder.clear();
        code = rcInvalidParameters;
    } else {
        FDeviceID = Params[0].rawText();
        FDeviceFolder = GetDeviceFolder();
        code = DoOpen(description);
    }
    if (Params.size() > 1) Params[1] = Variant(ResultCodeDescription(code, description));
    return Variant(code == 0);
}

Variant TBaseDevice::CloseHandler(std::vector<Variant>&) {
    DoClose();
    FDeviceID.clear();
    FEqManager = Variant();
    AfterClose();
    return Variant(true);
}

int32_t TBaseDevice::ShowSettingsDlgHandler(Variant&, Variant&, int32_t, std::u16string&) {
    if (!FDeviceInfo.IsSettingsDlgExist) return rcCommandNotSupported;
    return ShowSettingsDialog() ? 0 : rcCancelledByUser;
}

int32_t TBaseDevice::GetDeviceInfoHandler(Variant&, Variant& OutData, int32_t, std::u16string&) {
    OutData = DeviceInfoToArray(FDeviceInfo);
    return 0;
}

int32_t TBaseDevice::EnableHandler(Variant&, Variant&, int32_t, std::u16string& ResultDescription) {
    return Enable(ResultDescription);
}

int32_t TBaseDevice::DisableHandler(Variant&, Variant&, int32_t, std::u16string& ResultDescription) {
    return InternalDisable(ResultDescription);
}

int32_t TBaseDevice::GetSettingsHandler(Variant&, Variant& OutData, int32_t, std::u16string&) {
    OutData = FSettingList.ToExchangeArray();
    return 0;
}

int32_t TBaseDevice::SetSettingsHandler(Variant& InData, Variant&, int32_t, std::u16string&) {
    // A malformed array changes nothing.
    if (!FSettingList.ApplyExchangeArray(InData)) return rcInvalidParameters;
    SettingsChanged();
    return 0;
}

int32_t TBaseDevice::CheckHealthHandler(Variant&, Variant&, int32_t, std::u16string& ResultDescription) {
    return CheckHealth(ResultDescription);
}

// ---- enabling ----

int32_t TBaseDevice::Enable(std::u16string& ResultDescription) {
    FDebugLogDir = FDeviceFolder;
    SetDebugLogEnabled(GetSettingValueBool(u"DebugLogEnabled"));
    int32_t code = DoEnable(ResultDescription);
    if (code != 0) {
        if (ResultDescription.empty()) ResultDescription = GetDriverResultDescription(code);
    } else {
        FDeviceState = TDeviceState::dsEnabled;
    }
    return code;
}

int32_t TBaseDevice::Enable() {
    std::u16string ignored;
    return Enable(ignored);
}

int32_t TBaseDevice::InternalDisable(std::u16string& ResultDescription) {
    // The log goes off whatever the outcome, also when DoDisable raises.
    struct LogOff {
        TBaseDevice* self;
        ~LogOff() { self->SetDebugLogEnabled(false); }
    } logOff{this};
    int32_t code = DoDisable(ResultDescription);
    if (code == 0) FDeviceState = TDeviceState::dsInited;
    return code;
}

int32_t TBaseDevice::Disable() {
    std::u16string ignored;
    return InternalDisable(ignored);
}

void TBaseDevice::SetEnabled(bool value) {
    if (value == Enabled()) return;
    if (value) Enable();
    else Disable();
}

int32_t TBaseDevice::CheckHealth(std::u16string& ResultDescription) {
    const bool wasEnabled = FDeviceState == TDeviceState::dsEnabled;
    int32_t code = wasEnabled ? 0 : Enable(ResultDescription);
    ResultDescription = GetDriverResultDescription(code);
    if (!wasEnabled) Disable();
    return code;
}

bool TBaseDevice::DeviceTest(std::u16string& ResultDescription) {
    ResultDescription = ResultCodeDescription(rcCommandNotSupported, u"");
    return false;
}

int32_t TBaseDevice::RunAdditionalAction(const std::u16string&, std::u16string&) { return 0; }

// ---- settings services ----

int32_t TBaseDevice::DefaultTimeOut() const { return GetSettingValueInt(u"DefaultTimeOut"); }
void TBaseDevice::SetDefaultTimeOut(int32_t value) { SetSettingValue(u"DefaultTimeOut", Variant(value)); }
bool TBaseDevice::EventLogEnabled() const { return GetSettingValueBool(u"EventLogEnabled"); }
void TBaseDevice::SetEventLogEnabled(bool value) { SetSettingValue(u"EventLogEnabled", Variant(value)); }

void TBaseDevice::StoreSettings() {
    FBufSettings.clear();
    for (const auto& s : FSettingList.items()) FBufSettings.push_back({s.ID, s.Value});
}

void TBaseDevice::StoreSettings(const std::vector<std::u16string>& ids) {
    FBufSettings.clear();
    for (const auto& id : ids) FBufSettings.push_back({id, GetSettingValue(id)});
}

void TBaseDevice::RestoreSettings() {
    for (const auto& saved : FBufSettings)
        if (TSettingStruct* s = FSettingList.Find(saved.ID)) s->Value = saved.Value;
    FBufSettings.clear();
}

const TAdditionalAction* TBaseDevice::GetAddAction(int index) const {
    if (index < 0 || index >= AddActionsCount()) return nullptr;
    return &FAdditionalActions[static_cast<size_t>(index)];
}

// ---- folders ----

std::u16string TBaseDevice::GetDeviceFolder() {
    std::u16string devices = GetAppProperty(u"DevicesFolder");
    if (devices.empty() || FDeviceID.empty()) return {};
    return platform::includeTrailingPathDelimiter(platform::includeTrailingPathDelimiter(devices) + FDeviceID);
}

std::u16string TBaseDevice::GetModelFolder() const {
    return platform::includeTrailingPathDelimiter(FModelsFolder + FDeviceInfo.ModelID);
}

std::u16string TBaseDevice::GetLanguage() { return GetAppProperty(u"Language"); }

// ---- the equipment manager ----

AutomationObject& TBaseDevice::Manager() const {
    if (!holdsObject(FEqManager))
        throw EError(u"Менеджер оборудования недоступен");
    return *FEqManager.object();
}

std::u16string TBaseDevice::GetAppProperty(const std::u16string& PropName) {
    AutomationObject& m = Manager();
    std::vector<Arg> args{Arg(Variant(FDeviceID), true), Arg(Variant(PropName), true), Arg(Variant(u""), true)};
    Variant ok = m.call(u"GetAppProperty", args);
    if (!ok.toBool()) return {};
    return args[2].value.isEmptyOrNull() ? std::u16string() : args[2].value.toText();
}

bool TBaseDevice::DataEvent(const std::u16string& Event, const std::u16string& Data, const Variant& ExtData) {
    AutomationObject& m = Manager();
    std::vector<Arg> args{Arg(Variant(FDeviceID)), Arg(Variant(Event)), Arg(Variant(Data)), Arg(ExtData, true)};
    bool result = m.call(u"DataEvent", args).toBool();
    if (DebugLogEnabled()) {
        std::u16string text = u"Event=" + Event + u"; Data: " + Data;
        if (!ExtData.isEmpty()) text += u"; ExtData: " + VariantToLogText(ExtData);
        DebugLog(u"<-DataEvent", text);
    }
    return result;
}

bool TBaseDevice::ErrorEvent(const std::u16string& ErrorName, const std::u16string& Description, const Variant& ExtData) {
    AutomationObject& m = Manager();
    std::vector<Arg> args{Arg(Variant(FDeviceID)), Arg(Variant(ErrorName)), Arg(Variant(Description)), Arg(ExtData, true)};
    return m.call(u"ErrorEvent", args).toBool();
}

bool TBaseDevice::TaskState(int32_t Percent, const std::u16string& Description) {
    AutomationObject& m = Manager();
    std::vector<Arg> args{Arg(Variant(FDeviceID)), Arg(Variant(Percent), true), Arg(Variant(Description))};
    bool result = m.call(u"TaskState", args).toBool();
    WriteLog(u"TaskState",
             u"Percent=" + utf8ToUtf16(std::to_string(Percent)) + u"; Description=" + Description + u"; Result=" +
                 (result ? u"True" : u"False"),
             1);
    return result;
}

bool TBaseDevice::WriteLog(const std::u16string& Name, const std::u16string& Text, int32_t EventType) {
    if (DebugLogEnabled()) DebugLog(Name, Text);
    if (!EventLogEnabled() || FEqManager.isEmpty()) return false;
    std::vector<Arg> args{Arg(Variant(FDeviceID)), Arg(Variant(Name)), Arg(Variant(Text)), Arg(Variant(EventType), true)};
    return Manager().call(u"WriteLog", args).toBool();
}

int32_t TBaseDevice::ShowMessageDlg(const std::u16string& Text, int32_t MessageType, int32_t Buttons, int32_t TimeOut) {
    AutomationObject& m = Manager();
    std::vector<Arg> args{Arg(Variant(FDeviceID)), Arg(Variant(Text)), Arg(Variant(MessageType), true),
                          Arg(Variant(Buttons), true), Arg(Variant(TimeOut), true)};
    return m.call(u"MessageDlg", args).toInt();
}

std::u16string TBaseDevice::InputDataDlg(const std::u16string& Caption, const std::u16string& DefaultText,
                                         const std::u16string& Description, const std::u16string& Mask, bool Password,
                                         int32_t TimeOut) {
    AutomationObject& m = Manager();
    std::vector<Arg> args{Arg(Variant(FDeviceID)), Arg(Variant(Caption)),  Arg(Variant(DefaultText)),
                          Arg(Variant(Description)), Arg(Variant(Mask)), Arg(Variant(Password)),
                          Arg(Variant(TimeOut), true)};
    Variant r = m.call(u"InputDataDlg", args);
    return r.isEmptyOrNull() ? std::u16string() : r.toText();
}

// ---- focus ----

void TBaseDevice::StoreFocus() { FWindows.push_back(platform::takeForegroundWindow()); }

void TBaseDevice::RestoreFocus() {
    if (FWindows.empty()) return;
    platform::WindowHandle w = FWindows.back();
    FWindows.pop_back();
    platform::giveBackForegroundWindow(w);
}

}  // namespace fr
