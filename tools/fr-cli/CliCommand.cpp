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

CliCommandRegistration::CliCommandRegistration(std::string name, std::string usage, CliHandler handler) {
    registry().push_back({std::move(name), std::move(usage), handler});
}

}  // namespace fr::cli
