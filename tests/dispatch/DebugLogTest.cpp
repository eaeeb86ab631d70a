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
    fs::path file = fs::path(dir.path) / fs::path(DebugLogFileName(dir.folder(), platform::nowLocal())).filename();
    std::string content = readAll(file);
    EXPECT_NE(content.find("Inst.: {A}\tcap: \t"), std::string::npos);
    EXPECT_NE(content.find("Inst.: {B}\traw\r\n"), std::string::npos);
    EXPECT_EQ(std::count(content.begin(), content.end(), '\n'), 2);
}

TEST(DebugLog, MissingFolderFallsBackToTheCommonFolder) {
    TempDir dir;
    EXPECT_EQ(GetCommonLogFolder().back(), platform::pathDelimiter());
    EXPECT_TRUE(WriteDebugLogLine(dir.folder() + u"absent" + platform::pathDelimiter(), u"{C}", u"x", u"y", false));
    EXPECT_TRUE(WriteDebugLogLine(u"", u"{C}", u"x", u"y", false));
    std::string content = readAll(fs::path(DebugLogFileName(GetCommonLogFolder(), platform::nowLocal())));
    EXPECT_NE(content.find("Inst.: {C}\tx: \ty"), std::string::npos);
}

TEST(DebugLog, AnUnwritableFileDropsTheLineWithoutRaising) {
    TempDir dir;
    // A folder where the log file should be: the open fails.
    fs::create_directories(fs::path(DebugLogFileName(dir.folder(), platform::nowLocal())));
    EXPECT_FALSE(WriteDebugLogLine(dir.folder(), u"{D}", u"x", u"y", false));
}
