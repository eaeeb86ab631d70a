#pragma once
// How long a debug-log line may keep the host waiting for a file that another writer holds (a log
// viewer that opened it without write sharing, another driver object in the middle of its line).
// The host's thread is the one that waits, so the wait is short and a burst pays for it once.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

#include "platform/Platform.h"

namespace fr {

// The clock and the pause between tries; tests replace them.
class LogWaitTimer {
public:
    using Clock = std::chrono::steady_clock;
    virtual ~LogWaitTimer() = default;
    virtual Clock::time_point now() const;
    // Zero: give up the rest of the time slice only (no sleep, which rounds up to ~15 ms on
    // Windows).
    virtual void pause(std::chrono::microseconds d) const;
    static const LogWaitTimer& system();
};

// A line tries again while the file is busy, for perLine at most. A line dropped for a busy file
// starts a back-off: until it ends the following lines do not wait, so the header's fifteen lines
// cost the host one wait, not fifteen. They still retry for a moment without sleeping (grace),
// long enough for another driver object to finish its line, so writers sharing a file do not
// lose each other's lines. A line that gets through ends the back-off.
struct LogWaitLimits {
    std::chrono::microseconds perLine{std::chrono::milliseconds(40)};
    std::chrono::microseconds backOff{std::chrono::seconds(1)};
    std::chrono::microseconds pause{std::chrono::milliseconds(1)};
    std::chrono::microseconds grace{std::chrono::milliseconds(2)};
};

class TLogWriteWait {
public:
    using Limits = LogWaitLimits;
    explicit TLogWriteWait(Limits limits = {}, const LogWaitTimer& timer = LogWaitTimer::system());

    // Calls attempt until it answers Written or Failed or the line's wait is over; true when the
    // line was written.
    bool write(const std::function<platform::AppendResult()>& attempt);

private:
    Limits FLimits;
    const LogWaitTimer& FTimer;
    // The end of the back-off in the clock's ticks; the lowest value when there is none.
    std::atomic<int64_t> FBackOffUntil;
};

}  // namespace fr
