// The cost of one call of the public no-op method NoOp(InData, OutData by reference, TimeOut)
// through three IDispatch objects, timed in one run and shown in one table:
//  - the system's standard dispatcher (CreateDispTypeInfo + CreateStdDispatch over type
//    information describing the same method), what a conventional automation server uses;
//  - a bare IDispatch that only writes a Boolean result, the floor;
//  - ours: the dispatch test module, created through its own class factory.
// Also the heap allocations per call of our bridge and portable Invoke, counted in this program
// (a bridge made here, so its allocations go through this program's allocator).
#include <objbase.h>
#include <oaidl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "module/uComBridge.h"
#include "module/uComPtr.h"
#include "support/TestDispatchClass.h"

using fr::com::ComPtr;


#include "support/CountingAllocator.h"

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

// The object the standard dispatcher calls: its first virtual function is NoOp, described to
// CreateDispTypeInfo as vtable slot 0 returning a Boolean.
class StdNoOp {
public:
    virtual VARIANT_BOOL STDMETHODCALLTYPE NoOp(VARIANT, VARIANT*, LONG) { return VARIANT_TRUE; }
};

// An IDispatch made by the system from type information describing NoOp(InData, OutData, TimeOut).
ComPtr<IDispatch> standardDispatcher(StdNoOp& target) {
    static PARAMDATA params[] = {{const_cast<OLECHAR*>(L"InData"), VT_VARIANT},
                                 {const_cast<OLECHAR*>(L"OutData"), VT_VARIANT | VT_BYREF},
                                 {const_cast<OLECHAR*>(L"TimeOut"), VT_I4}};
    static METHODDATA method = {const_cast<OLECHAR*>(L"NoOp"), params, kBareNoOp, 0, CC_STDCALL, 3, DISPATCH_METHOD,
                                VT_BOOL};
    static INTERFACEDATA data = {&method, 1};
    ComPtr<ITypeInfo> info;
    ComPtr<IUnknown> unknown;
    ComPtr<IDispatch> dispatch;
    if (FAILED(CreateDispTypeInfo(&data, LOCALE_SYSTEM_DEFAULT, info.put()))) return {};
    // Some systems answer the class's type information: the methods are in its interface.
    TYPEATTR* attr = nullptr;
    if (SUCCEEDED(info->GetTypeAttr(&attr))) {
        const bool isClass = attr->typekind == TKIND_COCLASS;
        info->ReleaseTypeAttr(attr);
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> iface;
        if (isClass && SUCCEEDED(info->GetRefTypeOfImplType(0, &ref)) && SUCCEEDED(info->GetRefTypeInfo(ref, iface.put())))
            info = std::move(iface);
    }
    if (FAILED(CreateStdDispatch(nullptr, &target, info.get(), unknown.put())) ||
        FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.put()))))
        return {};
    return dispatch;
}

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
double nsPerCall(IDispatch* d, DISPID id, int calls, const VARIANT* inData = nullptr) {
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
    if (inData) args[2] = *inData;  // the caller keeps it
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
        StdNoOp stdTarget;
        ComPtr<IDispatch> standard = standardDispatcher(stdTarget);
        if (!standard) {
            std::printf("cannot create the standard dispatcher\n");
            return 1;
        }

        const int calls = 200000, bareCalls = 2000000;
        nsPerCall(bridged.get(), noOp, calls / 10);  // warm-up
        nsPerCall(standard.get(), kBareNoOp, calls / 10);
        nsPerCall(&bare, kBareNoOp, bareCalls / 10);
        double bestBridged = 1e30, bestBare = 1e30, bestStandard = 1e30;
        for (int round = 0; round < 7; ++round) {  // interleaved; the best round of each counts
            bestStandard = std::min(bestStandard, nsPerCall(standard.get(), kBareNoOp, calls));
            bestBridged = std::min(bestBridged, nsPerCall(bridged.get(), noOp, calls));
            bestBare = std::min(bestBare, nsPerCall(&bare, kBareNoOp, bareCalls));
        }
        // Allocations: a bridge over a test object made in this program, InData of each kind a
        // host passes most.
        ComPtr<IDispatch> local = fr::com::createDispatchBridge(fr::test::TTestDispatchObject::New());
        BSTR text15 = SysAllocString(L"Строка из 15 зн");
        VARIANT kinds[4];
        for (VARIANT& k : kinds) VariantInit(&k);
        V_VT(&kinds[1]) = VT_I4;
        V_I4(&kinds[1]) = 42;
        V_VT(&kinds[2]) = VT_R8;
        V_R8(&kinds[2]) = 2.5;
        V_VT(&kinds[3]) = VT_BSTR;
        V_BSTR(&kinds[3]) = text15;
        const char* kindNames[4] = {"Empty", "I4", "R8", "text of 15 characters"};
        double allocations[4];
        const int counted = 10000;
        for (int k = 0; k < 4; ++k) {
            nsPerCall(local.get(), noOp, 10, &kinds[k]);
            long before = fr::test::allocationCount();
            nsPerCall(local.get(), noOp, counted, &kinds[k]);
            allocations[k] = static_cast<double>(fr::test::allocationCount() - before) / counted;
        }
        SysFreeString(text15);

        std::printf("%-34s %12s %10s %12s\n", "NoOp(InData, OutData, TimeOut)", "calls/s", "ns/call", "of standard");
        const auto row = [&](const char* what, double ns) {
            std::printf("%-34s %12.0f %10.1f %12.3f\n", what, 1e9 / ns, ns, ns / bestStandard);
        };
        row("standard dispatcher (system)", bestStandard);
        row("bare IDispatch", bestBare);
        row("ours (COM bridge + Invoke)", bestBridged);
        std::printf("ours / standard: %.3f (aim: at most 0.15)\n", bestBridged / bestStandard);
        std::printf("heap allocations per call of ours (aim: none), by InData:");
        for (int k = 0; k < 4; ++k) std::printf("%s %s %.2f", k ? "," : "", kindNames[k], allocations[k]);
        std::printf("\n");
    }
    CoUninitialize();
    return 0;
}
