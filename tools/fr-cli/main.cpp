// fr-cli: command-line front end over the driver's portable core.
#include <cstdio>
#include <exception>
#include <map>
#include <string>

#include "CliCommand.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace fr::cli;

int main(int argc, char** argv) {
#ifdef _WIN32
    // We print UTF-8 (Russian texts included).
    SetConsoleOutputCP(CP_UTF8);
#endif
    CLI::App app{"Command-line tool over the fiscal-printer driver's core.", "fr-cli"};
    app.require_subcommand(1, 1);
    std::map<const CLI::App*, CliRun> runs;
    for (const auto& c : cliCommands()) {
        CLI::App* command = app.add_subcommand(c.name, c.description);
        runs[command] = c.setup(*command);
    }
    // After the commands: a sub-command takes its parent's footer when it is added.
    setExamples(app, {"fr-cli eval \"2+3*4\"", "fr-cli COMMAND --help"});
    // "fr-cli help" as well as --help.
    if (argc == 2 && std::string(argv[1]) == "help") {
        std::fputs(app.help().c_str(), stdout);
        return 0;
    }
    // A first word that is neither an option nor a command: say so rather than "a command is required".
    const auto isCommand = [](const char* word) {
        for (const auto& c : cliCommands())
            if (c.name == word) return true;
        return false;
    };
    if (argc >= 2 && argv[1][0] != '-' && !isCommand(argv[1])) {
        std::fprintf(stderr, "fr-cli: unknown command '%s'\nRun with --help for more information.\n", argv[1]);
        return 2;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        // A command line that cannot be parsed is a usage error, whatever CLI11 calls it.
        app.exit(e);
        return 2;
    }
    const CLI::App* command = app.get_subcommands().front();
    try {
        return runs.at(command)();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fr-cli %s: %s\n", command->get_name().c_str(), e.what());
        return 1;
    }
}
