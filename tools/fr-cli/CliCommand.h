#pragma once
// A sub-command of fr-cli. Each cmd_*.cpp defines one and registers it with a static
// CliCommandRegistration, so commands are added without touching main: the setup function
// declares the command's options and arguments on its CLI11 sub-command (with an example for its
// --help) and answers what runs the command once the line is parsed.
#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace fr::cli {

// Runs the parsed command; returns the process exit code.
using CliRun = std::function<int()>;
using CliSetup = CliRun (*)(CLI::App& command);

struct CliCommand {
    std::string name;
    std::string description;  // one line, shown in fr-cli --help
    CliSetup setup;
};

const std::vector<CliCommand>& cliCommands();

struct CliCommandRegistration {
    CliCommandRegistration(std::string name, std::string description, CliSetup setup);
};

// The example lines shown at the end of a command's --help.
void setExamples(CLI::App& command, std::initializer_list<const char*> lines);

// --ds: "." or ",", left empty when not given.
CLI::Option* addDecimalSeparatorOption(CLI::App& command, std::string& ds, const std::string& help);

}  // namespace fr::cli
