#pragma once
// Where the port picker learns which ports exist and whether one can be opened. The Windows
// implementation reads the registry's device map and SetupAPI; natively the serial ports come
// from libserialport. Tests hand in fakes, so every listing rule is checked without hardware.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fr::ui {

// The two registry device maps: "hardware\devicemap\serialcomm" and "...\parallel ports".
enum class TDeviceMap : uint8_t { dmSerial, dmParallel };

// What the device setup pass reads of one device of the Ports setup class. Texts are already
// converted to UTF-16; an empty text is a property that could not be read.
struct TSetupPortDevice {
    bool StatusRead = true;       // the configuration manager answered for the device's node
    bool NoDisplayClass = false;  // the setup class's key holds a value "NoDisplayClass"
    std::u16string FriendlyName;
    std::u16string DeviceDesc;
    std::u16string ClassName;
    std::u16string ClassGuid;
    std::u16string PortName;      // the "PortName" value of the device's own key
};

// One USB printer interface as the system reports it.
struct TUSBInterfaceData {
    std::u16string InterfacePath;  // the interface's device path
    std::u16string LocationInfo;   // the device's location information
    std::u16string DeviceDesc;     // the device description
    bool StatusRead = false;       // the node status could be read
    uint32_t Status = 0;           // its status flags
    uint32_t Problem = 0;          // and problem code
};

class TPortSources {
public:
    virtual ~TPortSources() = default;
    // The program runs in a remote desktop session.
    virtual bool IsRemoteSession() = 0;
    // The value texts of a device-map key, in the key's order; none when the key cannot be opened.
    virtual std::vector<std::u16string> DeviceMapValues(TDeviceMap map) = 0;
    // Calls visit for each present device of the Ports class, in the system's order, until visit
    // answers false. False when the setup interface or the device set is not available.
    virtual bool EnumSetupPorts(const std::function<bool(const TSetupPortDevice&)>& visit) = 0;
    // Calls add for each USB printer interface (present or not). False when the enumeration
    // cannot start or a detail call fails; what was added before stays.
    virtual bool EnumUSBPrinters(const std::function<void(const TUSBInterfaceData&)>& add) = 0;
};

class TPortOpener {
public:
    virtual ~TPortOpener() = default;
    // The port device ("COM3", "LPT1") can be opened for reading and writing, exclusively; it is
    // closed again at once.
    virtual bool IsPortFree(const std::u16string& name) = 0;
};

// The running system's sources and open test (process-wide, stateless to the caller). Defined by
// each platform: src/ui/posix natively, src/ui/win32 (fr_ui_win32) on Windows.
TPortSources& SystemPortSources();
TPortOpener& SystemPortOpener();

}  // namespace fr::ui
