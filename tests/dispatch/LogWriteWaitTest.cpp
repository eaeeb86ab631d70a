// How long a log line waits for a busy file, and the back-off after a dropped line, on a clock of
// the test's own: each pause moves it on, nothing sleeps.
#include <gtest/gtest.h>

#include <vector>

#include "dispatch/uLogWriteWait.h"

using namespace fr;
using namespace std::chrono_literals;
using platform::AppendResult;

namespace {
class FakeTimer : public LogWaitTimer {
public:
    mutable Clock::time_point t{std::chrono::hours(1)};
    Clock::time_point now() const override { return t; }
    // A yield (zero) takes a tenth of a millisecond here.
    void pause(std::chrono::microseconds d) const override { t += d.count() ? d : std::chrono::microseconds(100); }
};

// What the file does for one line: busy for its first `busyTries` tries, then `then`.
struct Line {
    std::chrono::microseconds after;  // time since the previous line ended
    int busyTries;
    AppendResult then;
    bool written;                      // expected
    int tries;                         // expected
    std::chrono::microseconds waited;  // expected
};
constexpr int kForever = 1000000;
}  // namespace

TEST(LogWriteWait, ABusyFileCostsOneShortWaitPerBurst) {
    const TLogWriteWait::Limits limits{30ms, 1000ms, 1ms, 2ms};
    struct Scenario {
        const char* what;
        std::vector<Line> lines;
    };
    const Scenario scenarios[] = {
        {"freed while the line waits", {{0ms, 5, AppendResult::Written, true, 6, 5ms}}},
        {"held through a burst: the first line waits, the rest only retry for a moment without sleeping",
         {{0ms, kForever, AppendResult::Written, false, 31, 30ms},
          {0ms, kForever, AppendResult::Written, false, 21, 2ms},
          {997ms, kForever, AppendResult::Written, false, 21, 2ms}}},
        {"another writer's line ends during the back-off: this one is written",
         {{0ms, kForever, AppendResult::Written, false, 31, 30ms},
          {0ms, 4, AppendResult::Written, true, 5, 400us}}},
        {"the back-off ends: a line waits again",
         {{0ms, kForever, AppendResult::Written, false, 31, 30ms},
          {1000ms, kForever, AppendResult::Written, false, 31, 30ms}}},
        {"a line that gets through ends the back-off",
         {{0ms, kForever, AppendResult::Written, false, 31, 30ms},
          {0ms, 0, AppendResult::Written, true, 1, 0ms},
          {0ms, 3, AppendResult::Written, true, 4, 3ms}}},
        {"a line freed during the back-off is still written",
         {{0ms, kForever, AppendResult::Written, false, 31, 30ms},
          {0ms, 0, AppendResult::Written, true, 1, 0ms}}},
        {"a file that cannot be written is not waited for, and starts no back-off",
         {{0ms, 0, AppendResult::Failed, false, 1, 0ms},
          {0ms, 2, AppendResult::Written, true, 3, 2ms}}},
    };
    for (const Scenario& s : scenarios) {
        FakeTimer timer;
        TLogWriteWait wait(limits, timer);
        int n = 0;
        for (const Line& line : s.lines) {
            SCOPED_TRACE(std::string(s.what) + ", line " + std::to_string(++n));
            timer.t += line.after;
            const auto start = timer.t;
            int tries = 0;
            const bool written = wait.write([&] {
                return ++tries <= line.busyTries ? AppendResult::Busy : line.then;
            });
            EXPECT_EQ(written, line.written);
            EXPECT_EQ(tries, line.tries);
            EXPECT_EQ(timer.t - start, line.waited);
        }
    }
}
