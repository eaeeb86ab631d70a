// EnumeratePorts on scripted sources: the remote-session list, the device map, the device setup
// pass (names, numbers, kinds, the end of the pass) and the order of the result.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "FakePortSources.h"
#include "automation/Text.h"
#include "ui/uPortEnum.h"

namespace fr::ui {
void PrintTo(const TPortName& p, std::ostream* os) { *os << u8(p.Name) << "=" << p.Number; }
}  // namespace fr::ui

using namespace fr;
using namespace fr::ui;
using fr::ui::test::FakePortSources;
using fr::ui::test::SetupDevice;

namespace {

// "name=number|name=number", readable in a failure message.
std::string Shown(const TPortNames& list) {
    std::string s;
    for (const TPortName& p : list) s += (s.empty() ? "" : "|") + u8(p.Name) + "=" + std::to_string(p.Number);
    return s;
}

TSetupPortDevice Named(std::u16string friendly, std::u16string desc, std::u16string cls, std::u16string guid,
                       std::u16string portName) {
    TSetupPortDevice d;
    d.FriendlyName = std::move(friendly);
    d.DeviceDesc = std::move(desc);
    d.ClassName = std::move(cls);
    d.ClassGuid = std::move(guid);
    d.PortName = std::move(portName);
    return d;
}

struct Case {
    const char* what;
    std::function<void(FakePortSources&)> given;
    int kind;
    bool shortNames;
    bool sortByNumber;
    const char* expected;
};

}  // namespace

TEST(EnumeratePorts, ListsByTheRules) {
    const Case cases[] = {
        {"a port only in the device map keeps its bare name",
         [](FakePortSources& s) { s.serialMap = {u"COM7"}; }, pkSerial, false, true, "COM7=7"},
        {"the setup pass's friendly name replaces the bare name of the same number",
         [](FakePortSources& s) {
             s.serialMap = {u"COM3", u"COM7"};
             s.devices = {SetupDevice(u"Последовательный порт (COM3)", u"COM3")};
         },
         pkSerial, false, true, "Последовательный порт (COM3)=3|COM7=7"},
        {"device-map values: the text from the prefix on, three digits at most after it, no repeats "
         "ignoring case, values without a number or prefix left out",
         [](FakePortSources& s) {
             s.serialMap = {u"COM12", u"COM12", u"COM123abc", u"COM123ABC", u"\\DosDevices\\COM4", u"COMx",
                            u"Serial0",  u"COM1234", u"COM", u"com7"};
         },
         pkSerial, false, true, "COM4=4|COM12=12|COM123abc=123|COM1234=123"},
        {"a parallel key's value \\DosDevices\\LPT1 gives LPT1; the serial key is not read",
         [](FakePortSources& s) {
             s.serialMap = {u"COM1"};
             s.parallelMap = {u"\\DosDevices\\LPT1", u"LPT2"};
         },
         pkParallel, false, true, "LPT1=1|LPT2=2"},
        {"both kinds: serial key first, the friendly name replaces only the entry of its own prefix",
         [](FakePortSources& s) {
             s.serialMap = {u"COM1"};
             s.parallelMap = {u"LPT1"};
             s.devices = {SetupDevice(u"Порт принтера (LPT1)", u"LPT1"), SetupDevice(u"Modem (COM2)")};
         },
         pkBoth, false, true, "COM1=1|Порт принтера (LPT1)=1|Modem (COM2)=2"},
        {"a serial list leaves parallel devices out, whether numbered by PortName or by name",
         [](FakePortSources& s) {
             s.devices = {SetupDevice(u"ECP Printer Port (LPT1)", u"LPT1"), SetupDevice(u"Printer Port (LPT2)"),
                          SetupDevice(u"Communications Port (COM1)")};
         },
         pkSerial, false, true, "Communications Port (COM1)=1"},
        {"a parallel list leaves serial devices out",
         [](FakePortSources& s) {
             s.devices = {SetupDevice(u"Communications Port (COM1)", u"COM1"), SetupDevice(u"Printer Port (LPT3)")};
         },
         pkParallel, false, true, "Printer Port (LPT3)=3"},
        {"PortName's fourth to sixth characters are the number, before anything in the name; "
         "a PortName without a number leaves the device out",
         [](FakePortSources& s) {
             s.devices = {SetupDevice(u"USB Serial Port (COM3)", u"COM12"), SetupDevice(u"Bad (COM4)", u"COMX"),
                          SetupDevice(u"Short (COM5)", u"COM")};
         },
         pkSerial, false, true, "USB Serial Port (COM3)=12"},
        {"numbers from names: upper-cased search, cut at the first ')' unless it comes first, at least "
         "two characters after \"(COM\"; \"COM\" itself is looked for with its case",
         [](FakePortSources& s) {
             s.devices = {SetupDevice(u"Modem (COM12"),  SetupDevice(u"Modem (COM7"),  SetupDevice(u"Port (COM)x"),
                          SetupDevice(u"COM port (com4)"), SetupDevice(u"port (com5)"), SetupDevice(u"Port (COM 6)"),
                          SetupDevice(u"Port (COM9) (COM8)")};
         },
         pkSerial, false, true, "COM port (com4)=4|Port (COM9) (COM8)=9|Modem (COM12=12"},
        {"the name is the first of friendly name, description, class name and class GUID; a device "
         "without any (\"<Unknown Device>\") or whose name says no port kind is left out",
         [](FakePortSources& s) {
             s.serialMap = {u"COM6"};
             s.devices = {Named(u"", u"Описание (COM2)", u"Ports", u"", u""),
                          Named(u"", u"", u"Ports (COM & LPT)", u"{4D36E978}", u"COM8"),
                          Named(u"", u"", u"", u"{4D36E978-E325-11CE-BFC1-08002BE10318}", u"COM9"),
                          Named(u"", u"", u"", u"", u"COM6")};
         },
         pkSerial, false, true, "Описание (COM2)=2|COM6=6|Ports (COM & LPT)=8"},
        {"a node status that cannot be read ends the pass",
         [](FakePortSources& s) {
             s.devices = {SetupDevice(u"A (COM1)"), SetupDevice(u"B (COM2)"), SetupDevice(u"C (COM3)")};
             s.devices[1].StatusRead = false;
         },
         pkSerial, false, true, "A (COM1)=1"},
        {"a setup class marked NoDisplayClass ends the pass",
         [](FakePortSources& s) {
             s.devices = {SetupDevice(u"A (COM1)"), SetupDevice(u"B (COM2)"), SetupDevice(u"C (COM3)")};
             s.devices[1].NoDisplayClass = true;
         },
         pkSerial, false, true, "A (COM1)=1"},
        {"without the setup interface the device map is the list",
         [](FakePortSources& s) {
             s.serialMap = {u"COM2", u"COM1"};
             s.setupAvailable = false;
             s.devices = {SetupDevice(u"A (COM1)")};
         },
         pkSerial, false, true, "COM1=1|COM2=2"},
        {"short names end before \"(COM\" (found ignoring case); names without it stay whole; a replaced "
         "bare name takes the whole name",
         [](FakePortSources& s) {
             s.serialMap = {u"COM1"};
             s.devices = {SetupDevice(u"Communications Port (COM1)"), SetupDevice(u"USB Serial (com5) COM"),
                          SetupDevice(u"COM9 modem", u"COM9"), SetupDevice(u"Port (LPT2)", u"LPT2")};
         },
         pkBoth, true, true, "Communications Port (COM1)=1|Port (LPT2)=2|USB Serial =5|COM9 modem=9"},
        {"sorted by text ignoring the case of Latin and Cyrillic letters",
         [](FakePortSources& s) {
             s.devices = {SetupDevice(u"b (COM1)"), SetupDevice(u"Б (COM2)"), SetupDevice(u"A (COM3)"),
                          SetupDevice(u"а (COM4)"), SetupDevice(u"ё (COM5)"), SetupDevice(u"Ж (COM6)")};
         },
         pkSerial, false, false, "A (COM3)=3|b (COM1)=1|а (COM4)=4|Б (COM2)=2|ё (COM5)=5|Ж (COM6)=6"},
        {"sorted by number, equal numbers in the order found",
         [](FakePortSources& s) {
             s.serialMap = {u"COM10", u"COM2"};
             s.parallelMap = {u"LPT2", u"LPT1"};
         },
         pkBoth, false, true, "LPT1=1|COM2=2|LPT2=2|COM10=10"},
        {"a remote session lists LPT1 to LPT4 whatever is present",
         [](FakePortSources& s) {
             s.remote = true;
             s.parallelMap = {u"LPT9"};
         },
         pkParallel, false, false, "LPT1=1|LPT2=2|LPT3=3|LPT4=4"},
        {"a remote session makes no difference to both kinds",
         [](FakePortSources& s) {
             s.remote = true;
             s.serialMap = {u"COM3"};
             s.parallelMap = {u"LPT1"};
         },
         pkBoth, false, true, "LPT1=1|COM3=3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakePortSources sources;
        c.given(sources);
        EXPECT_EQ(Shown(EnumeratePorts(sources, c.kind, c.shortNames, c.sortByNumber)), c.expected);
    }
}

TEST(EnumeratePorts, RemoteSessionListsEverySerialNumberUnsorted) {
    FakePortSources sources;
    sources.remote = true;
    sources.serialMap = {u"COM300"};
    sources.devices = {SetupDevice(u"A (COM1)")};
    // Sorting by text would put COM10 before COM2: the list stays in number order either way.
    for (bool byNumber : {false, true}) {
        const TPortNames list = EnumeratePorts(sources, pkSerial, false, byNumber);
        ASSERT_EQ(list.size(), 256u);
        for (int n = 1; n <= 256; ++n) EXPECT_EQ(list[static_cast<size_t>(n - 1)], (TPortName{u"COM" + u16(std::to_string(n)), n}));
    }
    EXPECT_EQ(sources.devicesVisited, 0);
}

TEST(EnumeratePorts, LongDeviceMapValuesAreCutTo255Characters) {
    FakePortSources sources;
    sources.serialMap = {u"\\Device\\COM123" + std::u16string(400, u'x')};
    const TPortNames list = EnumeratePorts(sources, pkSerial, false, true);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Name, u"COM123" + std::u16string(249, u'x'));
    EXPECT_EQ(list[0].Number, 123);
}
