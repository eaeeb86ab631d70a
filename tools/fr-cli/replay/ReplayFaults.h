#pragma once
// The register call whose error a public method reports first, so that a register error the log
// shows can be made again on the emulator with a faults-file rule at that call. Each method has
// one call that does its work (a report, a receipt's beginning, a deposit); the calls before it
// only read the register's state and report nothing.
#include <optional>
#include <string>

#include "automation/Variant.h"

namespace fr::replay {

// The universal driver's method, or nothing when the method has no call of its own that reports
// an error (GetLastDocInfo reads counters only).
std::optional<std::u16string> RegisterCallOf(std::u16string_view publicMethod, const Variant& inData);

// "fail <call> <n> <code> <text>": the text on one line, without the faults file's "|".
std::u16string FaultRule(const std::u16string& call, int n, int32_t code, std::u16string_view text);

}  // namespace fr::replay
