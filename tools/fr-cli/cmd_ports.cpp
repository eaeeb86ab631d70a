// fr-cli ports [--lpt|--all] [--check]: the ports the settings window's port picker offers, each
// as the device name the driver opens and the name shown; with --check, whether the port can be
// opened now (the picker's green and red dots).
#include <cstdio>
#include <memory>
#include <string>

#include "CliCommand.h"
#include "automation/Text.h"
#include "ui/uPortList.h"

namespace {

using namespace fr::ui;

const char* StateText(TPortState s) {
    switch (s) {
        case TPortState::psFree: return "свободен";
        case TPortState::psBusy: return "занят";
        default: return "не проверен";
    }
}

// Prints one type's list; answers how many ports it had.
int PrintPorts(TPortType type, bool check) {
    TPortList list(SystemPortSources(), SystemPortOpener());
    list.SetPortType(type);
    if (check) {
        list.CheckPorts();
        list.StopPortCheck();  // waits for the whole list
    }
    for (const TPortProp& e : list.Entries()) {
        std::u16string device = PortPrefix(type) + fr::u16(std::to_string(e.PortNum));
        if (device.size() < 7) device.append(7 - device.size(), u' ');
        std::u16string state;
        if (check) {
            state = fr::u16(StateText(e.PortState.load()));
            state.append(12 - state.size(), u' ');  // Russian: padded by characters, not bytes
        }
        std::printf("%s %s%s\n", fr::u8(device).c_str(), fr::u8(state).c_str(), fr::u8(e.PortName).c_str());
    }
    return list.Count();
}

fr::cli::CliRun Setup(CLI::App& c) {
    struct Options {
        bool lpt = false, all = false, check = false;
    };
    auto o = std::make_shared<Options>();
    CLI::Option* lpt = c.add_flag("--lpt", o->lpt, "parallel ports instead of serial ones");
    c.add_flag("--all", o->all, "serial ports, then parallel ones")->excludes(lpt);
    c.add_flag("--check", o->check, "try to open each port: свободен (free) or занят (in use or absent)");
    fr::cli::setExamples(c, {"fr-cli ports --check"});
    return [o] {
        int count = 0;
        if (!o->lpt) count += PrintPorts(TPortType::ptCOM, o->check);
        if (o->lpt || o->all) count += PrintPorts(TPortType::ptLPT, o->check);
        if (count == 0) std::fprintf(stderr, "fr-cli ports: портов не найдено\n");
        return 0;
    };
}

const fr::cli::CliCommandRegistration registration("ports", "list the serial or parallel ports, optionally checking each", Setup);

}  // namespace
