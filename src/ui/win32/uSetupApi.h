#pragma once
// SetupAPI, loaded at run time: a system without it still lists the ports of the registry's
// device map. Only the entry points the port code calls are resolved.
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

namespace fr::ui::win32 {

// What the device setup pass of the port enumeration calls. Loaded once with the system's
// file-error dialog suppressed and kept loaded; nullptr when the library or one of the functions
// is missing.
struct TPortsSetupApi {
    decltype(&SetupDiGetClassDevsA) GetClassDevsA;
    decltype(&SetupDiEnumDeviceInfo) EnumDeviceInfo;
    decltype(&SetupDiGetDeviceRegistryPropertyA) GetDeviceRegistryPropertyA;
    decltype(&SetupDiOpenDevRegKey) OpenDevRegKey;
    decltype(&SetupDiOpenClassRegKey) OpenClassRegKey;
    decltype(&SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList;
};
const TPortsSetupApi* PortsSetupApi();

// One use of SetupAPI's device-interface functions and of the configuration manager's
// node-status function, for listing USB printers. The system counts the loads of a library, so
// each use loads and frees its own; the last use to end unloads the libraries.
class TUSBSetupApiUse {
public:
    TUSBSetupApiUse();
    ~TUSBSetupApiUse();
    TUSBSetupApiUse(const TUSBSetupApiUse&) = delete;
    TUSBSetupApiUse& operator=(const TUSBSetupApiUse&) = delete;

    // The SetupAPI functions are there.
    bool Loaded() const { return FSetupApi != nullptr; }

    decltype(&SetupDiGetClassDevsA) GetClassDevsA = nullptr;
    decltype(&SetupDiEnumDeviceInterfaces) EnumDeviceInterfaces = nullptr;
    decltype(&SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList = nullptr;
    decltype(&SetupDiGetDeviceInterfaceDetailA) GetDeviceInterfaceDetailA = nullptr;
    decltype(&SetupDiGetDeviceRegistryPropertyA) GetDeviceRegistryPropertyA = nullptr;
    // Null when cfgmgr32.dll or the function is missing: no device counts as enabled then.
    decltype(&CM_Get_DevNode_Status) GetDevNodeStatus = nullptr;

private:
    HMODULE FSetupApi = nullptr;
    HMODULE FCfgMgr = nullptr;
};

}  // namespace fr::ui::win32
