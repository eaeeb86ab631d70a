// The debug log as a session writes it: the header at Enable, two lines per call, the switch
// going off at Disable.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <vector>

#include "FakeEquipmentManager.h"
#include "adapter/uDriver.h"
#include "automation/Text.h"
#include "dispatch/uDebugLog.h"
#include "dispatch/uLogText.h"
#include "platform/Platform.h"
#include "support/FakeUniversalDriver.h"
#include "support/PlantedLink.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace fr;
namespace fs = std::filesystem;

namespace {
struct Session {
    fs::path root = fs::temp_directory_path() /
                    ("frdev_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    // The register answers every call without an error.
    std::shared_ptr<test::FakeUniversalDriver> universal = std::make_shared<test::FakeUniversalDriver>();
    ScopedOleFactoryHook hook{[this](const std::u16string&) { return universal; }};
    std::shared_ptr<TDriverFR> driver = TBaseObject::create<TDriverFR>();
    DispatchObject obj{driver};
    std::shared_ptr<test::FakeEquipmentManager> manager = std::make_shared<test::FakeEquipmentManager>();

    Session() {
        fs::remove_all(root);
        fs::create_directories(root / "dev-1");
        manager->properties[u"DevicesFolder"] = root.u16string();
        std::vector<Arg> init{Arg(Variant(std::shared_ptr<AutomationObject>(manager))), Arg(Variant(), true)};
        obj.call(u"Init", init);
        std::vector<Arg> open{Arg(Variant(u"dev-1")), Arg(Variant(), true)};
        obj.call(u"Open", open);
    }
    ~Session() {
        std::error_code e;
        fs::remove_all(root, e);
    }
    bool call(const std::u16string& name, const Variant& in = Variant()) {
        std::vector<Arg> args{Arg(in), Arg(Variant(), true), Arg(Variant(0))};
        return obj.call(name, args).toBool();
    }
    // The raw lines of every day's log of the device, in order (a test may cross midnight).
    std::vector<std::string> rawLines() {
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(root / "dev-1"))
            if (e.path().filename().string().starts_with("Debug_")) files.push_back(e.path());
        std::sort(files.begin(), files.end());
        std::vector<std::string> out;
        for (const auto& f : files) {
            std::ifstream in(f, std::ios::binary);
            for (std::string l; std::getline(in, l);) out.push_back(l);
        }
        return out;
    }
    std::vector<std::string> lines() {
        std::vector<std::string> out;
        for (std::string l : rawLines()) {
            EXPECT_FALSE(l.empty() || l.back() != '\r') << "line without CR LF";
            if (!l.empty() && l.back() == '\r') l.pop_back();
            // Drop the timestamp and the instance: the test compares what follows.
            auto tab = l.find('\t');
            out.push_back(tab == std::string::npos ? l : l.substr(tab + 1));
        }
        return out;
    }
};
}  // namespace

TEST(DebugLogLifecycle, HeaderThenTwoLinesPerCallThenOff) {
    Session s;
    s.driver->SetSettingValue(u"DebugLogEnabled", Variant(true));
    ASSERT_TRUE(s.call(u"Enable"));
    ASSERT_TRUE(s.call(u"GetDeviceInfo"));
    ASSERT_TRUE(s.call(u"Disable"));
    EXPECT_FALSE(s.driver->DebugLogEnabled());
    s.call(u"GetDeviceInfo");  // off: not written

    const auto v = platform::fileVersion();
    const std::string version =
        std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build);
    std::vector<std::string> expected = {
        std::string(40, ' '),
        "============Begin debug log=============",
        "driver ver.: \t" + version,
        "device ID: \tdev-1",
        "----------------Settings----------------",
        "DefaultTimeOut: \t120",
        "EventLogEnabled: \tFalse",
        "DebugLogEnabled: \tTrue",
    };
    // Then every further setting of the driver, in store order (the log's code page), and the
    // closing line.
    const auto& settings = s.driver->Settings().items();
    for (size_t i = 3; i < settings.size(); ++i)
        expected.push_back(platform::toSystemCodePage(settings[i].ID + u": \t" + VariantToLogText(settings[i].Value)));
    expected.push_back(std::string(40, '-'));
    auto lines = s.lines();
    ASSERT_GE(lines.size(), expected.size() + 3);
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << i;
    EXPECT_EQ(lines[expected.size()], "> GetDeviceInfo: \tInData: EMPTY");
    EXPECT_TRUE(lines[expected.size() + 1].starts_with("< GetDeviceInfo: \tResult=True; OutData: [('FiscalPrinter'; "))
        << lines[expected.size() + 1];
    EXPECT_EQ(lines[expected.size() + 2], "> Disable: \tInData: EMPTY");  // no end line: the log went off
    EXPECT_EQ(lines.size(), expected.size() + 3);

    // Every line names this object.
    std::string first = s.rawLines().at(0);
    EXPECT_TRUE(std::regex_search(first, std::regex(R"(^\d{4}\.\d\d\.\d\d \d\d:\d\d:\d\d\.\d{3} Inst\.: )")));
    EXPECT_NE(first.find(u8(s.driver->InstanceID())), std::string::npos);
}

TEST(DebugLogLifecycle, SwitchingOnTwiceWritesOneHeader) {
    Session s;
    s.driver->SetSettingValue(u"DebugLogEnabled", Variant(true));
    ASSERT_TRUE(s.call(u"Enable"));
    ASSERT_TRUE(s.call(u"Enable"));  // already on: no second header, but traced
    ASSERT_TRUE(s.call(u"Disable"));
    ASSERT_TRUE(s.call(u"Enable"));  // off and on again: a second header
    int headers = 0;
    for (const auto& l : s.lines()) headers += l == "============Begin debug log=============";
    EXPECT_EQ(headers, 2);
}

TEST(DebugLogLifecycle, AnUnwritableLogNeverFailsTheCall) {
    Session s;
    // The day's file is a folder (today's and tomorrow's: the test may cross midnight): no line
    // can be written, every call still succeeds.
    double now = platform::nowLocal();
    for (double day : {now, now + 1})
        fs::create_directories(s.root / "dev-1" / fs::path(DebugLogFileName(u"", day)).filename());
    s.driver->SetSettingValue(u"DebugLogEnabled", Variant(true));
    EXPECT_TRUE(s.call(u"Enable"));
    EXPECT_TRUE(s.call(u"GetDeviceInfo"));
    EXPECT_TRUE(s.call(u"Disable"));
}

// A log viewer that holds the day's files open without write sharing (today's and tomorrow's: the
// test may cross midnight). Only Windows keeps a writer out that way.
#ifdef _WIN32
namespace {
struct HeldLogFiles {
    std::vector<HANDLE> handles;
    explicit HeldLogFiles(const fs::path& folder) {
        double now = platform::nowLocal();
        for (double day : {now, now + 1}) {
            std::u16string name = DebugLogFileName(platform::includeTrailingPathDelimiter(folder.u16string()), day);
            HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(name.c_str()), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) handles.push_back(h);
        }
    }
    ~HeldLogFiles() {
        for (HANDLE h : handles) CloseHandle(h);
    }
};
}  // namespace
#endif

TEST(DebugLogLifecycle, AHeldLogFileDoesNotStallTheHost) {
#ifndef _WIN32
    GTEST_SKIP() << "natively nothing keeps a writer out of a file";
#else
    Session s;
    s.driver->SetSettingValue(u"DebugLogEnabled", Variant(true));
    {
        HeldLogFiles held(s.root / "dev-1");
        ASSERT_EQ(held.handles.size(), 2u);
        // Enable writes the header (15 lines and more), every one of them dropped. One line alone
        // could keep the host half a second before; a second is far above the expected few tens
        // of milliseconds, so the bound holds on a loaded machine.
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(s.call(u"Enable"));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_GE(s.driver->Settings().items().size() + 6, 15u);
    }
    // Released: the next lines are written again.
    EXPECT_TRUE(s.call(u"GetDeviceInfo"));
    auto lines = s.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "> GetDeviceInfo: \tInData: EMPTY");
#endif
}

// Anyone who may write in the log folder can lay a link under today's log name, pointing to a file
// of theirs choosing: a day with the log on must leave that file as it was and write to a fresh
// log whose first line tells what was found.
TEST(DebugLogLifecycle, ALinkLaidAsTheLogIsRemovedAndItsTargetLeftAlone) {
    for (test::LinkKind kind : {test::LinkKind::Hard, test::LinkKind::Symbolic}) {
        SCOPED_TRACE(test::linkKindName(kind));
        Session s;
        const fs::path target = s.root / "someone-elses.txt";
        std::ofstream(target, std::ios::binary) << "not the driver's\n";
        // Today's and tomorrow's name: the test may cross midnight.
        const double now = platform::nowLocal();
        const fs::path today = s.root / "dev-1" / fs::path(DebugLogFileName(u"", now)).filename();
        std::string why;
        bool planted = false;
        for (double day : {now, now + 1})
            planted = test::plantLink(kind, target, s.root / "dev-1" / fs::path(DebugLogFileName(u"", day)).filename(), why);
        if (!planted) {
            std::cout << "[ SKIPPED  ] " << why << "\n";
            continue;
        }
        s.driver->SetSettingValue(u"DebugLogEnabled", Variant(true));
        EXPECT_TRUE(s.call(u"Enable"));
        EXPECT_TRUE(s.call(u"GetDeviceInfo"));
        EXPECT_TRUE(s.call(u"Disable"));

        std::ifstream t(target, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(t), {}), "not the driver's\n");
        EXPECT_FALSE(fs::is_symlink(today));
        EXPECT_EQ(fs::hard_link_count(today), 1u);
        EXPECT_FALSE(fs::equivalent(today, target));
        std::ifstream log(today, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string l; std::getline(log, l);) lines.push_back(l);
        ASSERT_GE(lines.size(), 3u);
        const std::string found = kind == test::LinkKind::Hard ? "жёсткая ссылка" : "символическая ссылка";
        EXPECT_NE(lines[0].find(platform::toSystemCodePage(u"под именем файла лога было другое (")), std::string::npos)
            << lines[0];
        EXPECT_NE(lines[0].find(platform::toSystemCodePage(utf8ToUtf16(found))), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(u8(s.driver->InstanceID())), std::string::npos);
        EXPECT_EQ(lines[1].substr(lines[1].find('\t') + 1), std::string(40, ' ') + "\r");
    }
}
