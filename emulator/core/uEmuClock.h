#pragma once
// The computer clock as the emulator sees it: the system's local time unless a test has put its
// own clock in (shift expiry must be testable without waiting a day). The device clock is this
// plus the offset SetTime leaves in the state.
#include <functional>

namespace fr::emu {

// Local date and time as an OLE serial.
using TEmuClock = std::function<double()>;

double emuComputerNow();
// Installs a clock for the whole process; an empty function brings back the system clock.
// Returns the clock that was in place.
TEmuClock setEmuClock(TEmuClock clock);

// A test's clock for the life of this object.
class TScopedEmuClock {
public:
    explicit TScopedEmuClock(TEmuClock clock) : FPrevious(setEmuClock(std::move(clock))) {}
    ~TScopedEmuClock() { setEmuClock(std::move(FPrevious)); }
    TScopedEmuClock(const TScopedEmuClock&) = delete;
    TScopedEmuClock& operator=(const TScopedEmuClock&) = delete;

private:
    TEmuClock FPrevious;
};

}  // namespace fr::emu
