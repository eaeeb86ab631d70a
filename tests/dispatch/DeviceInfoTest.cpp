#include <gtest/gtest.h>

#include "automation/Text.h"
#include "dispatch/uDeviceInfo.h"
#include "fr_version.h"

using namespace fr;

TEST(DeviceInfo, DefaultsAndArray) {
    TDeviceInfoStruct info;
    SetDefaultDeviceInfo(info);
    EXPECT_EQ(info.TypeName, u"Unknown");
    EXPECT_EQ(info.ProcessorType, 1);
    EXPECT_EQ(info.MajorVersion, FR_VERSION_MAJOR);
    EXPECT_EQ(info.BuildVersion, FR_VERSION_BUILD);  // the fourth number, not the third
    Variant a = DeviceInfoToArray(info);
    ASSERT_EQ(a.array().size(), 15u);
    EXPECT_EQ(a.array().at(11), Variant(std::u16string(SupportContacts::Email)));
    EXPECT_EQ(a.array().at(8), Variant(false));
    EXPECT_EQ(a.array().at(7).type(), VarType::I4);
}

TEST(DeviceInfo, CaptionsAreExactNames) {
    EXPECT_EQ(u8(EquipmentTypeCaption(u"Scanner")), "Сканер штрихкодов");
    EXPECT_EQ(u8(EquipmentTypeCaption(u"scanner")), "scanner");
    EXPECT_EQ(u8(EquipmentTypeCaption(u"FiscalPrinter")), "Фискальный регистратор");
}

TEST(DeviceInfo, VersionAndContacts) {
    TDeviceInfoStruct info;
    info.MajorVersion = 1;
    info.MinorVersion = 1;
    info.BuildVersion = 6;
    EXPECT_EQ(u8(DeviceVersionText(info)), "1.1.6");
    info.CI_email = u"a@b";
    info.CI_www = u"w";
    info.CI_Phones = u"1";
    info.CI_address = u"Москва";
    EXPECT_EQ(u8(ContactBlockText(info)), "E-mail:\ta@b\r\nWeb:\tw\r\nТел:\t1\r\nАдрес:\tМосква\r\n");
}
