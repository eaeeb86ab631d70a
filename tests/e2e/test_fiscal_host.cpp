// The fiscal methods of the shipped driver from a C++ host over COM: their DISPIDs after the
// generic ones, Open without a universal driver, and the OutData types of a shift on the emulator.
#include <gtest/gtest.h>

#include <windows.h>

#include "../device/FakeEquipmentManager.h"
#include "ComTestUtil.h"
#include "automation/Text.h"

using namespace fr;
using namespace fr::com;
using namespace fr::e2e;

namespace {

using ModuleFunction = HRESULT(STDAPICALLTYPE*)();

// Registers (or unregisters) a COM module through its own exports.
HRESULT moduleCall(const char* dll, const char* function) {
    HMODULE m = LoadLibraryW(windowsPath(dll).c_str());
    if (!m) return E_FAIL;
    auto f = reinterpret_cast<ModuleFunction>(reinterpret_cast<void*>(GetProcAddress(m, function)));
    HRESULT hr = f ? f() : E_FAIL;
    FreeLibrary(m);
    return hr;
}

class FiscalEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(moduleCall(FR_VORNLEX_DLL, "DllRegisterServer"), S_OK);
        ASSERT_EQ(moduleCall(FR_EMULATOR_DLL, "DllRegisterServer"), S_OK);
    }
    void TearDown() override {
        // Registered again whatever a test left.
        moduleCall(FR_EMULATOR_DLL, "DllRegisterServer");
        CoUninitialize();
    }
};
const auto* gEnv = ::testing::AddGlobalTestEnvironment(new FiscalEnvironment);

struct Driver {
    ComPtr<IDispatch> d;
    std::shared_ptr<test::FakeEquipmentManager> manager = std::make_shared<test::FakeEquipmentManager>();

    Driver() {
        CLSID clsid;
        EXPECT_EQ(CLSIDFromProgID(L"Eqdr.FrVornlex", &clsid), S_OK);
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(d.put())), S_OK);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        manager->properties[u"DevicesFolder"] = std::u16string(reinterpret_cast<const char16_t*>(temp));
        ScopedVariant mgr{Variant(std::shared_ptr<AutomationObject>(manager))};
        ScopedVariant desc;
        EXPECT_EQ(invokeRaw(d.get(), dispidOf(d.get(), L"Init"), DISPATCH_METHOD, {*mgr, refTo(desc.get())}), S_OK);
    }
    // Open's value and description.
    bool open(std::u16string& description) {
        ScopedVariant id{Variant(u"fiscal-host")}, desc, result;
        EXPECT_EQ(invokeRaw(d.get(), dispidOf(d.get(), L"Open"), DISPATCH_METHOD, {*id, refTo(desc.get())},
                            result.get()),
                  S_OK);
        description = fromVariant(*desc).toText();
        return V_VT(result.get()) == VT_BOOL && V_BOOL(result.get()) == VARIANT_TRUE;
    }
    // A public call: the call value; OutData as the host's VARIANT.
    bool call(const wchar_t* name, const Variant& in, ScopedVariant& out) {
        ScopedVariant inV(in), result;
        EXPECT_EQ(invokeRaw(d.get(), dispidOf(d.get(), name), DISPATCH_METHOD, {*inV, refTo(out.get()), i4(0)},
                            result.get()),
                  S_OK);
        return V_VT(result.get()) == VT_BOOL && V_BOOL(result.get()) == VARIANT_TRUE;
    }
};

}  // namespace

TEST(FiscalHost, TheFiscalMethodsFollowTheTenGenericOnes) {
    Driver h;
    const wchar_t* names[] = {L"OpenDay", L"PrintReceipt", L"Encash", L"PrintXReport", L"PrintExtReport",
                              L"PrintZReport", L"PrintTemplateDocument", L"GetCountersInfo", L"GetLastDocInfo",
                              L"OpenDrawer", L"GetFPStateInfo", L"GetDateTime", L"SetDateTime", L"PrintText",
                              L"UploadTemplate", L"DownloadTemplate", L"PrintEGAISSubReport",
                              L"PrintSettlementsCurrentStatus", L"CheckUnsentDocuments", L"PrintDocumentCopy",
                              L"PrintCorrectionReceipt"};
    for (int i = 0; i < 21; ++i) EXPECT_EQ(dispidOf(h.d.get(), names[i]), 10 + i);
}

TEST(FiscalHost, WithoutTheUniversalDriverOpenGives1006UntilItIsInstalled) {
    ASSERT_EQ(moduleCall(FR_EMULATOR_DLL, "DllUnregisterServer"), S_OK);
    Driver h;
    std::u16string description;
    EXPECT_FALSE(h.open(description));
    EXPECT_EQ(u8(description), "Не установлен универсальный драйвер Vornlex");
    ScopedVariant out;
    EXPECT_FALSE(h.call(L"OpenDrawer", Variant(), out));
    Variant error = fromVariant(*out);
    ASSERT_TRUE(error.isArray());
    EXPECT_EQ(error.array().at(0), Variant(1006));
    EXPECT_EQ(u8(error.array().at(1).toText()), "Библиотека не найдена");

    // Installed meanwhile: the same object finds it.
    ASSERT_EQ(moduleCall(FR_EMULATOR_DLL, "DllRegisterServer"), S_OK);
    EXPECT_TRUE(h.open(description));
    EXPECT_EQ(u8(description), "Нет ошибок");
}

TEST(FiscalHost, AShiftOnTheEmulatorAnswersTypedOutData) {
    Driver h;
    std::u16string description;
    ASSERT_TRUE(h.open(description));
    VariantArray settings = VariantArray::matrix(7, 1);
    settings.at({0, 0}) = Variant(u"ModelIndex");
    settings.at({1, 0}) = Variant(8);
    ScopedVariant out;
    ASSERT_TRUE(h.call(L"SetSettings", Variant(VariantArray::vector({Variant(settings)})), out));
    ASSERT_TRUE(h.call(L"Enable", Variant(), out));

    ScopedVariant day;
    ASSERT_TRUE(h.call(L"OpenDay", Variant(), day));
    ASSERT_EQ(V_VT(day.get()), VT_ARRAY | VT_VARIANT);
    SAFEARRAY* sa = V_ARRAY(day.get());
    ASSERT_EQ(SafeArrayGetDim(sa), 1u);
    LONG lo = -1, hi = -1;
    SafeArrayGetLBound(sa, 1, &lo);
    SafeArrayGetUBound(sa, 1, &hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 3);
    const VARTYPE expected[] = {VT_I4, VT_I4, VT_I4, VT_DATE};
    for (LONG i = 0; i <= 3 && i <= hi; ++i) {
        VARIANT v;
        VariantInit(&v);
        ASSERT_EQ(SafeArrayGetElement(sa, &i, &v), S_OK);
        EXPECT_EQ(V_VT(&v), expected[i]) << i;
        if (i == 2) {
            EXPECT_EQ(V_I4(&v), -1);
        }
        VariantClear(&v);
    }

    ScopedVariant last;
    ASSERT_TRUE(h.call(L"GetLastDocInfo", Variant(), last));
    Variant info = fromVariant(*last);
    ASSERT_EQ(info.array().size(), 6u);
    EXPECT_TRUE(info.array().at(4).isEmpty());
    EXPECT_TRUE(info.array().at(5).isEmpty());

    ScopedVariant counters;
    ASSERT_TRUE(h.call(L"GetCountersInfo", Variant(), counters));
    Variant c = fromVariant(*counters);
    EXPECT_EQ(c.array().at(0).array().size(), 20u);
    EXPECT_EQ(c.array().at(0).array().at(19).type(), VarType::CY);
    EXPECT_TRUE(h.call(L"Disable", Variant(), out));
}
