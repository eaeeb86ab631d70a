// Saved setting values around a trial with edited settings, and the device settings' defaults.
#include <gtest/gtest.h>

#include "automation/Text.h"
#include "device/uBaseDevice.h"

using namespace fr;

TEST(DeviceSettings, DeclaredInOrderWithTheirDefaults) {
    auto d = TBaseObject::create<TBaseDevice>();
    ASSERT_EQ(d->SettingsCount(), 3);
    EXPECT_EQ(d->GetSetting(0)->ID, u"DefaultTimeOut");
    EXPECT_EQ(d->GetSetting(0)->Value, Variant(120));
    EXPECT_EQ(d->GetSetting(1)->ID, u"EventLogEnabled");
    EXPECT_EQ(d->GetSetting(2)->ID, u"DebugLogEnabled");
    EXPECT_EQ(d->DefaultTimeOut(), 120);
    d->SetDefaultTimeOut(30);
    EXPECT_EQ(d->GetSettingValue(u"DefaultTimeOut"), Variant(30));
}

TEST(DeviceSettings, StoreAndRestoreNamedSettings) {
    auto d = TBaseObject::create<TBaseDevice>();
    d->StoreSettings({u"DefaultTimeOut", u"NoSuchSetting"});
    ASSERT_EQ(d->BufSettings().size(), 2u);
    EXPECT_TRUE(d->BufSettings()[1].Value.isEmpty());
    d->SetSettingValue(u"DefaultTimeOut", Variant(5));
    d->RestoreSettings();
    EXPECT_EQ(d->GetSettingValue(u"DefaultTimeOut"), Variant(120));
    EXPECT_TRUE(d->BufSettings().empty());
    d->SetSettingValue(u"DefaultTimeOut", Variant(7));
    d->RestoreSettings();  // nothing saved: nothing changes
    EXPECT_EQ(d->GetSettingValue(u"DefaultTimeOut"), Variant(7));
}

TEST(DeviceSettings, StoreAllAndFocusWithoutWindows) {
    auto d = TBaseObject::create<TBaseDevice>();
    d->StoreSettings();
    d->SetEventLogEnabled(true);
    d->SetDefaultTimeOut(1);
    d->RestoreSettings();
    EXPECT_FALSE(d->EventLogEnabled());
    EXPECT_EQ(d->DefaultTimeOut(), 120);
    d->RestoreFocus();  // nothing stored: nothing happens
    d->StoreFocus();
    d->RestoreFocus();
    EXPECT_EQ(d->AddActionsCount(), 0);
    EXPECT_EQ(d->GetAddAction(0), nullptr);
}
