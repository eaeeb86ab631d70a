// The Windows port sources on the system Wine gives us: the registry device map, SetupAPI, the
// USB printer interfaces and opening port devices answer without crashing, and an absent port is
// not free.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ui/uPortEnum.h"
#include "ui/uUSBPrintLib.h"

using namespace fr::ui;

TEST(Win32PortSources, TheSystemSourcesAnswerWithoutCrashing) {
    for (int kind : {pkSerial, pkParallel, pkBoth}) {
        for (const TPortName& p : EnumeratePorts(SystemPortSources(), kind, kind == pkBoth, kind != pkParallel)) {
            EXPECT_FALSE(p.Name.empty());
            EXPECT_GE(p.Number, 0);
        }
    }
    // Every numbered port of the registry's serial device map is in the serial list.
    const TPortNames serial = EnumeratePorts(SystemPortSources(), pkSerial, false, true);
    for (const std::u16string& value : SystemPortSources().DeviceMapValues(TDeviceMap::dmSerial)) {
        if (value.rfind(u"COM", 0) != 0) continue;
        const int number = std::stoi(std::string(value.begin() + 3, value.end()));
        EXPECT_TRUE(std::any_of(serial.begin(), serial.end(), [&](const TPortName& p) { return p.Number == number; })) << number;
    }
    TUSBPrintList usb(SystemPortSources());
    usb.Refresh();
    EXPECT_GE(usb.Count(), 0);
    EXPECT_FALSE(SystemPortOpener().IsPortFree(u"COM250"));
    EXPECT_FALSE(SystemPortOpener().IsPortFree(u"LPT9"));
}
