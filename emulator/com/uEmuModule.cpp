// Entry points of fr_emulator.dll, the in-process server of "Vornlex.FiscalPrinter".
#include <objbase.h>
#include <olectl.h>

#include "module/uComBridge.h"
#include "uEmuAutomation.h"

namespace {

// {F0E57890-E067-46B4-B7F4-A448DDC8400E}: fixed for good, registrations depend on it.
constexpr CLSID kEmulatorClsid = {0xf0e57890, 0xe067, 0x46b4, {0xb7, 0xf4, 0xa4, 0x48, 0xdd, 0xc8, 0x40, 0x0e}};

std::shared_ptr<fr::DispatchTarget> createEmulator() { return std::make_shared<fr::emu::TEmuAutomation>(); }

const fr::com::ComClassInfo& emulatorClass() {
    static const fr::com::ComClassInfo info{L"Vornlex.FiscalPrinter", kEmulatorClsid,
                                            L"Vornlex fiscal printer emulator", &createEmulator};
    return info;
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    return fr::com::serverGetClassObject(emulatorClass(), clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return fr::com::serverCanUnloadNow(); }

STDAPI DllRegisterServer() { return fr::com::serverRegister(emulatorClass()); }

STDAPI DllUnregisterServer() { return fr::com::serverUnregister(emulatorClass()); }
