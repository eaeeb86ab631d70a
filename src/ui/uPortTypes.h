#pragma once
// The port picker's data: what is listed, the state of each port's test, and one entry.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace fr::ui {

// Serial ports, parallel ports, USB printer interfaces.
enum class TPortType : uint8_t { ptCOM, ptLPT, ptUSB };

// Not tested yet; opened; could not be opened (in use or absent).
enum class TPortState : uint8_t { psUnknown, psFree, psBusy };

// The device-name prefix of a type: "COM", "LPT", "USB".
std::u16string PortPrefix(TPortType type);

// A port state the checker thread writes and the drawing code reads without a lock. Copies take
// the current value, so entries stay ordinary values in a vector.
class TPortStateCell {
public:
    TPortStateCell(TPortState s = TPortState::psUnknown) : FValue(s) {}
    TPortStateCell(const TPortStateCell& o) : FValue(o.load()) {}
    TPortStateCell& operator=(const TPortStateCell& o) {
        store(o.load());
        return *this;
    }
    TPortState load() const { return FValue.load(std::memory_order_relaxed); }
    void store(TPortState s) { FValue.store(s, std::memory_order_relaxed); }
    operator TPortState() const { return load(); }

private:
    std::atomic<TPortState> FValue;
};
static_assert(sizeof(TPortStateCell) == 1 && std::atomic<TPortState>::is_always_lock_free);

// One entry of the picker; entry i belongs to item i of the drop-down list.
struct TPortProp {
    // Numbers go up to 256 (the remote-session list, PortNumber), so a byte is not enough.
    uint16_t PortNum = 0;           // COM3 -> 3; 0 for USB entries
    std::u16string PortName;        // the text drawn for the entry
    TPortStateCell PortState;       // the dot's colour
    std::u16string PortInterface;   // a USB entry's device interface path; empty otherwise
};
using TPortArray = std::vector<TPortProp>;

}  // namespace fr::ui
