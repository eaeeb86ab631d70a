// fr-cli: command-line front end over the driver's portable core.
#include <cstdio>
#include <exception>
#include <string>

#include "CliCommand.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace fr::cli;

static int usage() {
    std::fputs("usage: fr-cli <command> [arguments]\n\ncommands:\n", stderr);
    for (const auto& c : cliCommands()) std::fprintf(stderr, "  %-10s %s\n", c.name.c_str(), c.usage.c_str());
    return 2;
}

int main(int argc, char** argv) {
#ifdef _WIN32
    // We print UTF-8 (Russian texts included).
    SetConsoleOutputCP(CP_UTF8);
#endif
    if (argc < 2) return usage();
    const std::string name = argv[1];
    if (name == "help" || name == "--help" || name == "-h") return usage(), 0;
    for (const auto& c : cliCommands()) {
        if (c.name != name) continue;
        CliArgs args(argv + 2, argv + argc);
        try {
            return c.handler(args);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "fr-cli %s: %s\n", name.c_str(), e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "fr-cli: unknown command '%s'\n", name.c_str());
    return usage();
}
