#include "dispatch/uLogWriteWait.h"

#include <limits>
#include <thread>

namespace fr {

namespace {
constexpr int64_t kNoBackOff = std::numeric_limits<int64_t>::min();
int64_t ticks(LogWaitTimer::Clock::time_point t) { return static_cast<int64_t>(t.time_since_epoch().count()); }
}  // namespace

LogWaitTimer::Clock::time_point LogWaitTimer::now() const { return Clock::now(); }
void LogWaitTimer::pause(std::chrono::microseconds d) const {
    if (d.count() == 0) std::this_thread::yield();
    else std::this_thread::sleep_for(d);
}

const LogWaitTimer& LogWaitTimer::system() {
    static const LogWaitTimer timer;
    return timer;
}

TLogWriteWait::TLogWriteWait(Limits limits, const LogWaitTimer& timer)
    : FLimits(limits), FTimer(timer), FBackOffUntil(kNoBackOff) {}

bool TLogWriteWait::write(const std::function<platform::AppendResult()>& attempt) {
    const auto start = FTimer.now();
    const bool mayWait = ticks(start) >= FBackOffUntil.load(std::memory_order_relaxed);
    for (;;) {
        switch (attempt()) {
            case platform::AppendResult::Written:
                FBackOffUntil.store(kNoBackOff, std::memory_order_relaxed);
                return true;
            case platform::AppendResult::Failed: return false;  // waiting would not help
            case platform::AppendResult::Busy: break;
        }
        const auto now = FTimer.now();
        if (now - start >= (mayWait ? FLimits.perLine : FLimits.grace)) {
            FBackOffUntil.store(ticks(now + FLimits.backOff), std::memory_order_relaxed);
            return false;
        }
        FTimer.pause(mayWait ? FLimits.pause : std::chrono::microseconds(0));
    }
}

}  // namespace fr
