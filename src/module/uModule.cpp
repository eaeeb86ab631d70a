// Entry points of fr_vornlex.dll, the in-process server of "Eqdr.FrVornlex".
#include <objbase.h>
#include <olectl.h>

#include "module/uComBridge.h"
#include "module/uDriverObject.h"

namespace {

// {7C75037F-F54C-4D72-9A9B-9F64D8F0FBAC}: fixed for good, hosts and registrations depend on it.
constexpr CLSID kDriverClsid = {0x7c75037f, 0xf54c, 0x4d72, {0x9a, 0x9b, 0x9f, 0x64, 0xd8, 0xf0, 0xfb, 0xac}};

const fr::com::ComClassInfo& driverClass() {
    static const fr::com::ComClassInfo info{L"Eqdr.FrVornlex", kDriverClsid, L"8.2 Equipment Driver 2.0",
                                            &fr::createDriverObject};
    return info;
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    return fr::com::serverGetClassObject(driverClass(), clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return fr::com::serverCanUnloadNow(); }

STDAPI DllRegisterServer() { return fr::com::serverRegister(driverClass()); }

STDAPI DllUnregisterServer() { return fr::com::serverUnregister(driverClass()); }
