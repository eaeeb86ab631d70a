#pragma once
// Shared pieces of the emulator tests: a private folder per test, a clock the test moves, and a
// session that calls the emulator by name exactly as the driver does.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "automation/AutomationObject.h"
#include "automation/DateTime.h"
#include "automation/Text.h"
#include "uEmuAutomation.h"
#include "uEmuClock.h"
#include "uEmuState.h"
#include "uEmuStore.h"

namespace fr::emu::test {

std::filesystem::path makeTempFolder();
void setEnv(const char* name, const std::string& value);
std::string readFile(const std::filesystem::path& p);
void writeFile(const std::filesystem::path& p, const std::string& content);
std::vector<std::u16string> fileLines(const std::filesystem::path& p);

// A folder of its own (also FR_EMULATOR_DIR) and a clock standing at 2024-03-01 09:00:00.
class EmuTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void advance(double days) { FNow += days; }
    TEmuState saved() { return TEmuStore(FDir).load(); }
    std::vector<std::u16string> tape() { return fileLines(FDir / "tape.txt"); }

    std::filesystem::path FDir;
    double FNow = 0;
    std::unique_ptr<TScopedEmuClock> FClock;
};

// One automation object over the folder, called by name.
class Session {
public:
    explicit Session(const std::filesystem::path& folder);
    Variant call(const std::u16string& name, std::initializer_list<Variant> args = {});
    // Calls and fails the test (with the emulator's text) unless the call succeeded.
    Variant ok(const std::u16string& name, std::initializer_list<Variant> args = {});
    int32_t lastError();
    std::u16string lastErrorText();
    std::u16string lastErrorExText();
    void connect();  // start 100, OpenPort COM1 at index 6
    AutomationObject& object() { return *FObject; }

private:
    std::shared_ptr<AutomationObject> FObject;
};

Variant money(const char* text);  // currency from "45.50"

}  // namespace fr::emu::test
