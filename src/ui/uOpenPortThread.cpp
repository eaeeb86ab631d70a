#include "ui/uOpenPortThread.h"

#include <string>
#include <vector>

#include "automation/Text.h"
#include "ui/uPortList.h"
#include "ui/uPortSources.h"

namespace fr::ui {

TOpenPortThread::TOpenPortThread(TPortList& control, TPortOpener& opener, TNotify notify)
    : FControl(control), FOpener(opener), FNotify(std::move(notify)), FThread([this] { Execute(); }) {}

TOpenPortThread::~TOpenPortThread() { WaitFor(); }

void TOpenPortThread::WaitFor() {
    if (FThread.joinable()) FThread.join();
}

void TOpenPortThread::Execute() noexcept {
    // Nothing may leave a thread: a failure (out of memory, a throwing callback) ends the check.
    try {
        TPortType type;
        std::vector<uint16_t> numbers;
        {
            std::lock_guard lock(FCriticalSection);
            type = FControl.PortType();
            // Every entry, however many placeholders were appended.
            numbers.reserve(static_cast<size_t>(FControl.Count()));
            for (int i = 0; i < FControl.Count(); ++i) numbers.push_back(FControl.Entry(i).PortNum);
        }
        const std::u16string prefix = PortPrefix(type);
        for (size_t i = 0; i < numbers.size(); ++i) {
            {
                std::lock_guard lock(FCriticalSection);
                const bool free = FOpener.IsPortFree(prefix + utf8ToUtf16(std::to_string(numbers[i])));
                FControl.SetPortState(static_cast<int>(i), free ? TPortState::psFree : TPortState::psBusy);
            }
            if (FNotify) FNotify();
        }
    } catch (...) {
    }
    FFinished = true;
}

}  // namespace fr::ui
