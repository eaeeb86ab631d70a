// The emulator process killed at random points of a hundred receipts: after every kill the state
// loads, no completed receipt is lost, and the tape and the counters agree.
#include "EmuTestSupport.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

namespace fr::emu::test {
namespace {

constexpr int kReceipts = 100;
constexpr Money kReceiptTotal = 2 * 1250 + 3 * 333;  // 34.99

// The child: sells until the shift holds kReceipts receipts, reporting each completed one.
[[noreturn]] void sellUntilDone(const std::filesystem::path& dir, int report) {
    DispatchObject fr(std::make_shared<TEmuAutomation>(dir));
    auto check = [&](const char16_t* what) {
        if (fr.call(u"LastError").toInt() != 0) {
            std::fprintf(stderr, "child: %s: %s\n", utf16ToUtf8(what).c_str(),
                         utf16ToUtf8(fr.call(u"LastErrorExText").toText()).c_str());
            _exit(3);
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
    if (fr.call(u"SmenNum").toInt() == 0) call(u"printNullReceipt", {});
    for (int done = fr.call(u"LastReceiptNum").toInt(); done < kReceipts;) {
        call(u"beginFiscalReceipt", {Variant(int32_t{0}), Variant(u"Кассир")});
        call(u"printRecItem", {Variant(u"Хлеб"), money("12.50"), Variant(2.0), Variant(int32_t{0})});
        call(u"printRecItem", {Variant(u"Соль"), money("3.33"), Variant(3.0), Variant(int32_t{1})});
        call(u"printRecTotal", {money("50"), Variant(int32_t{0})});
        call(u"endFiscalReceipt", {});
        done = fr.call(u"LastReceiptNum").toInt();
        const std::string line = std::to_string(done) + "\n";
        if (::write(report, line.data(), line.size()) < 0) _exit(4);
    }
    _exit(0);
}

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

uintmax_t tapeSize(const std::filesystem::path& dir) {
    std::error_code ec;
    const uintmax_t n = std::filesystem::file_size(dir / "tape.txt", ec);
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
    int kills = 0, cutDocuments = 0, maxReported = 0;
    const auto started = std::chrono::steady_clock::now();
    for (int round = 0;; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(fds[0]);
            sellUntilDone(FDir, fds[1]);
        }
        ::close(fds[1]);
        // Kill early and often at first, then let the last child finish the hundred.
        const bool killIt = round < 40;
        if (killIt) {
            std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(500, 40000)(rng)));
            ::kill(pid, SIGKILL);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        std::string reported;
        char buf[256];
        for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) reported.append(buf, static_cast<size_t>(n));
        ::close(fds[0]);
        for (size_t pos = 0, nl; (nl = reported.find('\n', pos)) != std::string::npos; pos = nl + 1)
            maxReported = std::max(maxReported, std::stoi(reported.substr(pos, nl - pos)));
        const bool killed = WIFSIGNALED(status);
        kills += killed;
        if (!killed) {
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child failed, status " << status;
        }

        // What the killed process left: the saved state must load as it is.
        const std::string raw = readFile(FDir / "state.json");
        if (raw.empty()) continue;  // killed before the new device was first saved
        TEmuState left = stateFromJson(raw);
        if (tapeSize(FDir) < left.tapeEnd) ++cutDocuments;
        TEmuState st = saved();  // loading finishes a cut document
        ASSERT_EQ(tapeSize(FDir), st.tapeEnd);

        EXPECT_GE(st.receiptNumber, maxReported) << "a completed receipt was lost";
        const auto paper = tape();
        ASSERT_EQ(numbersAfter(paper, u"ДОК. ", u"ДОК. "), oneTo(st.documentNumber));
        ASSERT_EQ(numbersAfter(paper, u"СМЕНА ", u"ЧЕК "), oneTo(st.receiptNumber));
        EXPECT_EQ(st.shift.salesCount, st.receiptNumber);
        EXPECT_EQ(st.shift.sales, st.receiptNumber * kReceiptTotal);
        EXPECT_EQ(st.cash, st.shift.sales);
        if (!killed) break;
    }
    const TEmuState final = saved();
    EXPECT_EQ(final.receiptNumber, kReceipts);
    EXPECT_EQ(final.documentNumber, kReceipts + 1);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("[ crash    ] %d kills, %d documents cut short and completed on load, %d receipts, %.1f s\n", kills,
                cutDocuments, final.receiptNumber, seconds);
}

}  // namespace
}  // namespace fr::emu::test
#endif
