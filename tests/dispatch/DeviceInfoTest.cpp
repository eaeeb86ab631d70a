#include <gtest/gtest.h>

#include "automation/Text.h"
#include "dispatch/uDeviceInfo.h"
#include "fr_version.h"
#include "platform/Platform.h"

using namespace fr;

TEST(DeviceInfo, DefaultsAndArray) {
    TDeviceInfoStruct info;
    SetDefaultDeviceInfo(info);
    EXPECT_EQ(info.TypeName, u"Unknown");
    EXPECT_EQ(info.ProcessorType, 1);
    // The module's own file version: first, second and fourth numbers.
    const auto v = platform::fileVersion();
    EXPECT_EQ(info.MajorVersion, v.major);
    EXPECT_EQ(info.MinorVersion, v.minor);
    EXPECT_EQ(info.BuildVersion, v.build);
    Variant a = DeviceInfoToArray(info);
    ASSERT_EQ(a.array().size(), 15u);
    EXPECT_EQ(a.array().at(11), Variant(std::u16string(SupportContacts::Email)));
    EXPECT_EQ(a.array().at(8), Variant(false));
    EXPECT_EQ(a.array().at(7).type(), VarType::I4);
}

TEST(DeviceInfo, FileVersionOfAFileWithoutOne) {
    EXPECT_EQ(platform::fileVersion(u"no-such-file.dll").major, 0);
#ifndef _WIN32
    EXPECT_EQ(platform::fileVersion().major, FR_VERSION_MAJOR);
    EXPECT_EQ(platform::fileVersion().build, FR_VERSION_BUILD);
#endif
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
