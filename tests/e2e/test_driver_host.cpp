// A C++ host over the shipped driver: what a script host cannot do (16-bit TimeOut, OutData by
// value) and the debug log under a second writer.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>

#include "../device/FakeEquipmentManager.h"
#include "ComTestUtil.h"
#include "automation/Text.h"
#include "fr_version.h"

using namespace fr;
using namespace fr::com;
using namespace fr::e2e;

namespace {

using ModuleFunction = HRESULT(STDAPICALLTYPE*)();

class DriverEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        HMODULE m = LoadLibraryW(windowsPath(FR_VORNLEX_DLL).c_str());
        ASSERT_NE(m, nullptr);
        auto reg = reinterpret_cast<ModuleFunction>(reinterpret_cast<void*>(GetProcAddress(m, "DllRegisterServer")));
        ASSERT_EQ(reg(), S_OK);
        FreeLibrary(m);
        // Enable connects to the register: the emulator stands in for it.
        HMODULE emu = LoadLibraryW(windowsPath(FR_EMULATOR_DLL).c_str());
        ASSERT_NE(emu, nullptr);
        auto regEmu = reinterpret_cast<ModuleFunction>(reinterpret_cast<void*>(GetProcAddress(emu, "DllRegisterServer")));
        ASSERT_EQ(regEmu(), S_OK);
        FreeLibrary(emu);
    }
    void TearDown() override { CoUninitialize(); }
};
const auto* gEnv = ::testing::AddGlobalTestEnvironment(new DriverEnvironment);

std::wstring tempFolder(const wchar_t* name) {
    wchar_t buf[MAX_PATH];
    GetTempPathW(MAX_PATH, buf);
    std::wstring f = std::wstring(buf) + L"fr_host_" + name + L"_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(f.c_str(), nullptr);
    return f;
}

std::wstring todayLogName() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    wchar_t buf[64];
    swprintf(buf, 64, L"Debug_%04d.%02d.%02d.log", st.wYear, st.wMonth, st.wDay);
    return buf;
}

// A driver object opened on its own device folder, with the debug log switched on when asked.
struct OpenDriver {
    ComPtr<IDispatch> d;
    std::shared_ptr<test::FakeEquipmentManager> manager = std::make_shared<test::FakeEquipmentManager>();
    std::wstring devices, deviceFolder;

    // fresh: start from an empty log (the first of several objects sharing a folder).
    explicit OpenDriver(const wchar_t* name, bool fresh = true) : devices(tempFolder(name)) {
        deviceFolder = devices + L"\\dev-1";
        CreateDirectoryW(deviceFolder.c_str(), nullptr);
        if (fresh) DeleteFileW((deviceFolder + L"\\" + todayLogName()).c_str());
        CLSID clsid;
        EXPECT_EQ(CLSIDFromProgID(L"Eqdr.FrVornlex", &clsid), S_OK);
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(d.put())), S_OK);
        manager->properties[u"DevicesFolder"] = std::u16string(reinterpret_cast<const char16_t*>(devices.c_str()));
        ScopedVariant mgr{Variant(std::shared_ptr<AutomationObject>(manager))};
        ScopedVariant desc;
        EXPECT_EQ(invokeRaw(d.get(), dispidOf(d.get(), L"Init"), DISPATCH_METHOD, {*mgr, refTo(desc.get())}), S_OK);
        ScopedVariant id{Variant(u"dev-1")};
        EXPECT_EQ(invokeRaw(d.get(), dispidOf(d.get(), L"Open"), DISPATCH_METHOD, {*id, refTo(desc.get())}), S_OK);
    }

    // A public call with OutData by reference and a 32-bit TimeOut; returns the call value.
    bool call(const wchar_t* name, const Variant& in, Variant* outData = nullptr) {
        ScopedVariant inV(in), out, result;
        HRESULT hr = invokeRaw(d.get(), dispidOf(d.get(), name), DISPATCH_METHOD, {*inV, refTo(out.get()), i4(0)},
                               result.get());
        EXPECT_EQ(hr, S_OK);
        if (outData) *outData = fromVariant(*out);
        return V_VT(result.get()) == VT_BOOL && V_BOOL(result.get()) == VARIANT_TRUE;
    }

    void enableWithLog() {
        VariantArray t = VariantArray::matrix(7, 2);
        t.at({0, 0}) = Variant(u"DebugLogEnabled");
        t.at({1, 0}) = Variant(true);
        t.at({0, 1}) = Variant(u"ModelIndex");
        t.at({1, 1}) = Variant(8);
        ASSERT_TRUE(call(L"SetSettings", Variant(VariantArray::vector({Variant(t)}))));
        ASSERT_TRUE(call(L"Enable", Variant()));
    }

    std::wstring logFile() const { return deviceFolder + L"\\" + todayLogName(); }
    int countLines(const std::string& part) const {
        std::ifstream in(logFile().c_str());
        int n = 0;
        for (std::string l; std::getline(in, l);) n += l.find(part) != std::string::npos;
        return n;
    }
};

}  // namespace

TEST(DriverHost, SixteenBitTimeOutAndOutDataByValue) {
    OpenDriver h(L"byvalue");
    DISPID id = dispidOf(h.d.get(), L"GetDeviceInfo");
    VARIANT timeOut;
    VariantInit(&timeOut);
    V_VT(&timeOut) = VT_I2;
    V_I2(&timeOut) = 5;
    ScopedVariant out, result;
    // OutData by value: the call succeeds; the host's own VARIANT is not the one written.
    VARIANT byValue = empty();
    EXPECT_EQ(invokeRaw(h.d.get(), id, DISPATCH_METHOD, {empty(), byValue, timeOut}, result.get()), S_OK);
    EXPECT_EQ(V_VT(result.get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(result.get()), VARIANT_TRUE);
    EXPECT_EQ(V_VT(&byValue), VT_EMPTY);

    EXPECT_EQ(invokeRaw(h.d.get(), id, DISPATCH_METHOD, {empty(), refTo(out.get()), timeOut}), S_OK);
    Variant info = fromVariant(*out);
    ASSERT_TRUE(info.isArray());
    ASSERT_EQ(info.array().size(), 15u);
    EXPECT_EQ(info.array().at(0), Variant(u"FiscalPrinter"));
    EXPECT_EQ(info.array().at(3), Variant(FR_VERSION_MAJOR));  // from the DLL's version resource
    EXPECT_EQ(info.array().at(5), Variant(FR_VERSION_BUILD));
    EXPECT_EQ(info.array().at(8), Variant(true));
}

TEST(DriverHost, ALogLineHeldByAnotherWriterNeverFailsTheCall) {
    OpenDriver h(L"held");
    h.enableWithLog();
    ASSERT_EQ(h.countLines("Begin debug log"), 1);
    {
        // Another writer holds the file without sharing writes: the lines of this call are
        // dropped after a brief retry, the call itself succeeds.
        HANDLE holder = CreateFileW(h.logFile().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        Variant out;
        EXPECT_TRUE(h.call(L"GetDeviceInfo", Variant(), &out));
        EXPECT_TRUE(out.isArray());
        CloseHandle(holder);
    }
    EXPECT_EQ(h.countLines("> GetDeviceInfo"), 0);
    {
        // A writer that lets go within the retry: nothing is lost.
        HANDLE holder = CreateFileW(h.logFile().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        std::thread release([holder] {
            Sleep(40);
            CloseHandle(holder);
        });
        EXPECT_TRUE(h.call(L"GetDeviceInfo", Variant()));
        release.join();
    }
    EXPECT_EQ(h.countLines("> GetDeviceInfo"), 1);
    EXPECT_EQ(h.countLines("< GetDeviceInfo"), 1);
}

TEST(DriverHost, TwoObjectsSharingALogFileLoseNoLines) {
    OpenDriver a(L"shared"), b(L"shared", false);
    a.enableWithLog();
    b.enableWithLog();
    constexpr int kCalls = 100;
    std::thread other([&] {
        // Another apartment with its own object: the file is shared across threads too.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            OpenDriver c(L"shared", false);
            c.enableWithLog();
            for (int i = 0; i < kCalls; ++i) c.call(L"CheckHealth", Variant());
        }
        CoUninitialize();
    });
    for (int i = 0; i < kCalls; ++i) {
        a.call(L"CheckHealth", Variant());
        b.call(L"CheckHealth", Variant());
    }
    other.join();
    EXPECT_EQ(a.countLines("> CheckHealth"), 3 * kCalls);
    EXPECT_EQ(a.countLines("< CheckHealth"), 3 * kCalls);
    EXPECT_EQ(a.countLines("Begin debug log"), 3);
}
