// The log file: name, line format, folder choice, and lines that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "automation/DateTime.h"
#include "automation/Text.h"
#include "dispatch/uDebugLog.h"
#include "platform/Platform.h"

using namespace fr;
namespace fs = std::filesystem;

namespace {
std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every day's log in the folder: a test that runs across midnight writes into two files.
std::string readLogs(const fs::path& folder) {
    std::string all;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().filename().string().starts_with("Debug_")) all += readAll(e.path());
    return all;
}

struct TempDir {
    fs::path path = fs::temp_directory_path() / ("frlog_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                 "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TempDir() { fs::create_directories(path); }
    ~TempDir() { std::error_code e; fs::remove_all(path, e); }
    std::u16string folder() const { return platform::includeTrailingPathDelimiter(path.u16string()); }
};
}  // namespace

TEST(DebugLog, FileNameAndLineFormat) {
    double t = encodeDateTime(2026, 1, 2, 3, 4, 5, 6);
    EXPECT_EQ(u8(DebugLogFileName(u"/x/", t)), "/x/Debug_2026.01.02.log");
    EXPECT_EQ(u8(FormatDebugLogLine(t, u"{ID}", u"> Init", u"Params: [()]", false)),
              "2026.01.02 03:04:05.006 Inst.: {ID}\t> Init: \tParams: [()]");
    EXPECT_EQ(u8(FormatDebugLogLine(t, u"{ID}", u"----", u"ignored", true)), "2026.01.02 03:04:05.006 Inst.: {ID}\t----");
}

TEST(DebugLog, LinesGoToTheGivenFolderWithCrLf) {
    TempDir dir;
    ASSERT_TRUE(WriteDebugLogLine(dir.folder(), u"{A}", u"cap", u"текст", false));
    ASSERT_TRUE(WriteDebugLogLine(dir.folder(), u"{B}", u"raw", u"", true));
    std::string content = readLogs(dir.path);
    EXPECT_NE(content.find("Inst.: {A}\tcap: \t"), std::string::npos);
    EXPECT_NE(content.find("Inst.: {B}\traw\r\n"), std::string::npos);
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 2);
}

TEST(DebugLog, TheCommonFolderIsTheModulesOwnAndMadeAgainWhenDeleted) {
    std::u16string folder = GetCommonLogFolder();
    EXPECT_EQ(folder.back(), platform::pathDelimiter());
    EXPECT_TRUE(platform::directoryExists(folder));
    // Deleted while the host runs: the next line makes it again.
    fs::remove_all(fs::path(folder));
    ASSERT_FALSE(platform::directoryExists(folder));
    EXPECT_TRUE(WriteDebugLogLine(u"", u"{E}", u"x", u"y", false));
    EXPECT_NE(readLogs(fs::path(folder)).find("Inst.: {E}\tx: \ty"), std::string::npos);
}

// A stand-in for the common folder, fresh for each case, so no line of an earlier run or of the
// other case can satisfy a check.
namespace {
fs::path gFallback;
std::u16string fallbackFolder() { return platform::includeTrailingPathDelimiter(gFallback.u16string()); }
}  // namespace

TEST(DebugLog, AMissingOrEmptyFolderFallsBack) {
    TempDir dir;
    struct Case {
        std::u16string logDir;
        const char* what;
    };
    for (const Case& c : {Case{dir.folder() + u"absent" + platform::pathDelimiter(), "missing folder"},
                          Case{u"", "empty folder name"}}) {
        gFallback = dir.path / (std::string("common_") + (c.logDir.empty() ? "empty" : "missing"));
        fs::create_directories(gFallback);
        EXPECT_TRUE(WriteDebugLogLine(c.logDir, u"{C}", u"x", u"y", false, fallbackFolder)) << c.what;
        EXPECT_NE(readLogs(gFallback).find("Inst.: {C}\tx: \ty"), std::string::npos) << c.what;
    }
    EXPECT_FALSE(fs::exists(dir.path / "absent")) << "the missing folder is not made";
}

TEST(DebugLog, AnUnwritableFileDropsTheLineWithoutRaising) {
    TempDir dir;
    // A folder where the log file should be, today's and tomorrow's (the test may cross midnight).
    double now = platform::nowLocal();
    for (double day : {now, now + 1}) fs::create_directories(fs::path(DebugLogFileName(dir.folder(), day)));
    EXPECT_FALSE(WriteDebugLogLine(dir.folder(), u"{D}", u"x", u"y", false));
}
