#include "dispatch/uLogWriteWait.h"

#include <limits>
#include <thread>

namespace fr {

namespace {
constexpr int64_t kNoBackOff = std::numeric_limits<int64_t>::min();
int64_t ticks(LogWaitTimer::Clock::time_point t) { return static_cast<int64_t>(t.time_since_epoch().count()); }
}  // namespace

LogWaitTimer::Clock::time_point LogWaitTimer::now() const { return Clock::now(); }
void LogWaitTimer::pause(std::chrono::milliseconds d) const { std::this_thread::sleep_for(d); }

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
        if (!mayWait || now - start >= FLimits.perLine) {
            FBackOffUntil.store(ticks(now + FLimits.backOff), std::memory_order_relaxed);
            return false;
        }
        FTimer.pause(FLimits.pause);
    }
}

}  // namespace fr
