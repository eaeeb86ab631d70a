// The port sources natively: the serial devices libserialport finds, as devices of the setup
// pass (there is no device map, no remote session and no USB printer list here).
#include <libserialport.h>

#include <algorithm>
#include <string>
#include <vector>

#include "automation/Text.h"
#include "ui/posix/uSerialDevices.h"
#include "ui/uPortSources.h"

namespace fr::ui {

namespace {

struct SerialPort {
    int number;
    std::string path;
    std::string usbDescription;
};

std::vector<SerialPort> listSerialPorts() {
    std::vector<SerialPort> ports;
    sp_port** list = nullptr;
    if (sp_list_ports(&list) != SP_OK) return ports;
    for (sp_port** p = list; *p; ++p) {
        const char* name = sp_get_port_name(*p);
        const int number = name ? posix::SerialPortNumber(name) : 0;
        if (number == 0) continue;
        std::string description;
        if (sp_get_port_transport(*p) == SP_TRANSPORT_USB) {
            const char* product = sp_get_port_usb_product(*p);
            const char* text = product ? product : sp_get_port_description(*p);
            if (text) description = text;
        }
        ports.push_back({number, name, description});
    }
    sp_free_port_list(list);
    std::sort(ports.begin(), ports.end(), [](const SerialPort& a, const SerialPort& b) { return a.number < b.number; });
    return ports;
}

class TPosixPortSources final : public TPortSources {
public:
    bool IsRemoteSession() override { return false; }
    std::vector<std::u16string> DeviceMapValues(TDeviceMap) override { return {}; }
    bool EnumSetupPorts(const std::function<bool(const TSetupPortDevice&)>& visit) override {
        for (const SerialPort& p : listSerialPorts()) {
            // "/dev/ttyUSB0: FT232R USB UART (COM101)", "/dev/ttyS0 (COM1)".
            const std::string com = "COM" + std::to_string(p.number);
            TSetupPortDevice d;
            d.FriendlyName = utf8ToUtf16(p.path + (p.usbDescription.empty() ? "" : ": " + p.usbDescription) + " (" + com + ")");
            d.PortName = utf8ToUtf16(com);
            if (!visit(d)) break;
        }
        return true;
    }
    bool EnumUSBPrinters(const std::function<void(const TUSBInterfaceData&)>&) override { return true; }
};

class TPosixPortOpener final : public TPortOpener {
public:
    bool IsPortFree(const std::u16string& name) override {
        // Only serial ports have devices here.
        if (name.size() < 4 || name.compare(0, 3, u"COM") != 0) return false;
        int number = 0;
        for (char16_t c : name.substr(3)) {
            if (c < u'0' || c > u'9' || number > 1000) return false;
            number = number * 10 + (c - u'0');
        }
        const std::string path = posix::SerialDevicePath(number);
        return !path.empty() && posix::IsDeviceFree(path);
    }
};

}  // namespace

TPortSources& SystemPortSources() {
    static TPosixPortSources sources;
    return sources;
}

TPortOpener& SystemPortOpener() {
    static TPosixPortOpener opener;
    return opener;
}

}  // namespace fr::ui
