#pragma once
// Injected faults, read from the faults file of the emulator folder, so that tests and
// integrators can watch their error paths. One rule a line ("#" starts a comment):
//
//   fail <method> <N> <code> [text] [| extended text]   the N-th call fails ("*": every call)
//   raise <method> <N> [text]                           the N-th call raises an automation exception
//   paper-out                                           every printing call fails with 3001
//
// Calls are counted per automation object from the moment the file was read; a file saved again
// (another time, size or content) is read again and the count starts afresh. A rule file that
// does not parse, or names a method the object does not have, makes every call fail with code 1
// and the line at fault, rather than being silently ignored.
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "automation/Errors.h"

namespace fr::emu {

// A call that a "raise" rule makes escape as an automation exception instead of an error state.
class EEmuRaised : public EError {
public:
    explicit EEmuRaised(std::u16string text) : EError(std::move(text), "EOleException") {}
};

class TEmuFaults {
public:
    // `isMethod`: whether a rule may name the method (the automation object's own list).
    TEmuFaults(std::filesystem::path file, std::function<bool(const std::u16string&)> isMethod);
    // Counts the call; raises EEmuError (a "fail" rule) or EEmuRaised (a "raise" rule) when it
    // must fail. `prints`: the call prints.
    void check(const std::u16string& method, bool prints);

private:
    struct Rule {
        bool raise = false;
        std::u16string method;  // upper-case
        int64_t nth = 0;        // 0: every call
        int32_t code = 0;
        std::u16string text, extended;
    };
    void refresh();
    void parse(const std::string& content);

    std::filesystem::path FFile;
    std::function<bool(const std::u16string&)> FIsMethod;
    bool FPresent = false;
    std::filesystem::file_time_type FTime{};
    uintmax_t FSize = 0;
    // Time and size miss a rewrite of the same length within one file-time tick.
    std::string FContent;
    std::vector<Rule> FRules;
    bool FPaperOut = false;
    std::u16string FParseError;
    std::map<std::u16string, int64_t> FCalls;
};

}  // namespace fr::emu
