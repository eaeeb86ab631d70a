// The emulator process killed at random points of a hundred receipts: after every kill the state
// loads, no completed receipt is lost, the tape and the counters agree, and a receipt the killed
// process had begun is still open on the register for the next one to cancel. The seller is a child
// process: forked natively, on Windows this test program started again to run CrashChild alone.
#include "EmuTestSupport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fr::emu::test {
namespace {

namespace fs = std::filesystem;

constexpr int kReceipts = 100;
constexpr Money kReceiptTotal = 2 * 1250 + 3 * 333;  // 34.99

// The child: cancels a receipt its killed predecessor left open, then sells until the shift holds
// kReceipts receipts, reporting "0" once connected and then the number of each completed receipt.
[[noreturn]] void sellUntilDone(const fs::path& dir, const std::function<void(const std::string&)>& report) {
    DispatchObject fr(std::make_shared<TEmuAutomation>(dir));
    auto check = [&](const char16_t* what) {
        if (fr.call(u"LastError").toInt() != 0) {
            std::fprintf(stderr, "child: %s: %s\n", utf16ToUtf8(what).c_str(),
                         utf16ToUtf8(fr.call(u"LastErrorExText").toText()).c_str());
            std::_Exit(3);
        }
    };
    auto call = [&](const char16_t* name, std::initializer_list<Variant> args) {
        std::vector<Arg> a;
        for (const auto& v : args) a.emplace_back(v, true);
        fr.call(name, a);
        check(name);
    };
    call(u"start", {Variant(int32_t{100})});
    call(u"OpenPort", {Variant(u"COM1"), Variant(int32_t{6})});
    report("0\n");
    fr.call(u"printRecVoid");
    if (const int32_t code = fr.call(u"LastError").toInt(); code != 0 && code != 21) check(u"printRecVoid");
    if (fr.call(u"SmenNum").toInt() == 0) call(u"printNullReceipt", {});
    for (int done = fr.call(u"LastReceiptNum").toInt(); done < kReceipts;) {
        call(u"beginFiscalReceipt", {Variant(int32_t{0}), Variant(u"Кассир")});
        call(u"printRecItem", {Variant(u"Хлеб"), money("12.50"), Variant(2.0), Variant(int32_t{0})});
        call(u"printRecItem", {Variant(u"Соль"), money("3.33"), Variant(3.0), Variant(int32_t{1})});
        call(u"printRecTotal", {money("50"), Variant(int32_t{0})});
        call(u"endFiscalReceipt", {});
        done = fr.call(u"LastReceiptNum").toInt();
        report(std::to_string(done) + "\n");
    }
    std::_Exit(0);
}

// What became of one child: killed, or ended by itself (cleanly or not), and what it reported.
struct ChildRun {
    bool killed = false;
    bool clean = false;
    std::string status;
    std::string reported;
};

#ifdef _WIN32
constexpr UINT kKilledExitCode = 0xDEAD;
const wchar_t* const kChildFolderVariable = L"FR_EMU_CRASH_CHILD";

fs::path reportPath(const fs::path& dir) { return dir / "crash-child-report.txt"; }

struct Handle {
    HANDLE h = nullptr;
    ~Handle() {
        if (h) CloseHandle(h);
    }
};

// This program again, running only the child below, in the emulator folder given by the variable.
ChildRun runChild(const fs::path& dir, bool killIt, std::chrono::microseconds delay) {
    ChildRun run;
    std::error_code ec;
    fs::remove(reportPath(dir), ec);
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=CrashChild.SellsUntilDone --gtest_brief=1";
    SetEnvironmentVariableW(kChildFolderVariable, dir.wstring().c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(kChildFolderVariable, nullptr);
    if (!started) {
        run.status = "CreateProcess failed, error " + std::to_string(GetLastError());
        return run;
    }
    Handle process{pi.hProcess}, thread{pi.hThread};
    if (killIt) {
        // Starting a process takes far longer than the kill window: count from "connected".
        auto reported = [&] {
            const uintmax_t n = fs::file_size(reportPath(dir), ec);
            return !ec && n > 0;
        };
        while (!reported() && WaitForSingleObject(process.h, 1) == WAIT_TIMEOUT) {
        }
        std::this_thread::sleep_for(delay);
        TerminateProcess(process.h, kKilledExitCode);
    }
    WaitForSingleObject(process.h, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.h, &code);
    run.killed = code == kKilledExitCode;
    run.clean = code == 0;
    run.status = "exit code " + std::to_string(code);
    run.reported = readFile(reportPath(dir));
    return run;
}

// Only ever run by runChild: skipped when the test program runs as a whole.
TEST(CrashChild, SellsUntilDone) {
    const wchar_t* folder = _wgetenv(kChildFolderVariable);
    if (!folder) GTEST_SKIP() << "runs only as the crash test's child process";
    const fs::path dir(folder);
    TScopedEmuClock clock([] { return encodeDateTime(2024, 3, 1, 9, 0, 0, 0); });
    std::FILE* report = _wfopen(reportPath(dir).c_str(), L"ab");
    if (!report) std::_Exit(4);
    // Each line goes to the system at once, so that a kill cannot lose what was reported.
    sellUntilDone(dir, [&](const std::string& line) {
        if (std::fputs(line.c_str(), report) < 0 || std::fflush(report) != 0) std::_Exit(4);
    });
}
#else
ChildRun runChild(const fs::path& dir, bool killIt, std::chrono::microseconds delay) {
    ChildRun run;
    int fds[2];
    if (::pipe(fds) != 0) {
        run.status = "pipe failed";
        return run;
    }
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        sellUntilDone(dir, [&](const std::string& line) {
            if (::write(fds[1], line.data(), line.size()) < 0) _exit(4);
        });
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        run.status = "fork failed";
        return run;
    }
    if (killIt) {
        std::this_thread::sleep_for(delay);
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    char buf[256];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) run.reported.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    run.killed = WIFSIGNALED(status);
    run.clean = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.status = "status " + std::to_string(status);
    return run;
}
#endif

// Numbers that follow a prefix at the start of a tape line ("ДОК. 12", "СМЕНА 1 ... ЧЕК 7").
std::vector<int> numbersAfter(const std::vector<std::u16string>& tape, const std::u16string& start,
                              const std::u16string& marker) {
    std::vector<int> r;
    for (const auto& line : tape) {
        if (line.rfind(start, 0) != 0) continue;
        auto at = line.rfind(marker);
        if (at == std::u16string::npos) continue;
        std::string digits = utf16ToUtf8(line.substr(at + marker.size()));
        size_t end = digits.find(' ');
        r.push_back(std::stoi(digits.substr(0, end)));
    }
    return r;
}

uintmax_t tapeSize(const fs::path& dir) {
    std::error_code ec;
    const uintmax_t n = fs::file_size(dir / "tape.txt", ec);
    return ec ? 0 : n;
}

std::vector<int> oneTo(int n) {
    std::vector<int> r;
    for (int i = 1; i <= n; ++i) r.push_back(i);
    return r;
}

class Crash : public EmuTest {};

TEST_F(Crash, KilledAtRandomPointsLosesNoCompletedReceipt) {
    const unsigned seed = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937 rng(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    int kills = 0, cutDocuments = 0, leftOpen = 0, maxReported = 0;
    for (int round = 0;; ++round) {
        // Kill early and often at first, then let the last child finish the hundred. Each step of a
        // receipt is a durable commit of its own: the window spans several receipts.
        const bool killIt = round < 40;
        const ChildRun run =
            runChild(FDir, killIt, std::chrono::microseconds(std::uniform_int_distribution<int>(500, 150000)(rng)));
        for (size_t pos = 0, nl; (nl = run.reported.find('\n', pos)) != std::string::npos; pos = nl + 1)
            maxReported = std::max(maxReported, std::stoi(run.reported.substr(pos, nl - pos)));
        kills += run.killed;
        if (!run.killed) {
            ASSERT_TRUE(run.clean) << "child failed, " << run.status;
        }

        // What the killed process left: the saved state must load as it is.
        const std::string raw = readFile(FDir / "state.json");
        if (raw.empty()) continue;  // killed before the new device was first saved
        TEmuState left = stateFromJson(raw);
        if (tapeSize(FDir) < left.tapeEnd) ++cutDocuments;
        TEmuState st = saved();  // loading finishes a cut document
        ASSERT_EQ(tapeSize(FDir), st.tapeEnd);
        if (st.open.receipt) {
            // What the killed process had printed of it, in order, and nothing else.
            ++leftOpen;
            const TEmuReceipt& r = *st.open.receipt;
            ASSERT_LE(r.lines.size(), 2u);
            const char16_t* const names[] = {u"Хлеб", u"Соль"};
            for (size_t i = 0; i < r.lines.size(); ++i) EXPECT_EQ(r.lines[i].item.name, names[i]);
            EXPECT_LE(r.payments.size(), r.lines.size() == 2 ? 1u : 0u);
        }

        EXPECT_GE(st.receiptNumber, maxReported) << "a completed receipt was lost";
        const auto paper = tape();
        ASSERT_EQ(numbersAfter(paper, u"ДОК. ", u"ДОК. "), oneTo(st.documentNumber));
        ASSERT_EQ(numbersAfter(paper, u"СМЕНА ", u"ЧЕК "), oneTo(st.receiptNumber));
        EXPECT_EQ(st.shift.salesCount, st.receiptNumber);
        EXPECT_EQ(st.shift.sales, st.receiptNumber * kReceiptTotal);
        EXPECT_EQ(st.cash, st.shift.sales);
        if (!run.killed) break;
    }
    const TEmuState final = saved();
    EXPECT_EQ(final.receiptNumber, kReceipts);
    EXPECT_EQ(final.documentNumber, kReceipts + 1);
    EXPECT_FALSE(final.open.receipt);
    std::printf("[ crash    ] %d kills, %d documents cut short and completed on load, %d receipts left open and "
                "cancelled, %d receipts\n",
                kills, cutDocuments, leftOpen, final.receiptNumber);
}

}  // namespace
}  // namespace fr::emu::test
