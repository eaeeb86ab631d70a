// Open takes a device ID only when it can be one folder name inside the devices folder: any other
// is refused with 1004 before anything is made, and a day with the log on leaves no trace beside
// the devices folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "adapter/DriverHost.h"
#include "automation/Text.h"
#include "dispatch/uEquipmentErrors.h"
#include "platform/Platform.h"
#include "support/FakeUniversalDriver.h"

using namespace fr;
namespace fs = std::filesystem;

namespace {
struct Devices {
    fs::path root = fs::temp_directory_path() /
                    ("frid_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    test::DriverHost<> host;

    Devices() {
        fs::remove_all(root);
        // A folder beside the devices folder, as one an ID with path syntax would reach.
        fs::create_directories(root / "devices");
        fs::create_directories(root / "outside");
        host.manager->properties[u"DevicesFolder"] = (root / "devices").u16string();
    }
    ~Devices() {
        std::error_code e;
        fs::remove_all(root, e);
    }
    bool open(const std::u16string& id, std::u16string& description) { return host.open(description, id); }
    // A day with the debug log on: Enable writes the log's header, Disable ends it.
    void dayWithTheLog() {
        host.driver->SetSettingValue(u"DebugLogEnabled", Variant(true));
        host.call(u"Enable");
        host.call(u"Disable");
    }
    std::set<fs::path> tree() const {
        std::set<fs::path> out;
        for (const auto& e : fs::recursive_directory_iterator(root)) out.insert(e.path());
        return out;
    }
};

struct Refused {
    const char16_t* id;
    const char* rule;  // a fragment of the refusal that names the rule
};
}  // namespace

TEST(DeviceId, AnIdThatIsNotOneFolderNameIsRefusedAndMakesNothing) {
    const Refused cases[] = {
        {u"..", "\"..\""},
        {u".", "\"..\""},
        {u"../outside", "разделители пути"},
        {u"..\\..\\x", "разделители пути"},
        {u"..\\outside", "разделители пути"},
        {u"/tmp", "разделители пути"},
        {u"C:\\ProgramData", "разделители пути"},
        {u"C:ProgramData", "двоеточие"},
        {u"C:", "двоеточие"},
        {u"dev:stream", "двоеточие"},
        {u"a<b", "символы <"},
        {u"a|b", "символы <"},
        {u"what?", "символы <"},
        {u"a*", "символы <"},
        {u"say \"hi\"", "символы <"},
        {u"tab\there", "управляющие символы"},
        {u"line\nbreak", "управляющие символы"},
        {u"CON", "имена устройств"},
        {u"nul", "имена устройств"},
        {u"Aux.txt", "имена устройств"},
        {u"com1", "имена устройств"},
        {u"LPT9.log", "имена устройств"},
        {u"PRN ", "пробел в конце"},
        {u"dev.", "точка или пробел в конце"},
        {u"dev ", "точка или пробел в конце"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(u8(c.id));
        Devices d;
        const auto before = d.tree();
        std::u16string description;
        EXPECT_FALSE(d.open(c.id, description));
        EXPECT_TRUE(u8(description).starts_with("Идентификатор устройства должен годиться в имя одной папки: "))
            << u8(description);
        EXPECT_NE(u8(description).find(c.rule), std::string::npos) << u8(description);
        EXPECT_TRUE(d.host.driver->DeviceID().empty());
        EXPECT_TRUE(d.host.driver->DeviceFolder().empty());
        d.dayWithTheLog();
        EXPECT_EQ(d.tree(), before) << "a file or folder was made beside the devices folder";
    }
}

TEST(DeviceId, OrdinaryIdsOpenTheirOwnFolder) {
    for (const char16_t* id : {u"{6F9619FF-8B86-D011-B42D-00CF4FC964FF}", u"Касса №1", u"12345", u"dev-1_a", u"a..b",
                               u"Касса.2", u"CONSOLE", u"COM10", u"LPT0", u".hidden"}) {
        SCOPED_TRACE(u8(id));
        Devices d;
        fs::create_directories(d.root / "devices" / fs::path(std::u16string(id)));
        std::u16string description;
        EXPECT_TRUE(d.open(id, description)) << u8(description);
        EXPECT_EQ(d.host.driver->DeviceFolder(),
                  platform::includeTrailingPathDelimiter((d.root / "devices" / fs::path(std::u16string(id))).u16string()));
        d.dayWithTheLog();
        // The log goes to the device's own folder.
        size_t logs = 0;
        for (const auto& e : fs::directory_iterator(d.root / "devices" / fs::path(std::u16string(id))))
            logs += e.path().filename().string().starts_with("Debug_");
        EXPECT_EQ(logs, 1u);
    }
}

TEST(DeviceId, AnEmptyIdOpensWithoutAFolder) {
    Devices d;
    std::u16string description;
    EXPECT_TRUE(d.open(u"", description)) << u8(description);
    EXPECT_TRUE(d.host.driver->DeviceFolder().empty());
}
