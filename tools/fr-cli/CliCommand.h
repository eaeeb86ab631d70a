#pragma once
// A sub-command of fr-cli. Each cmd_*.cpp defines one and registers it with a static
// CliCommandRegistration, so commands are added without touching main.
#include <string>
#include <vector>

namespace fr::cli {

using CliArgs = std::vector<std::string>;
// Runs the command with the words after its name; returns the process exit code.
using CliHandler = int (*)(const CliArgs& args);

struct CliCommand {
    std::string name;
    std::string usage;    // one line: arguments and what the command does
    CliHandler handler;
};

const std::vector<CliCommand>& cliCommands();

struct CliCommandRegistration {
    CliCommandRegistration(std::string name, std::string usage, CliHandler handler);
};

}  // namespace fr::cli
