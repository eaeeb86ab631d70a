// fr_dispatch_test.dll: the dispatch test class behind real COM, ProgID "Eqdr.DispatchTest".
// Built like the driver module, never shipped.
#include <objbase.h>
#include <olectl.h>

#include "module/uComBridge.h"
#include "support/TestDispatchClass.h"

namespace {

// {DD14FC2E-4592-4C4A-BBCC-80A9666DF65D}
constexpr CLSID kTestClsid = {0xdd14fc2e, 0x4592, 0x4c4a, {0xbb, 0xcc, 0x80, 0xa9, 0x66, 0x6d, 0xf6, 0x5d}};

const fr::com::ComClassInfo& testClass() {
    static const fr::com::ComClassInfo info{L"Eqdr.DispatchTest", kTestClsid, L"Dispatch test class",
                                            [] { return fr::test::TTestDispatchObject::New(); }};
    return info;
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    return fr::com::serverGetClassObject(testClass(), clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return fr::com::serverCanUnloadNow(); }

STDAPI DllRegisterServer() { return fr::com::serverRegister(testClass()); }

STDAPI DllUnregisterServer() { return fr::com::serverUnregister(testClass()); }
