#pragma once
// Injected faults, read from the faults file of the emulator folder, so that tests and
// integrators can watch their error paths. One rule a line ("#" starts a comment):
//
//   fail <method> <N> <code> [text] [| extended text]   the N-th call fails ("*": every call)
//   after <method> <N> <code> [text] [| extended text]  the N-th call is carried out, then answers
//                                                       the code as "fail" does (the register did
//                                                       the work and reported a fault); a call the
//                                                       register refused keeps its own refusal
//   raise <method> <N> [text]                           the N-th call raises an automation exception
//                                                       instead of being carried out
//   lost <method> <N> [text]                            the N-th call is carried out, then raises
//                                                       (the register did it, the answer was lost)
//   down <method> <N> [text]                            as lost, and every later call raises the
//                                                       text until the file changes (link down)
//   hang <method> <N>                                   the N-th call waits until the file changes,
//                                                       then is carried out (a host killed mid-call)
//   paper-out                                           every printing call fails with 3001
//
// The file may be UTF-8 (with or without a mark), UTF-16 LE with a mark, or code page 1251, as
// Windows programs save it. Calls are counted per automation object from the moment the file was
// read; a file saved again (another time, size or content) is read again and the count starts
// afresh, and a link that went down is up again. A rule file that does not parse, or names a
// method the object does not have, makes every call fail with code 1 and the line at fault,
// rather than being silently ignored.
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "automation/Errors.h"
#include "uEmuErrors.h"

namespace fr::emu {

// A call that a "raise", "lost" or "down" rule makes escape as an automation exception instead of
// an error state.
class EEmuRaised : public EError {
public:
    explicit EEmuRaised(std::u16string text) : EError(std::move(text), "EOleException") {}
};

class TEmuFaults {
public:
    // `isMethod`: whether a rule may name the method (the automation object's own list).
    TEmuFaults(std::filesystem::path file, std::function<bool(const std::u16string&)> isMethod);
    // What becomes of a call once the register has carried it out.
    struct Aftermath {
        std::optional<std::u16string> lostAnswer;  // "lost", "down": raise this text
        std::optional<EEmuError> reported;         // "after": answer this error
    };
    // Counts the call; raises EEmuError (a "fail" rule) or EEmuRaised (a "raise" rule, or the link
    // is down) when it must fail, and waits while a "hang" rule holds it. `prints`: the call
    // prints.
    Aftermath check(const std::u16string& method, bool prints);

private:
    enum class Kind { Fail, After, Raise, Lost, Down, Hang };
    struct Rule {
        Kind kind = Kind::Fail;
        std::u16string method;  // upper-case
        int64_t nth = 0;        // 0: every call
        int32_t code = 0;
        std::u16string text, extended;
    };
    // What was last seen of the file. The time misses a rewrite within one file-time tick, hence
    // the content too.
    struct Snapshot {
        bool present = false;
        std::filesystem::file_time_type time{};
        std::string content;
        bool operator==(const Snapshot&) const = default;
    };
    static EEmuError error(const Rule& r);  // the answer of a "fail" or "after" rule
    Snapshot read() const;
    void refresh();
    void parse(const std::string& content);
    void waitForChange() const;

    std::filesystem::path FFile;
    std::function<bool(const std::u16string&)> FIsMethod;
    Snapshot FSeen;
    std::vector<Rule> FRules;
    bool FPaperOut = false;
    std::optional<std::u16string> FDown;  // the link is down: every call raises this
    std::u16string FParseError;
    std::map<std::u16string, int64_t> FCalls;
};

}  // namespace fr::emu
