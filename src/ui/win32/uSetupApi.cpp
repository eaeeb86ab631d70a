#include "ui/win32/uSetupApi.h"

namespace fr::ui::win32 {

namespace {

template <typename F>
bool resolve(HMODULE module, const char* name, F& f) {
    f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return f != nullptr;
}

struct TLoadedPortsSetupApi {
    bool ok = false;
    TPortsSetupApi api{};
};

TLoadedPortsSetupApi loadPortsSetupApi() {
    TLoadedPortsSetupApi loaded;
    TPortsSetupApi& api = loaded.api;
    // No "insert a disk" or "file not found" box from the system while we look for the library.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    HMODULE module = LoadLibraryW(L"SetupApi.dll");
    SetThreadErrorMode(oldMode, nullptr);
    loaded.ok = module && resolve(module, "SetupDiGetClassDevsA", api.GetClassDevsA) &&
         resolve(module, "SetupDiEnumDeviceInfo", api.EnumDeviceInfo) &&
         resolve(module, "SetupDiGetDeviceRegistryPropertyA", api.GetDeviceRegistryPropertyA) &&
         resolve(module, "SetupDiOpenDevRegKey", api.OpenDevRegKey) &&
         resolve(module, "SetupDiOpenClassRegKey", api.OpenClassRegKey) &&
         resolve(module, "SetupDiDestroyDeviceInfoList", api.DestroyDeviceInfoList);
    if (!loaded.ok && module) FreeLibrary(module);
    return loaded;
}

}  // namespace

const TPortsSetupApi* PortsSetupApi() {
    static const TLoadedPortsSetupApi loaded = loadPortsSetupApi();
    return loaded.ok ? &loaded.api : nullptr;
}

TUSBSetupApiUse::TUSBSetupApiUse() {
    HMODULE setupApi = LoadLibraryW(L"SetupApi.dll");
    if (!setupApi) return;
    if (!resolve(setupApi, "SetupDiGetClassDevsA", GetClassDevsA) ||
        !resolve(setupApi, "SetupDiEnumDeviceInterfaces", EnumDeviceInterfaces) ||
        !resolve(setupApi, "SetupDiDestroyDeviceInfoList", DestroyDeviceInfoList) ||
        !resolve(setupApi, "SetupDiGetDeviceInterfaceDetailA", GetDeviceInterfaceDetailA) ||
        !resolve(setupApi, "SetupDiGetDeviceRegistryPropertyA", GetDeviceRegistryPropertyA)) {
        FreeLibrary(setupApi);
        GetClassDevsA = nullptr;
        EnumDeviceInterfaces = nullptr;
        DestroyDeviceInfoList = nullptr;
        GetDeviceInterfaceDetailA = nullptr;
        GetDeviceRegistryPropertyA = nullptr;
        return;
    }
    FSetupApi = setupApi;
    FCfgMgr = LoadLibraryW(L"cfgmgr32.dll");
    if (FCfgMgr && !resolve(FCfgMgr, "CM_Get_DevNode_Status", GetDevNodeStatus)) {
        FreeLibrary(FCfgMgr);
        FCfgMgr = nullptr;
    }
}

TUSBSetupApiUse::~TUSBSetupApiUse() {
    if (FCfgMgr) FreeLibrary(FCfgMgr);
    if (FSetupApi) FreeLibrary(FSetupApi);
}

}  // namespace fr::ui::win32
