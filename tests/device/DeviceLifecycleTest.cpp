// The generic life cycle through the method table, as a host calls it, on a device class whose
// hooks are recorded and can be told to fail.
#include <gtest/gtest.h>

#include "FakeEquipmentManager.h"
#include "adapter/uDriver.h"
#include "automation/Errors.h"
#include "automation/Text.h"
#include "dispatch/uEquipmentErrors.h"
#include "platform/Platform.h"

using namespace fr;
using fr::test::FakeEquipmentManager;

namespace {
class TRecordingDevice : public TBaseDevice {
public:
    std::vector<std::string> hooks;
    int32_t enableCode = 0;
    int32_t disableCode = 0;
    std::u16string enableText;

protected:
    void CreateObjects() override { hooks.push_back("CreateObjects"); }
    void OnSetDeviceInfo() override { hooks.push_back("OnSetDeviceInfo"); }
    void RegisterMethods() override {
        hooks.push_back("RegisterMethods");
        TBaseDevice::RegisterMethods();
    }
    void DeclareSettings() override {
        hooks.push_back("DeclareSettings");
        TBaseDevice::DeclareSettings();
    }
    void SettingsChanged() override { hooks.push_back("SettingsChanged"); }
    int32_t DoInit(std::u16string&) override { hooks.push_back("DoInit"); return 0; }
    int32_t DoOpen(std::u16string&) override { hooks.push_back("DoOpen"); return 0; }
    void DoClose() override { hooks.push_back("DoClose"); }
    void AfterClose() override { hooks.push_back("AfterClose"); }
    int32_t DoEnable(std::u16string& d) override {
        hooks.push_back("DoEnable");
        d = enableText;
        return enableCode;
    }
    int32_t DoDisable(std::u16string&) override {
        hooks.push_back("DoDisable");
        return disableCode;
    }
    void FreeObjects() override { hooks.push_back("FreeObjects"); }
};

struct Host {
    std::shared_ptr<TRecordingDevice> device = TBaseObject::create<TRecordingDevice>();
    DispatchObject obj{device};
    std::shared_ptr<FakeEquipmentManager> manager = std::make_shared<FakeEquipmentManager>();

    // Public method: returns the call value and leaves OutData.
    bool call(const std::u16string& name, Variant& outData, const Variant& inData = Variant()) {
        std::vector<Arg> args{Arg(inData), Arg(Variant(), true), Arg(Variant(0))};
        bool r = obj.call(name, args).toBool();
        outData = args[1].value;
        return r;
    }
    int32_t code(const std::u16string& name, const Variant& inData = Variant()) {
        Variant out;
        if (call(name, out, inData)) return 0;
        return out.array().at(0).toInt();
    }
    bool init(const Variant& arg, std::u16string& description) {
        std::vector<Arg> args{Arg(arg), Arg(Variant(), true)};
        bool r = obj.call(u"Init", args).toBool();
        description = args[1].value.toText();
        return r;
    }
};
}  // namespace

TEST(DeviceLifecycle, InitializeRunsHooksInOrderAndRegistersTheTenMethods) {
    Host h;
    EXPECT_EQ(h.device->hooks,
              (std::vector<std::string>{"CreateObjects", "OnSetDeviceInfo", "RegisterMethods", "DeclareSettings"}));
    const char16_t* names[] = {u"Init", u"Open", u"Close", u"ShowSettingsDlg", u"GetDeviceInfo",
                               u"Enable", u"Disable", u"GetSettings", u"SetSettings", u"CheckHealth"};
    for (int i = 0; i < 10; ++i) {
        int32_t id = -1;
        EXPECT_EQ(h.device->getIDsOfNames(names[i], id), kS_OK);
        EXPECT_EQ(id, i) << u8(names[i]);
    }
    EXPECT_EQ(h.device->DeviceState(), TDeviceState::dsCreated);
}

TEST(DeviceLifecycle, InitChecksItsArgumentAndAsksForFolders) {
    Host h;
    std::u16string d;
    EXPECT_FALSE(h.init(Variant(u"не объект"), d));
    EXPECT_EQ(u8(d), "Ошибка входных параметров команды");
    EXPECT_EQ(h.device->DeviceState(), TDeviceState::dsCreated);
    EXPECT_TRUE(h.device->EqManager().isEmpty());

    h.manager->properties = {{u"ModelsFolder", u"/models"}, {u"Language", u"ru"}};
    EXPECT_TRUE(h.init(Variant(std::shared_ptr<AutomationObject>(h.manager)), d));
    EXPECT_EQ(u8(d), "Нет ошибок");
    EXPECT_EQ(h.device->DeviceState(), TDeviceState::dsInited);
    EXPECT_EQ(u8(h.device->Language()), "ru");
    const std::string sep = u8(std::u16string(1, platform::pathDelimiter()));
    EXPECT_EQ(u8(h.device->ModelFolder()), "/models" + sep);
}

TEST(DeviceLifecycle, OpenSetsTheDeviceFolderAndCloseForgetsTheManager) {
    Host h;
    std::u16string d;
    h.manager->properties = {{u"DevicesFolder", u"/devices"}};
    ASSERT_TRUE(h.init(Variant(std::shared_ptr<AutomationObject>(h.manager)), d));
    std::vector<Arg> open{Arg(Variant(u"dev-1")), Arg(Variant(), true)};
    EXPECT_TRUE(h.obj.call(u"Open", open).toBool());
    const std::string sep = u8(std::u16string(1, platform::pathDelimiter()));
    EXPECT_EQ(u8(h.device->DeviceFolder()), "/devices" + sep + "dev-1" + sep);
    EXPECT_EQ(u8(h.manager->calls.back()), "GetAppProperty(dev-1,DevicesFolder,)");

    std::vector<Arg> badOpen{Arg(Variant(5)), Arg(Variant(), true)};
    EXPECT_FALSE(h.obj.call(u"Open", badOpen).toBool());
    EXPECT_EQ(u8(badOpen[1].value.toText()), "Ошибка входных параметров команды");

    EXPECT_EQ(h.obj.call(u"Close"), Variant(true));
    EXPECT_TRUE(h.device->EqManager().isEmpty());
    EXPECT_TRUE(h.device->DeviceID().empty());
    try {
        h.device->GetAppProperty(u"Language");
        FAIL();
    } catch (const EError& e) {
        EXPECT_EQ(u8(e.message()), "Менеджер оборудования недоступен");
    }
}

TEST(DeviceLifecycle, EnableDisableAndTheirStates) {
    Host h;
    h.device->enableCode = 1007;
    Variant out;
    EXPECT_FALSE(h.call(u"Enable", out));
    EXPECT_EQ(out.array().at(0), Variant(1007));
    EXPECT_EQ(u8(out.array().at(1).toText()), "Устройство не отвечает");
    EXPECT_EQ(h.device->DeviceState(), TDeviceState::dsCreated);

    h.device->enableCode = 0;
    EXPECT_TRUE(h.call(u"Enable", out));
    EXPECT_TRUE(h.device->Enabled());

    h.device->disableCode = 1011;
    EXPECT_EQ(h.code(u"Disable"), 1011);
    EXPECT_TRUE(h.device->Enabled());  // a failed Disable leaves the state as it was
    h.device->disableCode = 0;
    EXPECT_EQ(h.code(u"Disable"), 0);
    EXPECT_EQ(h.device->DeviceState(), TDeviceState::dsInited);
}

TEST(DeviceLifecycle, CheckHealthTouchesAnEnabledDeviceNot) {
    Host h;
    ASSERT_EQ(h.code(u"Enable"), 0);
    h.device->hooks.clear();
    EXPECT_EQ(h.code(u"CheckHealth"), 0);
    EXPECT_TRUE(h.device->hooks.empty());

    ASSERT_EQ(h.code(u"Disable"), 0);
    h.device->hooks.clear();
    h.device->enableCode = 1007;
    h.device->enableText = u"своё описание";
    Variant out;
    EXPECT_FALSE(h.call(u"CheckHealth", out));
    EXPECT_EQ(u8(out.array().at(1).toText()), "Устройство не отвечает");  // the standard text wins
    EXPECT_EQ(h.device->hooks, (std::vector<std::string>{"DoEnable", "DoDisable"}));
    EXPECT_EQ(h.device->DeviceState(), TDeviceState::dsInited);
}

TEST(DeviceLifecycle, SettingsExchangeAndTheChangedHook) {
    Host h;
    Variant settings;
    ASSERT_TRUE(h.call(u"GetSettings", settings));
    VariantArray& t = settings.array().at(0).array();
    EXPECT_EQ(t.at({0, 0}), Variant(u"DefaultTimeOut"));
    t.at({1, 2}) = Variant(true);
    h.device->hooks.clear();
    Variant out;
    EXPECT_TRUE(h.call(u"SetSettings", out, settings));
    EXPECT_TRUE(h.device->GetSettingValueBool(u"DebugLogEnabled"));
    EXPECT_EQ(h.device->hooks, std::vector<std::string>{"SettingsChanged"});
    EXPECT_EQ(h.code(u"SetSettings", Variant(u"x")), 1004);
    EXPECT_EQ(h.code(u"SetSettings", Variant(VariantArray::vector({Variant(1)}))), 1004);
}

TEST(DeviceLifecycle, DriverIdentifiesAsTheFiscalPrinter) {
    auto driver = TBaseObject::create<TDriverFR>();
    DispatchObject obj(driver);
    std::vector<Arg> args{Arg(Variant()), Arg(Variant(), true), Arg(Variant(0))};
    ASSERT_TRUE(obj.call(u"GetDeviceInfo", args).toBool());
    const VariantArray& a = args[1].value.array();
    ASSERT_EQ(a.size(), 15u);
    EXPECT_EQ(a.at(0), Variant(u"FiscalPrinter"));
    EXPECT_EQ(a.at(2), Variant(u"Сольвикс: Фискальный регистратор Vornlex"));
    EXPECT_EQ(a.at(6), Variant(u"Eqdr.FrVornlex"));
    EXPECT_EQ(a.at(8), Variant(true));
    EXPECT_EQ(a.at(11), Variant(std::u16string(SupportContacts::Email)));
}

TEST(DeviceLifecycle, ShowSettingsDlgWithoutADialog) {
    Host h;
    Variant out;
    EXPECT_FALSE(h.call(u"ShowSettingsDlg", out));
    EXPECT_EQ(out.array().at(0), Variant(1003));
    EXPECT_EQ(u8(out.array().at(1).toText()), "Команда не поддерживается устройством");
}
