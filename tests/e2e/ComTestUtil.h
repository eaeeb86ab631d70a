#pragma once
// Helpers of the COM host tests: apartment set-up, raw IDispatch calls in host order.
#include <objbase.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "module/uComBridge.h"

namespace fr::e2e {

struct ComApartment {
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
};

inline DISPID dispidOf(IDispatch* d, const wchar_t* name, HRESULT* hrOut = nullptr) {
    std::wstring buf = name;
    LPOLESTR names[1] = {buf.data()};
    DISPID id = 12345;
    HRESULT hr = d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (hrOut) *hrOut = hr;
    return id;
}

// The arguments of one Invoke, given first argument first (DISPPARAMS wants them last first),
// kept so that a test can look at the very VARIANTs the callee saw. They stay the caller's: they
// are copied bit for bit, not duplicated.
struct HostArgs {
    std::vector<VARIANT> rg;
    explicit HostArgs(const std::vector<VARIANT>& args) : rg(args.rbegin(), args.rend()) {}
    VARIANT& operator[](size_t i) { return rg[rg.size() - 1 - i]; }
    HRESULT invoke(IDispatch* d, DISPID id, WORD flags, VARIANT* result = nullptr, EXCEPINFO* excep = nullptr) {
        DISPPARAMS dp{rg.empty() ? nullptr : rg.data(), nullptr, static_cast<UINT>(rg.size()), 0};
        UINT argErr = 0;
        return d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, result, excep, &argErr);
    }
};

inline HRESULT invokeRaw(IDispatch* d, DISPID id, WORD flags, const std::vector<VARIANT>& args,
                         VARIANT* result = nullptr, EXCEPINFO* excep = nullptr) {
    return HostArgs(args).invoke(d, id, flags, result, excep);
}

inline VARIANT refTo(VARIANT* target) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&v) = target;
    return v;
}

inline VARIANT i4(LONG value) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

inline VARIANT empty() {
    VARIANT v;
    VariantInit(&v);
    return v;
}

inline std::u16string text(BSTR b) { return b ? std::u16string(reinterpret_cast<const char16_t*>(b), SysStringLen(b)) : u""; }

// EXCEPINFO that frees its strings.
struct Excep {
    EXCEPINFO ei{};
    ~Excep() {
        SysFreeString(ei.bstrSource);
        SysFreeString(ei.bstrDescription);
        SysFreeString(ei.bstrHelpFile);
    }
};

// A Unix path of the build as Wine sees it (drive Z: is the root).
inline std::wstring windowsPath(const char* path) {
    std::wstring w;
    if (path[0] == '/') w = L"Z:";
    for (const char* p = path; *p; ++p) w += (*p == '/') ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return w;
}

}  // namespace fr::e2e
