// A C++ host over the shipped driver: what a script host cannot do (16-bit TimeOut, OutData by
// value) and the debug log under a second writer.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "../device/FakeEquipmentManager.h"
#include "ComTestUtil.h"
#include "automation/Text.h"

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

// The debug logs of a folder, whatever day their names carry: a test may cross midnight.
std::vector<std::wstring> logFiles(const std::wstring& folder) {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\Debug_*.log").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return files;
    do files.push_back(folder + L"\\" + fd.cFileName);
    while (FindNextFileW(h, &fd));
    FindClose(h);
    std::sort(files.begin(), files.end());
    return files;
}

// The version resource of a file as Windows reads it, apart from the driver's own reading.
struct ResourceVersion {
    int major = -1, minor = -1, release = -1, build = -1;
};
ResourceVersion resourceVersion(const std::wstring& file) {
    DWORD ignored = 0;
    std::vector<unsigned char> data(GetFileVersionInfoSizeW(file.c_str(), &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    if (data.empty() || !GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len))
        return {};
    return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
            LOWORD(fixed->dwFileVersionLS)};
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
        if (fresh)
            for (const auto& f : logFiles(deviceFolder)) DeleteFileW(f.c_str());
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

    // The one log file of a test that holds it (today's, made by Enable).
    std::wstring logFile() const {
        auto files = logFiles(deviceFolder);
        return files.empty() ? std::wstring() : files.back();
    }
    int countLines(const std::string& part) const {
        int n = 0;
        for (const auto& f : logFiles(deviceFolder)) {
            std::ifstream in(f.c_str());
            for (std::string l; std::getline(in, l);) n += l.find(part) != std::string::npos;
        }
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
    // OutData by value: the call succeeds, and the very argument the driver was handed still
    // holds the host's text.
    ScopedVariant mine{Variant(u"моё")};
    HostArgs byValue({empty(), *mine, timeOut});
    EXPECT_EQ(byValue.invoke(h.d.get(), id, DISPATCH_METHOD, result.get()), S_OK);
    EXPECT_EQ(V_VT(result.get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(result.get()), VARIANT_TRUE);
    ASSERT_EQ(V_VT(&byValue[1]), VT_BSTR);
    EXPECT_EQ(V_BSTR(&byValue[1]), V_BSTR(mine.get())) << "the same string, not a replacement";
    EXPECT_EQ(text(V_BSTR(&byValue[1])), u"моё");

    EXPECT_EQ(invokeRaw(h.d.get(), id, DISPATCH_METHOD, {empty(), refTo(out.get()), timeOut}), S_OK);
    Variant info = fromVariant(*out);
    ASSERT_TRUE(info.isArray());
    ASSERT_EQ(info.array().size(), 15u);
    EXPECT_EQ(info.array().at(0), Variant(u"FiscalPrinter"));
    // The DLL's version resource as Windows reads it: first, second and fourth numbers.
    ResourceVersion v = resourceVersion(windowsPath(FR_VORNLEX_DLL));
    ASSERT_GE(v.major, 0);
    EXPECT_EQ(info.array().at(3), Variant(int32_t(v.major)));
    EXPECT_EQ(info.array().at(4), Variant(int32_t(v.minor)));
    EXPECT_EQ(info.array().at(5), Variant(int32_t(v.build)));
    EXPECT_EQ(info.array().at(8), Variant(true));
}

TEST(DriverHost, ALogLineHeldByAnotherWriterNeverFailsTheCall) {
    OpenDriver h(L"held");
    h.enableWithLog();
    ASSERT_EQ(h.countLines("Begin debug log"), 1);
    {
        // Another writer holds the file without sharing writes: the lines of this call are
        // dropped after a short wait, the call itself succeeds.
        HANDLE holder = CreateFileW(h.logFile().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        Variant out;
        EXPECT_TRUE(h.call(L"GetDeviceInfo", Variant(), &out));
        EXPECT_TRUE(out.isArray());
        CloseHandle(holder);
    }
    EXPECT_EQ(h.countLines("> GetDeviceInfo"), 0);
    // The writer has let go: the next call's lines are written at once, though the lines dropped
    // above keep later lines from waiting for a moment. (A line waits only a few tens of
    // milliseconds for a writer to let go; tests/dispatch covers that wait on a clock of its own.)
    EXPECT_TRUE(h.call(L"GetDeviceInfo", Variant()));
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
