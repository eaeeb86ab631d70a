#pragma once
// TOpenPortThread: the picker's background check. It tries to open every listed port once, in
// order, sets each entry's state and after each port asks for a repaint through a callback (the
// Windows picker posts a message to its own window; the callback never touches the list's
// owner). A check always runs to its end; the owner waits for it before it resizes its list.
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace fr::ui {

class TPortList;
class TPortOpener;

class TOpenPortThread {
public:
    using TNotify = std::function<void()>;
    // Starts at once.
    TOpenPortThread(TPortList& control, TPortOpener& opener, TNotify notify);
    // Waits for the check to end.
    ~TOpenPortThread();
    TOpenPortThread(const TOpenPortThread&) = delete;
    TOpenPortThread& operator=(const TOpenPortThread&) = delete;

    // A request to stop: recorded, but the check still goes through the whole list.
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    void WaitFor();
    bool Finished() const { return FFinished; }

private:
    void Execute() noexcept;

    std::mutex FCriticalSection;  // held while the entries are read and while one state is written
    TPortList& FControl;
    TPortOpener& FOpener;
    TNotify FNotify;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::thread FThread;  // last: it starts once everything above exists
};

}  // namespace fr::ui
