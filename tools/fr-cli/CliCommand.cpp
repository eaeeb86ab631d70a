#include "CliCommand.h"

#include <algorithm>

namespace fr::cli {

namespace {
std::vector<CliCommand>& registry() {
    static std::vector<CliCommand> commands;
    return commands;
}
}  // namespace

const std::vector<CliCommand>& cliCommands() {
    auto& r = registry();
    std::sort(r.begin(), r.end(), [](const CliCommand& a, const CliCommand& b) { return a.name < b.name; });
    return r;
}

CliCommandRegistration::CliCommandRegistration(std::string name, std::string description, CliSetup setup) {
    registry().push_back({std::move(name), std::move(description), setup});
}

void setExamples(CLI::App& command, std::initializer_list<const char*> lines) {
    std::string text = lines.size() > 1 ? "Examples:" : "Example:";
    for (const char* l : lines) text += std::string("\n  ") + l;
    command.footer(text);
}

CLI::Option* addDecimalSeparatorOption(CLI::App& command, std::string& ds, const std::string& help) {
    const CLI::Validator oneOfTwo([](const std::string& v) { return v == "." || v == "," ? "" : "must be . or ,"; }, "");
    return command.add_option("--ds", ds, help)->type_name(".|,")->check(oneOfTwo);
}

}  // namespace fr::cli
