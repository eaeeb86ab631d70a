// TPortList, the picker without its window: filling, selection through PortNumber and
// PortInterface with placeholders, the background check and how it meets the user-interface
// thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "FakePortSources.h"
#include "automation/Text.h"
#include "ui/uPortList.h"

using namespace fr;
using namespace fr::ui;
using fr::ui::test::FakeOpener;
using fr::ui::test::FakePortSources;
using fr::ui::test::SetupDevice;

namespace {

// COM1 (a friendly name), COM3 and COM7 from the device map; LPT1.
FakePortSources ThreePorts() {
    FakePortSources s;
    s.serialMap = {u"COM7", u"COM3", u"COM1"};
    s.parallelMap = {u"LPT1"};
    s.devices = {SetupDevice(u"Communications Port (COM1)", u"COM1")};
    return s;
}

TUSBInterfaceData Usb(std::u16string path, std::u16string location, std::u16string desc, bool enabled) {
    TUSBInterfaceData d;
    d.InterfacePath = std::move(path);
    d.LocationInfo = std::move(location);
    d.DeviceDesc = std::move(desc);
    d.StatusRead = true;
    d.Status = enabled ? 0 : 0x400;
    d.Problem = enabled ? 0 : 22;
    return d;
}

std::string Names(const TPortList& l) {
    std::string s;
    for (const TPortProp& e : l.Entries()) s += (s.empty() ? "" : "|") + u8(e.PortName) + "=" + std::to_string(e.PortNum);
    return s;
}

std::string States(const TPortList& l) {
    std::string s;
    for (const TPortProp& e : l.Entries()) s += "?+-"[static_cast<int>(e.PortState.load())];
    return s;
}

}  // namespace

TEST(PortList, FillsTheSerialPortsByNumberWithoutSelecting) {
    FakePortSources sources = ThreePorts();
    FakeOpener opener;
    TPortList list(sources, opener);
    EXPECT_EQ(list.PortType(), TPortType::ptCOM);
    EXPECT_EQ(Names(list), "Communications Port (COM1)=1|COM3=3|COM7=7");
    EXPECT_EQ(list.Items(), (std::vector<std::u16string>{u"Communications Port (COM1)", u"COM3", u"COM7"}));
    EXPECT_EQ(States(list), "???");
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(list.PortNumber(), -1);

    list.SetPortType(TPortType::ptLPT);
    EXPECT_EQ(Names(list), "LPT1=1");
    EXPECT_EQ(list.Items().size(), 1u);
}

TEST(PortList, PortNumberSelectsOrAppendsAPlaceholder) {
    struct Case {
        const char* what;
        TPortType type;
        int value;
        const char* names;  // the entries afterwards
        int itemIndex;      // the selection afterwards
        int portNumber;     // PortNumber afterwards
    };
    // The list starts with COM3 selected (or LPT1).
    const Case cases[] = {
        {"an existing number is selected", TPortType::ptCOM, 7, "Communications Port (COM1)=1|COM3=3|COM7=7", 2, 7},
        {"a missing number is appended as COM5 and selected", TPortType::ptCOM, 5,
         "Communications Port (COM1)=1|COM3=3|COM7=7|COM5=5", 3, 5},
        {"256 is a number like any other", TPortType::ptCOM, 256, "Communications Port (COM1)=1|COM3=3|COM7=7|COM256=256", 3, 256},
        {"0 changes nothing", TPortType::ptCOM, 0, "Communications Port (COM1)=1|COM3=3|COM7=7", 1, 3},
        {"-1 changes nothing", TPortType::ptCOM, -1, "Communications Port (COM1)=1|COM3=3|COM7=7", 1, 3},
        {"257 changes nothing", TPortType::ptCOM, 257, "Communications Port (COM1)=1|COM3=3|COM7=7", 1, 3},
        {"a parallel placeholder takes the LPT prefix", TPortType::ptLPT, 2, "LPT1=1|LPT2=2", 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakePortSources sources = ThreePorts();
        FakeOpener opener;
        TPortList list(sources, opener);
        list.SetPortType(c.type);
        list.SetPortNumber(c.type == TPortType::ptCOM ? 3 : 1);
        list.SetPortNumber(c.value);
        EXPECT_EQ(Names(list), c.names);
        EXPECT_EQ(list.ItemIndex(), c.itemIndex);
        EXPECT_EQ(list.PortNumber(), c.portNumber);
        ASSERT_EQ(list.Items().size(), list.Entries().size());
        // A placeholder is drawn from its entry; its item text is a single blank.
        if (list.Count() > (c.type == TPortType::ptCOM ? 3 : 1)) {
            EXPECT_EQ(list.Items().back(), u" ");
            EXPECT_EQ(list.Entries().back().PortState.load(), TPortState::psUnknown);
            EXPECT_EQ(list.Entries().back().PortInterface, u"");
        }
    }
}

TEST(PortList, UsbListsEnabledAndDisabledInterfacesAndSelectsByPath) {
    FakePortSources sources = ThreePorts();
    sources.usb = {Usb(u"\\\\?\\usb#vid_1&pid_2#a", u"Port_#0001.Hub_#0002", u"Чековый принтер", true),
                   Usb(u"\\\\?\\usb#vid_3&pid_4#b", u"", u"Без расположения", true),
                   Usb(u"\\\\?\\usb#vid_5&pid_6#c", u"Port_#0003.Hub_#0002", u"Disabled", false)};
    FakeOpener opener;
    TPortList list(sources, opener);
    list.SetPortNumber(3);
    list.SetPortType(TPortType::ptUSB);
    EXPECT_EQ(Names(list), "Port_#0001.Hub_#0002 (Чековый принтер)=0|Port_#0003.Hub_#0002 (Disabled)=0");
    EXPECT_EQ(list.Items(), (std::vector<std::u16string>{u"Port_#0001.Hub_#0002", u"Port_#0003.Hub_#0002"}));
    EXPECT_EQ(States(list), "+-");
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(list.PortInterface(), u"");

    list.SetPortInterface(u"\\\\?\\usb#vid_5&pid_6#c");
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_EQ(list.PortInterface(), u"\\\\?\\usb#vid_5&pid_6#c");
    EXPECT_EQ(list.PortNumber(), -1);  // always in USB mode
    list.SetPortNumber(3);             // ignored in USB mode
    list.SetPortInterface(u"");        // ignored
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.ItemIndex(), 1);

    list.SetPortInterface(u"\\\\?\\usb#new");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.ItemIndex(), 2);
    EXPECT_EQ(list.Entries()[2].PortName, u"USB2");
    EXPECT_EQ(list.Entries()[2].PortNum, 0);
    EXPECT_EQ(list.Entries()[2].PortState.load(), TPortState::psUnknown);
    EXPECT_EQ(list.Items()[2], u" ");
    EXPECT_EQ(list.PortInterface(), u"\\\\?\\usb#new");

    // A check does not run for USB.
    list.CheckPorts();
    EXPECT_FALSE(list.HasPortCheck());
    EXPECT_TRUE(opener.calls().empty());

    // Back in serial mode an interface path means nothing.
    list.SetPortType(TPortType::ptCOM);
    list.SetPortNumber(3);
    list.SetPortInterface(u"\\\\?\\usb#vid_1&pid_2#a");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.PortInterface(), u"");
    EXPECT_EQ(list.PortNumber(), 3);
}

TEST(PortList, AFailedUsbListingListsNothing) {
    FakePortSources sources;
    sources.usb = {Usb(u"a", u"loc-a", u"A", true), Usb(u"b", u"loc-b", u"B", true)};
    sources.usbFailAt = 1;
    FakeOpener opener;
    TPortList list(sources, opener);
    list.SetPortType(TPortType::ptUSB);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.Items().empty());
}

TEST(PortList, ACheckTestsEveryEntryInOrderAndAsksForARepaintAfterEach) {
    FakePortSources sources = ThreePorts();
    FakeOpener opener;
    opener.busy = {u"COM3", u"LPT1"};
    std::atomic<int> repaints{0};
    TPortList list(sources, opener, [&] { ++repaints; });
    list.SetPortNumber(12);  // a placeholder is tested too
    list.CheckPorts();
    list.StopPortCheck();
    EXPECT_FALSE(list.HasPortCheck());
    EXPECT_EQ(opener.calls(), (std::vector<std::u16string>{u"COM1", u"COM3", u"COM7", u"COM12"}));
    EXPECT_EQ(States(list), "+-++");
    EXPECT_EQ(repaints, 4);

    // The states stay until a refill; a refill starts them again.
    list.SetPortType(TPortType::ptLPT);
    EXPECT_EQ(States(list), "?");
    list.CheckPorts();
    list.StopPortCheck();
    EXPECT_EQ(States(list), "-");
    EXPECT_EQ(opener.calls().back(), u"LPT1");
}

TEST(PortList, ACheckCoversMoreThan256Entries) {
    FakePortSources sources;
    for (int n = 1; n <= 300; ++n) sources.serialMap.push_back(u"COM" + u16(std::to_string(n)));
    FakeOpener opener;
    opener.busy = {u"COM300"};
    TPortList list(sources, opener);
    ASSERT_EQ(list.Count(), 300);
    list.CheckPorts();
    list.StopPortCheck();
    EXPECT_EQ(States(list), std::string(299, '+') + "-");
}

// The user-interface thread changes the list only after the check has ended.
TEST(PortList, ChangingTheListWaitsForARunningCheck) {
    struct Case {
        const char* what;
        void (*change)(TPortList&);
        int count;  // entries afterwards
    };
    const Case cases[] = {
        {"PortNumber appending a placeholder", [](TPortList& l) { l.SetPortNumber(9); }, 4},
        {"PortType refilling", [](TPortList& l) { l.SetPortType(TPortType::ptCOM); }, 3},
        {"a new check", [](TPortList& l) { l.CheckPorts(); }, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakePortSources sources = ThreePorts();
        FakeOpener opener;
        opener.hold = true;
        TPortList list(sources, opener);
        list.CheckPorts();
        opener.waitEntered();
        std::atomic<bool> released{false};
        std::thread releaser([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            released = true;
            opener.release();
        });
        c.change(list);
        // Not before the held port was let go, and the whole check had run by then.
        EXPECT_TRUE(released);
        EXPECT_GE(opener.calls().size(), 3u);
        EXPECT_EQ(list.Count(), c.count);
        releaser.join();
        list.StopPortCheck();
    }
}

TEST(PortList, DestroyingTheListWaitsForItsCheck) {
    FakePortSources sources = ThreePorts();
    FakeOpener opener;
    opener.hold = true;
    std::atomic<int> repaints{0};
    std::thread releaser;
    {
        TPortList list(sources, opener, [&] { ++repaints; });
        list.CheckPorts();
        opener.waitEntered();
        releaser = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            opener.release();
        });
    }
    EXPECT_EQ(opener.calls().size(), 3u);
    EXPECT_EQ(repaints, 3);
    releaser.join();
}

// The drawing and selection code reads entries while the checker writes states (run under
// ThreadSanitizer by ./dev tsan).
TEST(PortList, ReadingTheSelectionAndStatesDuringACheckIsSafe) {
    FakePortSources sources;
    for (int n = 1; n <= 64; ++n) sources.serialMap.push_back(u"COM" + u16(std::to_string(n)));
    FakeOpener opener;
    for (int n = 1; n <= 64; n += 2) opener.busy.insert(u"COM" + u16(std::to_string(n)));
    opener.hold = true;
    std::atomic<int> repaints{0};
    TPortList list(sources, opener, [&] { ++repaints; });
    list.SetPortNumber(10);
    list.CheckPorts();
    opener.waitEntered();  // the reading starts while the check is on its first port
    int seen = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int pass = 0; repaints < 64 && std::chrono::steady_clock::now() < deadline; ++pass) {
        for (int i = 0; i < list.Count(); ++i) seen += list.Entry(i).PortState.load() != TPortState::psUnknown;
        seen += list.PortNumber() == 10 && list.Items()[9] == u"COM10";
        list.SetItemIndex(pass % 64);
        list.SetPortNumber(10);  // selects, does not append
        if (pass == 0) opener.release();
    }
    list.StopPortCheck();
    EXPECT_GT(seen, 0);
    EXPECT_EQ(list.Count(), 64);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(list.Entry(i).PortState.load(), i % 2 ? TPortState::psFree : TPortState::psBusy) << i;
}
