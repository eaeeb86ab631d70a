#include "EmuTestSupport.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "automation/FormatSettings.h"
#include "automation/NumberText.h"

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace fr::emu::test {

namespace fs = std::filesystem;

fs::path makeTempFolder() {
    static std::atomic<int> counter{0};
    fs::path p = fs::temp_directory_path() /
                 ("fr_emu_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(p);
    fs::create_directories(p);
    return p;
}

void setEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& content) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << content;
}

std::vector<std::u16string> fileLines(const fs::path& p) {
    std::vector<std::u16string> lines;
    std::istringstream in(readFile(p));
    std::string line;
    while (std::getline(in, line)) lines.push_back(utf8ToUtf16(line));
    return lines;
}

void EmuTest::SetUp() {
    FDir = makeTempFolder();
    setEnv("FR_EMULATOR_DIR", utf16ToUtf8(FDir.u16string()));
    FNow = encodeDateTime(2024, 3, 1, 9, 0, 0, 0);
    FClock = std::make_unique<TScopedEmuClock>([this] { return FNow; });
}

void EmuTest::TearDown() {
    FClock.reset();
    std::error_code ec;
    fs::remove_all(FDir, ec);
}

Session::Session(const fs::path& folder)
    : FObject(std::make_shared<DispatchObject>(std::make_shared<TEmuAutomation>(folder))) {}

Variant Session::call(const std::u16string& name, std::initializer_list<Variant> args) {
    // The driver passes most arguments by reference; so do we.
    std::vector<Arg> a;
    for (const auto& v : args) a.emplace_back(v, true);
    return FObject->call(name, a);
}

Variant Session::ok(const std::u16string& name, std::initializer_list<Variant> args) {
    Variant v = call(name, args);
    EXPECT_EQ(lastError(), 0) << utf16ToUtf8(name) << ": " << utf16ToUtf8(lastErrorText()) << " / "
                              << utf16ToUtf8(lastErrorExText());
    return v;
}

int32_t Session::lastError() { return FObject->call(u"LastError").toInt(); }
std::u16string Session::lastErrorText() { return FObject->call(u"LastErrorText").toText(); }
std::u16string Session::lastErrorExText() { return FObject->call(u"LastErrorExText").toText(); }

void Session::connect() {
    ok(u"start", {Variant(int32_t{100})});
    ok(u"OpenPort", {Variant(u"COM1"), Variant(int32_t{6})});
}

Variant money(const char* text) {
    int64_t scaled = 0;
    tryTextToCurrency(utf8ToUtf16(text), TFormatSettings::invariant(), scaled);
    return Variant::currency(scaled);
}

}  // namespace fr::emu::test
