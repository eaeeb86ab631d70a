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
    Variant a = DeviceInfoToArray(info);
    ASSERT_EQ(a.array().size(), 15u);
    EXPECT_EQ(a.array().at(11), Variant(std::u16string(SupportContacts::Email)));
    EXPECT_EQ(a.array().at(8), Variant(false));
    EXPECT_EQ(a.array().at(7).type(), VarType::I4);
}

// The module's own file version: first, second and fourth numbers. On Windows the test program
// carries 4.3.2.1 (test_version.rc), every part different, so a part read from the wrong place
// shows; natively the module's version is the project's.
TEST(DeviceInfo, TheModulesOwnVersion) {
#ifdef _WIN32
    const platform::FileVersion expected{4, 3, 2, 1};
#else
    const platform::FileVersion expected{FR_VERSION_MAJOR, FR_VERSION_MINOR, FR_VERSION_RELEASE, FR_VERSION_BUILD};
#endif
    const auto v = platform::fileVersion();
    EXPECT_EQ(v.major, expected.major);
    EXPECT_EQ(v.minor, expected.minor);
    EXPECT_EQ(v.release, expected.release);
    EXPECT_EQ(v.build, expected.build);
    TDeviceInfoStruct info;
    SetDefaultDeviceInfo(info);
    EXPECT_EQ(info.MajorVersion, expected.major);
    EXPECT_EQ(info.MinorVersion, expected.minor);
    EXPECT_EQ(info.BuildVersion, expected.build);
    EXPECT_EQ(platform::fileVersion(u"no-such-file.dll").major, 0);
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
