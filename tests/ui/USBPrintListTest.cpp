// TUSBPrintList: records from the system's USB printer interfaces, the enabled rule, the index
// checks, and a listing that fails half-way.
#include <gtest/gtest.h>

#include "FakePortSources.h"
#include "automation/Errors.h"
#include "automation/Text.h"
#include "ui/uUSBPrintLib.h"

using namespace fr;
using namespace fr::ui;
using fr::ui::test::FakePortSources;

namespace {
TUSBInterfaceData Interface(std::u16string path, bool statusRead, uint32_t status, uint32_t problem) {
    TUSBInterfaceData d;
    d.InterfacePath = std::move(path);
    d.LocationInfo = u"loc-" + d.InterfacePath;
    d.DeviceDesc = u"desc-" + d.InterfacePath;
    d.StatusRead = statusRead;
    d.Status = status;
    d.Problem = problem;
    return d;
}
}  // namespace

TEST(USBPrintList, RecordsCarryTheInterfaceTheDeviceAndWhetherItIsEnabled) {
    FakePortSources sources;
    sources.usb = {Interface(u"ok", true, 0x0180200A, 0),
                   Interface(u"disabled", true, 0x0180200A | 0x400, 22),
                   Interface(u"other-problem", true, 0x400, 28),
                   Interface(u"code-22-without-the-flag", true, 0x0180200A, 22),
                   Interface(u"no-status", false, 0, 0)};
    TUSBPrintList list(sources);
    ASSERT_TRUE(list.Refresh());
    ASSERT_EQ(list.Count(), 5);
    const bool enabled[] = {true, false, true, true, false};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(u8(sources.usb[static_cast<size_t>(i)].InterfacePath));
        const TUSBPrintInfoRec r = list.Get(i);
        EXPECT_EQ(r.interfacename, sources.usb[static_cast<size_t>(i)].InterfacePath);
        EXPECT_EQ(r.devicename, u"loc-" + r.interfacename);
        EXPECT_EQ(r.description, u"desc-" + r.interfacename);
        EXPECT_EQ(r.isenabled, enabled[i]);
    }
    // GetObject is the stored record, Get a copy.
    list.GetObject(0).description = u"changed";
    EXPECT_EQ(list.Get(0).description, u"changed");
    TUSBPrintInfoRec copy = list.Get(1);
    copy.description = u"not stored";
    EXPECT_EQ(list.Get(1).description, u"desc-disabled");

    // A refresh starts from an empty list.
    sources.usb.resize(1);
    ASSERT_TRUE(list.Refresh());
    EXPECT_EQ(list.Count(), 1);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(USBPrintList, AnIndexOutsideTheListRaisesTheDriversError) {
    FakePortSources sources;
    sources.usb = {Interface(u"a", true, 0, 0), Interface(u"b", true, 0, 0)};
    TUSBPrintList list(sources);
    ASSERT_TRUE(list.Refresh());
    for (int index : {-1, 2, 100}) {
        SCOPED_TRACE(index);
        for (int which = 0; which < 2; ++which) {
            try {
                if (which == 0) list.Get(index);
                else list.GetObject(index);
                ADD_FAILURE() << "no error";
            } catch (const EError& e) {
                EXPECT_EQ(e.message(), u"Ошибка: \r\nНеверный индекс устройства");
            }
        }
    }
    EXPECT_NO_THROW(list.Get(1));
}

TEST(USBPrintList, AFailedDetailCallKeepsTheRecordsReadSoFar) {
    FakePortSources sources;
    sources.usb = {Interface(u"a", true, 0, 0), Interface(u"b", true, 0, 0), Interface(u"c", true, 0, 0)};
    sources.usbFailAt = 2;
    TUSBPrintList list(sources);
    EXPECT_FALSE(list.Refresh());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(1).interfacename, u"b");
}
