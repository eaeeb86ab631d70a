#pragma once
// A call's answer, as the log has it and as the replay got it, and whether the two are the same:
// the call's value and, for a failure, the result code. OutData of a success is never compared:
// it carries the register's clock and numbers, which the emulator cannot share with the shop's.
#include <cstdint>
#include <string>

#include "automation/Variant.h"
#include "replay/DebugLogFile.h"

namespace fr::replay {

struct ReplayAnswer {
    bool raised = false;  // an exception instead of an answer
    bool value = false;
    Variant out;
    std::u16string text;  // as the log would write it
};

// The logged answer as the line shows it.
std::u16string LoggedAnswerText(const LogEvent& call);

// The code and text of a logged failure whose OutData is [code, text].
bool LoggedError(const LogEvent& call, int32_t& code, std::u16string& text);

// Only for a call whose answer the log holds (its end line or an EXCEPTION line).
bool SameAnswer(const LogEvent& call, const ReplayAnswer& replayed);

}  // namespace fr::replay
