#include "uEmuClock.h"

#include <mutex>

#include "platform/Platform.h"

namespace fr::emu {

namespace {
std::mutex& clockLock() {
    static std::mutex m;
    return m;
}
TEmuClock& installedClock() {
    static TEmuClock c;
    return c;
}
}  // namespace

double emuComputerNow() {
    TEmuClock c;
    {
        std::lock_guard g(clockLock());
        c = installedClock();
    }
    return c ? c() : platform::nowLocal();
}

TEmuClock setEmuClock(TEmuClock clock) {
    std::lock_guard g(clockLock());
    TEmuClock previous = std::move(installedClock());
    installedClock() = std::move(clock);
    return previous;
}

}  // namespace fr::emu
