// Calls per second of the public no-op method "NoOp" through the whole COM path (the dispatch test
// module, created through its own class factory, called with IDispatch::Invoke and a by-reference
// OutData) against a bare IDispatch that only writes a Boolean result. Both are timed in one run
// and the ratio of their per-call costs printed.
#include <objbase.h>
#include <oaidl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "module/uComPtr.h"
#include "support/TestDispatchClass.h"

using fr::com::ComPtr;

namespace {

// {DD14FC2E-4592-4C4A-BBCC-80A9666DF65D}: the dispatch test class.
const CLSID kTestClsid = {0xdd14fc2e, 0x4592, 0x4c4a, {0xbb, 0xcc, 0x80, 0xa9, 0x66, 0x6d, 0xf6, 0x5d}};
constexpr DISPID kBareNoOp = 7;

// As little as an IDispatch can do and still answer the call.
class BareDispatch final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --FRefs; }  // lives on main's stack
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override {
        ids[0] = kBareNoOp;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        if (id != kBareNoOp || !(flags & DISPATCH_METHOD)) return E_FAIL;
        if (result) {
            VariantInit(result);
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = VARIANT_TRUE;
        }
        return S_OK;
    }

private:
    ULONG FRefs = 1;
};

std::wstring windowsPath(const char* path) {
    std::wstring w;
    if (path[0] == '/') w = L"Z:";
    for (const char* p = path; *p; ++p) w += (*p == '/') ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return w;
}

double nowNs() {
    static const double nsPerTick = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return 1e9 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * nsPerTick;
}

// Nanoseconds per NoOp(InData, OutData by reference, TimeOut) call, the way a host makes it.
double nsPerCall(IDispatch* d, DISPID id, int calls) {
    VARIANT outData;
    VariantInit(&outData);
    VARIANT args[3];  // last argument first
    VariantInit(&args[0]);
    V_VT(&args[0]) = VT_I4;
    V_I4(&args[0]) = 0;
    VariantInit(&args[1]);
    V_VT(&args[1]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&args[1]) = &outData;
    VariantInit(&args[2]);
    DISPPARAMS dp{args, nullptr, 3, 0};
    VARIANT result;
    double start = nowNs();
    for (int i = 0; i < calls; ++i) {
        HRESULT hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &dp, &result, nullptr, nullptr);
        if (hr != S_OK || V_VT(&result) != VT_BOOL) {
            std::printf("call failed: 0x%08lX\n", static_cast<unsigned long>(hr));
            std::exit(1);
        }
        VariantClear(&result);
    }
    double elapsed = nowNs() - start;
    VariantClear(&outData);
    return elapsed / calls;
}

// The same call made on the portable object directly: the share of the dispatch layer itself.
double nsPerPortableCall(fr::DispatchTarget& t, int32_t id, int calls) {
    std::vector<fr::Variant> args(3);
    fr::Variant result;
    fr::ExcepInfo excep;
    double start = nowNs();
    for (int i = 0; i < calls; ++i) {
        args[0] = fr::Variant();
        args[1] = fr::Variant();
        args[2] = fr::Variant(0);
        if (t.invoke(id, fr::kDISPATCH_METHOD, args, result, excep) != fr::kS_OK) std::exit(1);
    }
    return (nowNs() - start) / calls;
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE module = LoadLibraryW(windowsPath(FR_DISPATCH_TEST_DLL).c_str());
    auto getClassObject = module ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
                                       reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")))
                                 : nullptr;
    if (!getClassObject) {
        std::printf("cannot load the dispatch test module\n");
        return 1;
    }
    {
        ComPtr<IClassFactory> factory;
        ComPtr<IDispatch> bridged;
        if (FAILED(getClassObject(kTestClsid, IID_IClassFactory, reinterpret_cast<void**>(factory.put()))) ||
            FAILED(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(bridged.put())))) {
            std::printf("cannot create the dispatch test object\n");
            return 1;
        }
        std::wstring name = L"NoOp";
        LPOLESTR names[1] = {name.data()};
        DISPID noOp = DISPID_UNKNOWN;
        if (FAILED(bridged->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &noOp))) {
            std::printf("NoOp not found\n");
            return 1;
        }
        BareDispatch bare;

        const int bridgedCalls = 200000, bareCalls = 2000000;
        nsPerCall(bridged.get(), noOp, bridgedCalls / 10);  // warm-up
        nsPerCall(&bare, kBareNoOp, bareCalls / 10);
        auto portable = fr::test::TTestDispatchObject::New();
        double bestBridged = 1e30, bestBare = 1e30, bestPortable = 1e30;
        for (int round = 0; round < 7; ++round) {  // interleaved; the best round of each counts
            bestBridged = std::min(bestBridged, nsPerCall(bridged.get(), noOp, bridgedCalls));
            bestBare = std::min(bestBare, nsPerCall(&bare, kBareNoOp, bareCalls));
            bestPortable = std::min(bestPortable, nsPerPortableCall(*portable, noOp, bridgedCalls));
        }
        std::printf("NoOp through the COM bridge: %12.0f calls/s  %8.1f ns/call\n", 1e9 / bestBridged, bestBridged);
        std::printf("bare IDispatch:              %12.0f calls/s  %8.1f ns/call\n", 1e9 / bestBare, bestBare);
        std::printf("  of which the portable Invoke: %8.1f ns/call\n", bestPortable);
        std::printf("ratio (bridge / bare): %.2f (aim: at most 1.3)\n", bestBridged / bestBare);
    }
    CoUninitialize();
    return 0;
}
