#pragma once
// Injected faults, read from the faults file of the emulator folder, so that tests and
// integrators can watch their error paths. One rule a line ("#" starts a comment):
//
//   fail <method> <N> <code> [text]   the N-th call of the method fails ("*": every call)
//   paper-out                         every printing call fails with 3001 "Нет бумаги"
//
// Calls are counted per automation object from the moment the file was read; editing the file
// reads it again and starts the count afresh. A rule file that does not parse makes every call
// fail with code 1 and the line at fault, rather than being silently ignored.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fr::emu {

class TEmuFaults {
public:
    explicit TEmuFaults(std::filesystem::path file);
    // Counts the call; raises EEmuError when a rule makes it fail. `prints`: the call prints.
    void check(const std::u16string& method, bool prints);

private:
    struct Rule {
        std::u16string method;  // upper-case
        int64_t nth = 0;        // 0: every call
        int32_t code = 0;
        std::u16string text;
    };
    void refresh();
    void parse(const std::string& content);

    std::filesystem::path FFile;
    bool FPresent = false;
    std::filesystem::file_time_type FTime{};
    uintmax_t FSize = 0;
    std::vector<Rule> FRules;
    bool FPaperOut = false;
    std::u16string FParseError;
    std::map<std::u16string, int64_t> FCalls;
};

}  // namespace fr::emu
