// A C++ host: registers the modules the way regsvr32 does, creates the classes by ProgID and
// calls them through IDispatch exactly as a late-bound business application does.
#include <gtest/gtest.h>

#include <cmath>

#include "ComTestUtil.h"
#include "fr_version.h"
#include "support/TestDispatchClass.h"

using namespace fr;
using namespace fr::com;
using namespace fr::e2e;

namespace {

const char16_t kBadParamsText[] = u"Ошибка входных параметров команды";
// {7C75037F-F54C-4D72-9A9B-9F64D8F0FBAC}
const CLSID kDriverClsid = {0x7c75037f, 0xf54c, 0x4d72, {0x9a, 0x9b, 0x9f, 0x64, 0xd8, 0xf0, 0xfb, 0xac}};

const std::wstring& driverDll() {
    static const std::wstring p = windowsPath(FR_VORNLEX_DLL);
    return p;
}
const std::wstring& testDll() {
    static const std::wstring p = windowsPath(FR_DISPATCH_TEST_DLL);
    return p;
}

using ModuleFunction = HRESULT(STDAPICALLTYPE*)();
ModuleFunction exportOf(HMODULE m, const char* name) {
    return reinterpret_cast<ModuleFunction>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

class ModuleEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        for (const auto& dll : {driverDll(), testDll()}) {
            HMODULE m = LoadLibraryW(dll.c_str());
            ASSERT_NE(m, nullptr) << "cannot load the module";
            ModuleFunction reg = exportOf(m, "DllRegisterServer");
            ASSERT_NE(reg, nullptr);
            ASSERT_EQ(reg(), S_OK);
            FreeLibrary(m);
        }
    }
    void TearDown() override { CoUninitialize(); }
};
const auto* gEnv = ::testing::AddGlobalTestEnvironment(new ModuleEnvironment);

ComPtr<IDispatch> create(const wchar_t* progId) {
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
    ComPtr<IDispatch> d;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(d.put())),
              S_OK);
    return d;
}

std::wstring regValue(const std::wstring& key, const wchar_t* name) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buf;
}

// ---- the shipped module ----

TEST(DriverModule, RegistrationExportsAndVersion) {
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"Eqdr.FrVornlex", &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, kDriverClsid));
    const std::wstring key = L"CLSID\\{7C75037F-F54C-4D72-9A9B-9F64D8F0FBAC}";
    EXPECT_EQ(regValue(key, nullptr), L"8.2 Equipment Driver 2.0");
    EXPECT_EQ(regValue(key + L"\\ProgID", nullptr), L"Eqdr.FrVornlex");
    EXPECT_EQ(regValue(key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(lstrcmpiW(regValue(key + L"\\InprocServer32", nullptr).c_str(), driverDll().c_str()), 0);

    HMODULE m = LoadLibraryW(driverDll().c_str());
    ASSERT_NE(m, nullptr);
    for (const char* name : {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(exportOf(m, name), nullptr) << name;
    FreeLibrary(m);

    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(driverDll().c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(driverDll().c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(FR_VERSION_MINOR, FR_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(FR_VERSION_BUILD, FR_VERSION_RELEASE)));
}

TEST(DriverModule, IDispatchOfTheDriverObject) {
    ComPtr<IDispatch> d = create(L"Eqdr.FrVornlex");
    ASSERT_TRUE(d);
    UINT count = 99;
    EXPECT_EQ(d->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(d->GetTypeInfo(0, 0, &info), E_NOTIMPL);

    HRESULT hr = S_OK;
    EXPECT_EQ(dispidOf(d.get(), L"NoSuchMethod", &hr), -1);
    EXPECT_EQ(hr, E_NOTIMPL);

    // DISPIDs that were never handed out (no extension handler here), the refused range, and
    // property access on the first entry.
    for (DISPID id : {-1, -5, 60000, 65535, 99999, 100000, 2000000})
        EXPECT_EQ(invokeRaw(d.get(), id, DISPATCH_METHOD, {}), E_FAIL) << id;
    EXPECT_EQ(invokeRaw(d.get(), 0, DISPATCH_PROPERTYGET, {}), E_FAIL);
    EXPECT_EQ(invokeRaw(d.get(), 0, DISPATCH_PROPERTYPUT, {}), E_FAIL);

    // Separate objects per request.
    ComPtr<IDispatch> other = create(L"Eqdr.FrVornlex");
    EXPECT_NE(other.get(), d.get());
}

// ---- the dispatch rules through real COM, on the test class ----

class DispatchTestClass : public ::testing::Test {
protected:
    ComPtr<IDispatch> d = create(L"Eqdr.DispatchTest");
    DISPID id(const wchar_t* name) { return dispidOf(d.get(), name); }
};

TEST_F(DispatchTestClass, NamesAndPropertyGet) {
    // PrintText is registered again after NoOp, yet keeps the place of its first registration.
    EXPECT_LT(id(L"PrintText"), id(L"NoOp"));
    EXPECT_GE(id(L"PrintText"), 0);

    DISPID fill = id(L"FillOut");
    ASSERT_GE(fill, 0);
    VARIANT out = empty();
    EXPECT_EQ(invokeRaw(d.get(), fill, DISPATCH_PROPERTYGET, {empty(), refTo(&out), i4(0)}), E_FAIL);
    EXPECT_EQ(V_VT(&out), VT_EMPTY);
    EXPECT_EQ(id(L"fillOUT"), fill);
}

TEST_F(DispatchTestClass, OutDataByValueStillSucceedsAndTheHostsValueIsLeftAlone) {
    BSTR mine = SysAllocString(L"моё");
    VARIANT rg[3] = {i4(0), empty(), empty()};  // TimeOut, OutData, InData
    V_VT(&rg[1]) = VT_BSTR;
    V_BSTR(&rg[1]) = mine;
    DISPPARAMS dp{rg, nullptr, 3, 0};
    ScopedVariant result;
    EXPECT_EQ(d->Invoke(id(L"FillOut"), IID_NULL, 0, DISPATCH_METHOD, &dp, result.get(), nullptr, nullptr), S_OK);
    EXPECT_EQ(V_VT(result.get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(result.get()), VARIANT_TRUE);
    // The argument is still the caller's: neither freed nor replaced.
    EXPECT_EQ(V_VT(&rg[1]), VT_BSTR);
    EXPECT_EQ(V_BSTR(&rg[1]), mine);
    EXPECT_EQ(text(mine), u"моё");
    SysFreeString(mine);
}

TEST_F(DispatchTestClass, TimeOutMustBeOrdinal) {
    struct Case {
        const char* name;
        VARTYPE vt;
        HRESULT expected;
    };
    SHORT refValue = 16;
    const Case cases[] = {
        {"I2", VT_I2, S_OK},           {"I2 by reference", VT_BYREF | VT_I2, S_OK}, {"I8", VT_I8, S_OK},
        {"Boolean", VT_BOOL, S_OK},    {"UI1", VT_UI1, S_OK},                       {"R8", VT_R8, E_INVALIDARG},
        {"BSTR", VT_BSTR, E_INVALIDARG},
    };
    DISPID echo = id(L"EchoTimeOut");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VARIANT timeOut = empty();
        V_VT(&timeOut) = c.vt;
        switch (c.vt) {
            case VT_I2: V_I2(&timeOut) = 16; break;
            case VT_BYREF | VT_I2: V_I2REF(&timeOut) = &refValue; break;
            case VT_I8: V_I8(&timeOut) = 16; break;
            case VT_BOOL: V_BOOL(&timeOut) = VARIANT_TRUE; break;
            case VT_UI1: V_UI1(&timeOut) = 16; break;
            case VT_R8: V_R8(&timeOut) = 16.0; break;
            case VT_BSTR: V_BSTR(&timeOut) = SysAllocString(L"16"); break;
        }
        ScopedVariant out;
        EXPECT_EQ(invokeRaw(d.get(), echo, DISPATCH_METHOD, {empty(), refTo(out.get()), timeOut}), c.expected);
        if (c.expected == S_OK) {
            EXPECT_EQ(V_VT(out.get()), VT_I4);  // widened on the way in
            EXPECT_EQ(V_I4(out.get()), c.vt == VT_BOOL ? -1 : 16);
        } else {
            EXPECT_EQ(V_VT(out.get()), VT_EMPTY);
        }
        VariantClear(&timeOut);
    }
    ScopedVariant out;
    EXPECT_EQ(invokeRaw(d.get(), echo, DISPATCH_METHOD, {empty(), refTo(out.get())}), E_INVALIDARG);
}

// A public method reads InData and TimeOut and writes only OutData: variables a host passes by
// reference (as script hosts do) keep their type and their very text.
TEST_F(DispatchTestClass, InDataAndTimeOutByReferenceAreLeftAsTheyCame) {
    for (bool textInData : {false, true}) {
        SCOPED_TRACE(textInData ? "text InData" : "16-bit InData");
        BSTR mine = SysAllocString(L"товар");
        VARIANT inData = empty(), timeOut = empty();
        if (textInData) {
            V_VT(&inData) = VT_BSTR;
            V_BSTR(&inData) = mine;
        } else {
            V_VT(&inData) = VT_I2;
            V_I2(&inData) = 5;
        }
        V_VT(&timeOut) = VT_I2;
        V_I2(&timeOut) = 16;
        ScopedVariant out;
        ASSERT_EQ(invokeRaw(d.get(), id(L"EchoTimeOut"), DISPATCH_METHOD, {refTo(&inData), refTo(out.get()), refTo(&timeOut)}),
                  S_OK);
        EXPECT_EQ(V_VT(out.get()), VT_I4);
        EXPECT_EQ(V_I4(out.get()), 16);
        EXPECT_EQ(V_VT(&timeOut), VT_I2);
        if (textInData) {
            EXPECT_EQ(V_VT(&inData), VT_BSTR);
            EXPECT_EQ(V_BSTR(&inData), mine);
        } else {
            EXPECT_EQ(V_VT(&inData), VT_I2);
        }
        VariantClear(&inData);
        if (!textInData) SysFreeString(mine);
    }
}

// OutData in a typed by-reference slot: converted to the slot's type, or refused with the
// standard "bad parameters" text when it cannot be.
TEST_F(DispatchTestClass, TypedReferencesTakeTheConvertedValue) {
    DISPID echo = id(L"EchoTimeOut");
    auto call = [&](VARIANT slot, LONG timeOut, Excep& excep) {
        return invokeRaw(d.get(), echo, DISPATCH_METHOD, {empty(), slot, i4(timeOut)}, nullptr, &excep.ei);
    };
    {
        LONG l = 0; SHORT s = 0; USHORT us = 0; ULONG ul = 0; FLOAT f = 0; DOUBLE r = 0, date = 0;
        CY cy{}; VARIANT_BOOL b = 0; BYTE ub = 0; INT in = 0; UINT uin = 0; BSTR str = SysAllocString(L"старое");
        struct Slot { VARTYPE vt; void* p; } slots[] = {
            {VT_I4, &l}, {VT_I2, &s}, {VT_UI2, &us}, {VT_UI4, &ul}, {VT_R4, &f}, {VT_R8, &r}, {VT_DATE, &date},
            {VT_CY, &cy}, {VT_BOOL, &b}, {VT_UI1, &ub}, {VT_INT, &in}, {VT_UINT, &uin}, {VT_BSTR, &str}};
        for (const auto& s : slots) {
            VARIANT v = empty();
            V_VT(&v) = VT_BYREF | s.vt;
            V_BYREF(&v) = s.p;
            Excep excep;
            EXPECT_EQ(call(v, 7, excep), S_OK) << s.vt;
        }
        EXPECT_EQ(l, 7); EXPECT_EQ(s, 7); EXPECT_EQ(us, 7u); EXPECT_EQ(ul, 7u); EXPECT_EQ(f, 7.0f);
        EXPECT_EQ(r, 7.0); EXPECT_EQ(date, 7.0); EXPECT_EQ(cy.int64, 70000); EXPECT_EQ(b, VARIANT_TRUE);
        EXPECT_EQ(ub, 7); EXPECT_EQ(in, 7); EXPECT_EQ(uin, 7u); EXPECT_EQ(text(str), u"7");
        SysFreeString(str);
    }
    {
        // A VARIANT reference leading to a typed reference: the end of the chain takes the value.
        LONG l = 0;
        VARIANT typed = empty();
        V_VT(&typed) = VT_BYREF | VT_I4;
        V_I4REF(&typed) = &l;
        Excep excep;
        EXPECT_EQ(call(refTo(&typed), 9, excep), S_OK);
        EXPECT_EQ(l, 9);
    }
    {
        // Slots that cannot take the value: a type outside the list, an overflow, an array.
        LONGLONG ll = 0;
        BYTE ub = 0;
        LONG l = 0;
        VARIANT i8 = empty(), u1 = empty(), arr = empty();
        V_VT(&i8) = VT_BYREF | VT_I8;
        V_I8REF(&i8) = &ll;
        V_VT(&u1) = VT_BYREF | VT_UI1;
        V_UI1REF(&u1) = &ub;
        V_VT(&arr) = VT_BYREF | VT_I4;
        V_I4REF(&arr) = &l;
        Excep e1, e2, e3;
        EXPECT_EQ(call(i8, 7, e1), DISP_E_EXCEPTION);
        EXPECT_EQ(call(u1, 300, e2), DISP_E_EXCEPTION);
        EXPECT_EQ(invokeRaw(d.get(), id(L"FillOut"), DISPATCH_METHOD, {empty(), arr, i4(0)}, nullptr, &e3.ei),
                  DISP_E_EXCEPTION);
        for (Excep* e : {&e1, &e2, &e3}) {
            EXPECT_EQ(e->ei.scode, 1001);
            EXPECT_EQ(text(e->ei.bstrDescription), kBadParamsText);
        }
        EXPECT_EQ(ll, 0);
        EXPECT_EQ(ub, 0);
    }
}

TEST_F(DispatchTestClass, ErrorArrayAndPrivateByReferenceArguments) {
    ScopedVariant out, result;
    ASSERT_EQ(invokeRaw(d.get(), id(L"Fail3001"), DISPATCH_METHOD, {empty(), refTo(out.get()), i4(0)}, result.get()),
              S_OK);
    EXPECT_EQ(V_BOOL(result.get()), VARIANT_FALSE);
    EXPECT_EQ(fromVariant(*out), Variant(VariantArray::vector({Variant(3001), Variant(u"Нет бумаги")})));

    VARIANT twice = i4(21);
    ScopedVariant echoed;
    ASSERT_EQ(invokeRaw(d.get(), id(L"Echo"), DISPATCH_METHOD, {i4(5), refTo(&twice)}, echoed.get()), S_OK);
    EXPECT_EQ(V_I4(&twice), 42);
    EXPECT_EQ(V_I4(echoed.get()), 5);

    // An object comes back as the very same IDispatch; a 2-D array keeps its bounds.
    VARIANT self = empty();
    V_VT(&self) = VT_DISPATCH;
    V_DISPATCH(&self) = d.get();
    ScopedVariant same;
    ASSERT_EQ(invokeRaw(d.get(), id(L"Echo"), DISPATCH_METHOD, {self}, same.get()), S_OK);
    ASSERT_EQ(V_VT(same.get()), VT_DISPATCH);
    EXPECT_EQ(V_DISPATCH(same.get()), d.get());

    VariantArray table({{1, 2}, {0, 3}}, VarType::Variant);
    for (int32_t i = 1; i <= 2; ++i)
        for (int32_t j = 0; j < 3; ++j) table.at({i, j}) = Variant(i * 100 + j);
    ScopedVariant arg{Variant(table)}, tableBack;
    ASSERT_EQ(invokeRaw(d.get(), id(L"Echo"), DISPATCH_METHOD, {*arg}, tableBack.get()), S_OK);
    EXPECT_EQ(fromVariant(*tableBack), Variant(table));
}

TEST_F(DispatchTestClass, RaisingPrivateHandlerFillsExcepInfo) {
    Excep excep;
    ScopedVariant result;
    EXPECT_EQ(invokeRaw(d.get(), id(L"RaisePrivate"), DISPATCH_METHOD, {}, result.get(), &excep.ei), DISP_E_EXCEPTION);
    EXPECT_EQ(excep.ei.scode, 1001);
    EXPECT_EQ(text(excep.ei.bstrDescription), test::kRaisePrivateMessage);
    EXPECT_EQ(text(excep.ei.bstrSource), test::kRaisePrivateClass);

    // A public handler's error is a result code, not an exception.
    ScopedVariant out;
    EXPECT_EQ(invokeRaw(d.get(), id(L"Raise"), DISPATCH_METHOD, {empty(), refTo(out.get()), i4(0)}), S_OK);
    EXPECT_EQ(fromVariant(*out), Variant(VariantArray::vector({Variant(1001), Variant(test::kRaiseMessage)})));
}

TEST(DispatchTestModule, CanUnloadOnlyWhenNoObjectOrLockRemains) {
    ComPtr<IDispatch> d = create(L"Eqdr.DispatchTest");
    HMODULE m = GetModuleHandleW(L"fr_dispatch_test.dll");
    ASSERT_NE(m, nullptr);
    ModuleFunction canUnload = exportOf(m, "DllCanUnloadNow");
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_FALSE);
    d.reset();
    EXPECT_EQ(canUnload(), S_OK);

    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"Eqdr.DispatchTest", &clsid), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(factory.put())),
              S_OK);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.reset();
    EXPECT_EQ(canUnload(), S_FALSE);
    // Aggregation is refused; a new object per request otherwise.
    ASSERT_EQ(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(factory.put())),
              S_OK);
    IUnknown* aggregated = nullptr;
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory.get()), IID_IUnknown,
                                      reinterpret_cast<void**>(&aggregated)),
              CLASS_E_NOAGGREGATION);
    factory->LockServer(FALSE);
    factory.reset();
    EXPECT_EQ(canUnload(), S_OK);
}

TEST(DispatchTestModule, UnregisterRemovesTheKeysAndRegisterWritesThemBack) {
    HMODULE m = LoadLibraryW(testDll().c_str());
    ASSERT_NE(m, nullptr);
    ModuleFunction reg = exportOf(m, "DllRegisterServer");
    ModuleFunction unreg = exportOf(m, "DllUnregisterServer");
    const std::wstring key = L"CLSID\\{DD14FC2E-4592-4C4A-BBCC-80A9666DF65D}";
    CLSID clsid;
    ASSERT_EQ(unreg(), S_OK);
    EXPECT_NE(CLSIDFromProgID(L"Eqdr.DispatchTest", &clsid), S_OK);
    EXPECT_EQ(regValue(key + L"\\InprocServer32", nullptr), L"<missing>");
    EXPECT_EQ(unreg(), S_OK);  // nothing left to remove is no failure
    ASSERT_EQ(reg(), S_OK);
    EXPECT_EQ(CLSIDFromProgID(L"Eqdr.DispatchTest", &clsid), S_OK);
    EXPECT_EQ(regValue(key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    FreeLibrary(m);
}

}  // namespace
