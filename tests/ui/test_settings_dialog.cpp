// The settings window through the shipped driver under Wine: a host calls ShowSettingsDlg while a
// second thread plays the user, reading the window's texts, setting values, pressing buttons
// against the emulator and closing with OK and with Cancel. Screenshots go to the build's
// artifacts folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../e2e/ComTestUtil.h"
#include "Screenshot.h"
#include "automation/Text.h"
#include "ui/win32/SettingsWindowIds.h"

using namespace fr;
using namespace fr::com;
using namespace fr::e2e;

namespace {

using ModuleFunction = HRESULT(STDAPICALLTYPE*)();
constexpr DWORD kWait = 30000;  // ms for a window to come or go; Wine on a loaded machine is slow

void registerModule(const char* path) {
    HMODULE m = LoadLibraryW(windowsPath(path).c_str());
    ASSERT_NE(m, nullptr) << path;
    auto reg = reinterpret_cast<ModuleFunction>(reinterpret_cast<void*>(GetProcAddress(m, "DllRegisterServer")));
    ASSERT_EQ(reg(), S_OK);
    FreeLibrary(m);
}

std::wstring textOf(HWND w) {
    std::wstring buf(static_cast<size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    buf.resize(static_cast<size_t>(GetWindowTextW(w, buf.data(), static_cast<int>(buf.size()))));
    return buf;
}
std::string u8w(const std::wstring& w) { return u8(std::u16string(w.begin(), w.end())); }

HWND waitWindow(const wchar_t* title) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWait; Sleep(50))
        if (HWND w = FindWindowW(L"#32770", title); w && IsWindowVisible(w)) return w;
    return nullptr;
}
// The window in front once it belongs to that process (by default this one);
// meanwhile this thread's own windows get their messages.
HWND waitFront(DWORD pid = GetCurrentProcessId()) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWait; Sleep(50)) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        HWND front = GetForegroundWindow();
        DWORD owner = 0;
        if (front) GetWindowThreadProcessId(front, &owner);
        if (owner == pid) return front;
    }
    return nullptr;
}
bool waitGone(HWND w) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWait; Sleep(50))
        if (!IsWindow(w)) return true;
    return false;
}

// The child dialog holding a control with this ID.
HWND pageWith(HWND window, int id) {
    for (HWND c = FindWindowExW(window, nullptr, L"#32770", nullptr); c; c = FindWindowExW(window, c, L"#32770", nullptr))
        if (GetDlgItem(c, id)) return c;
    return nullptr;
}

std::vector<std::string> comboItems(HWND combo) {
    std::vector<std::string> items;
    const int n = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        std::wstring t(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        t.resize(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(t.data()))));
        items.push_back(u8w(t));
    }
    return items;
}

void choose(HWND page, int id, int index) {
    HWND combo = GetDlgItem(page, id);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}
// Posted: the button may open a message box, which this thread then answers.
void press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
void selectTab(HWND window, int index) {
    HWND tabs = GetDlgItem(window, IDC_TABS);
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR nm{tabs, IDC_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(window, WM_NOTIFY, IDC_TABS, reinterpret_cast<LPARAM>(&nm));
}

// The text of the message box with this caption, which is then closed; "(none)" when none came.
std::string answerBox(const wchar_t* caption) {
    HWND box = waitWindow(caption);
    if (!box) return "(none)";
    std::string text = u8w(textOf(GetDlgItem(box, 0xFFFF)));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    waitGone(box);
    return text;
}

// The window as it is on the screen, once every control has painted, into the artifacts folder.
bool screenshot(HWND w, const std::string& name) {
    Sleep(500);
    CreateDirectoryW(windowsPath(FR_ARTIFACTS).c_str(), nullptr);
    return test::SaveScreenshot(w, windowsPath((std::string(FR_ARTIFACTS) + "/" + name).c_str()));
}

COLORREF pixelAt(HWND w, int x, int y) {
    POINT p{x, y};
    ClientToScreen(w, &p);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

std::string tape() {
    std::ifstream in(windowsPath(FR_EMULATOR_TAPE).c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The driver from the host's side: ShowSettingsDlg and the settings.
struct Driver {
    ComPtr<IDispatch> d;
    Driver() {
        CLSID clsid;
        EXPECT_EQ(CLSIDFromProgID(L"Eqdr.FrVornlex", &clsid), S_OK);
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(d.put())),
                  S_OK);
    }
    // The call's value; OutData in out.
    bool call(const wchar_t* name, const Variant& in, Variant& out) {
        ScopedVariant inV(in), outV, result;
        EXPECT_EQ(invokeRaw(d.get(), dispidOf(d.get(), name), DISPATCH_METHOD, {*inV, refTo(outV.get()), i4(0)},
                            result.get()),
                  S_OK);
        out = fromVariant(*outV);
        return V_VT(result.get()) == VT_BOOL && V_BOOL(result.get()) == VARIANT_TRUE;
    }
    std::string setting(const char16_t* id) {
        Variant out;
        EXPECT_TRUE(call(L"GetSettings", Variant(), out));
        const VariantArray& table = out.array().at(0).array();
        for (int32_t i = 0; i <= table.highBound(2); ++i)
            if (table.at({0, i}).toText() == id) return u8(table.at({1, i}).toText());
        return "(missing)";
    }
};

// The user's side runs on its own thread while the host's thread sits in ShowSettingsDlg. Its
// failures are collected and checked by the test once the window has gone.
struct User {
    std::vector<std::string> failures;
    std::thread thread;
    void expect(bool ok, const std::string& what) {
        if (!ok) failures.push_back(what);
    }
    void expectEq(const std::string& actual, const std::string& expected, const std::string& what) {
        if (actual != expected) failures.push_back(what + ": \"" + actual + "\" instead of \"" + expected + "\"");
    }
    void start(std::function<void(User&, HWND)> scenario) {
        thread = std::thread([this, scenario] {
            HWND window = waitWindow(L"Настройки");
            if (!window) return failures.push_back("the settings window did not open");
            scenario(*this, window);
            // Whatever happened, the host gets its thread back.
            if (IsWindow(window)) {
                failures.push_back("the window was still open at the end");
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            }
        });
    }
    void finish() {
        thread.join();
        for (const auto& f : failures) ADD_FAILURE() << f;
    }
};

class SettingsDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        registerModule(FR_VORNLEX_DLL);
        registerModule(FR_EMULATOR_DLL);
    }
    static void TearDownTestSuite() { CoUninitialize(); }
};

const std::vector<std::string> kModels = {
    "Datecs FP3530T/ЕКСЕЛЛIО (протокол Датекс)",
    "Datecs FP-3141T/FP-T260/CMP-10/FP-Т88/FP-320 (протокол Криптон)",
    "Мария 301МТМ/Мария-304Т/Мария-304Т1/Мария-304Т2",
    "IKС E-810T/С651Т/А8800/MG-T808TL/MG N707TS (протокол ИКС-Техно)",
    "Мини-ФП4/Мини-ФП6",
    "Мини-ФП54/Мини-ФП81/Мини-ФП82",
    "MG N707TS/MG-T808TL/MG-P800TL/MG-P777TL/MG-T787TL (TCP/IP)",
    "ЛеоКас",
    "ЭМУЛЯТОР ФИСКАЛЬНОГО РЕГИСТРАТОРА",
};

}  // namespace

TEST_F(SettingsDialog, TheUserTriesTheEmulatorSavesWithOkAndCancelsTheNextTime) {
    Driver driver;
    // The host's own window: kept from input while the settings window is up.
    HWND host = CreateWindowExW(0, L"STATIC", L"Торговая программа", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                                200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(host);
    // The driver disables the window in front when it is the host's: it must be by now.
    ASSERT_EQ(waitFront(), host) << "the host's window did not come to the foreground";
    const std::string tapeBefore = tape();

    User first;
    first.start([&](User& u, HWND window) {
        u.expect(!IsWindowEnabled(host), "the host's window is enabled while the settings window is up");
        u.expectEq(u8w(textOf(GetDlgItem(window, IDC_VERSION))), "1.0.1", "version in the header");
        u.expect(!textOf(GetDlgItem(window, IDC_MODEL_NAME)).empty(), "model name in the header");
        RECT client;
        GetClientRect(window, &client);
        bool yellow = false;
        for (DWORD start = GetTickCount(); !yellow && GetTickCount() - start < kWait; Sleep(100))
            yellow = pixelAt(window, client.right - 3, 3) == RGB(255, 198, 0);
        u.expect(yellow, "the header band is yellow");
        HWND tabs = GetDlgItem(window, IDC_TABS);
        u.expectEq(std::to_string(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)), "2", "tabs");
        HWND page = pageWith(window, IDC_MODEL);
        if (!page) return u.failures.push_back("no connection page");
        u.expect(comboItems(GetDlgItem(page, IDC_MODEL)) == kModels, "the model list");
        u.expect(comboItems(GetDlgItem(page, IDC_CONNECTION_TYPE)) ==
                     std::vector<std::string>{"RS-232 (com-порт)", "TCP/IP (по сети)"},
                 "the connection types");
        u.expect(comboItems(GetDlgItem(page, IDC_BAUD)) ==
                     std::vector<std::string>{"4800", "9600", "19200", "38400", "57600", "115200"},
                 "the speeds");

        // A serial connection shows the port picker and the speeds.
        choose(page, IDC_MODEL, 0);
        choose(page, IDC_CONNECTION_TYPE, 0);
        u.expect(IsWindowVisible(GetDlgItem(page, IDC_PORT)) && !IsWindowVisible(GetDlgItem(page, IDC_IP)),
                 "port shown, network fields hidden");
        SendMessageW(GetDlgItem(page, IDC_PORT), CB_SHOWDROPDOWN, TRUE, 0);
        u.expect(screenshot(window, "settings-serial.bmp"), "screenshot settings-serial.bmp");
        SendMessageW(GetDlgItem(page, IDC_PORT), CB_SHOWDROPDOWN, FALSE, 0);

        // The emulator over the network; the connection group hides for the emulator.
        choose(page, IDC_CONNECTION_TYPE, 1);
        u.expect(IsWindowVisible(GetDlgItem(page, IDC_IP)) && !IsWindowVisible(GetDlgItem(page, IDC_PORT)),
                 "network fields shown, port hidden");
        SetDlgItemTextW(page, IDC_IP, L"127.0.0.1");
        SetDlgItemTextW(page, IDC_TCP_PORT, L"7778");
        choose(page, IDC_MODEL, 8);
        u.expect(!IsWindowVisible(GetDlgItem(page, IDC_CONNECTION_GROUP)), "the connection group hides for the emulator");
        u.expect(screenshot(window, "settings-main.bmp"), "screenshot settings-main.bmp");

        press(page, IDC_TEST_CONNECTION);
        u.expectEq(answerBox(L"Информация"), "Тест пройден!", "connection test");
        press(page, IDC_GET_TIME);
        const std::string time = answerBox(L"Информация");
        u.expect(time.rfind("Текущее время: ", 0) == 0 && time.size() == std::string("Текущее время: ").size() + 8,
                 "get time: " + time);
        press(page, IDC_X_REPORT);
        for (DWORD start = GetTickCount(); GetTickCount() - start < kWait; Sleep(100))
            if (tape().size() > tapeBefore.size() + 200 || FindWindowW(L"#32770", L"Ошибка")) break;
        if (FindWindowW(L"#32770", L"Ошибка")) u.failures.push_back("X report: " + answerBox(L"Ошибка"));
        u.expect(tape().find("ОТЧЁТ БЕЗ ГАШЕНИЯ", tapeBefore.size()) != std::string::npos, "the X report on the tape");

        selectTab(window, 1);
        HWND info = pageWith(window, IDC_INFO_VALUE_FIRST);
        u.expect(info && IsWindowVisible(info) && !IsWindowVisible(page), "the information tab shows alone");
        if (info) u.expectEq(u8w(textOf(GetDlgItem(info, IDC_INFO_VALUE_FIRST))), "Фискальный регистратор", "type");
        u.expect(screenshot(window, "settings-info.bmp"), "screenshot settings-info.bmp");
        selectTab(window, 0);

        // The full settings list over the window, closed without saving.
        PostMessageW(window, WM_COMMAND, IDM_SETTINGS_LIST, 0);
        HWND list = waitWindow(L"Список настроек");
        u.expect(list != nullptr, "the settings list opened");
        if (list) {
            u.expect(!IsWindowEnabled(window), "the settings window waits for the list");
            u.expect(screenshot(list, "settings-window-list.bmp"), "screenshot of the list");
            PostMessageW(list, WM_COMMAND, IDCANCEL, 0);
            u.expect(waitGone(list), "the settings list closed");
        }

        // OK with an address missing: the window says so and stays.
        SetDlgItemTextW(page, IDC_IP, L"  ");
        press(window, IDOK);
        u.expectEq(answerBox(L"Ошибка"), "Не указан IP адрес", "validation on OK");
        Sleep(300);
        u.expect(IsWindow(window), "the window stays open after a refused OK");
        SetDlgItemTextW(page, IDC_IP, L"127.0.0.1");
        press(window, IDOK);
        u.expect(waitGone(window), "OK closes the window");
    });
    Variant out;
    const bool ok = driver.call(L"ShowSettingsDlg", Variant(), out);
    first.finish();
    EXPECT_TRUE(ok);
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ(driver.setting(u"ModelIndex"), "8");
    EXPECT_EQ(driver.setting(u"ConnectionType"), "1");
    EXPECT_EQ(driver.setting(u"IPAddress"), "127.0.0.1");
    EXPECT_EQ(driver.setting(u"TCPPort"), "7778");

    User second;
    second.start([&](User& u, HWND window) {
        HWND page = pageWith(window, IDC_MODEL);
        if (!page) return u.failures.push_back("no connection page");
        u.expectEq(u8w(textOf(GetDlgItem(page, IDC_IP))), "127.0.0.1", "IP read back");
        u.expectEq(std::to_string(SendMessageW(GetDlgItem(page, IDC_MODEL), CB_GETCURSEL, 0, 0)), "8", "model read back");
        SetDlgItemTextW(page, IDC_IP, L"10.9.9.9");
        press(window, IDCANCEL);
        u.expect(waitGone(window), "Cancel closes the window");
    });
    const bool cancelled = !driver.call(L"ShowSettingsDlg", Variant(), out);
    second.finish();
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(out.array().at(0).toInt(), 201);
    EXPECT_EQ(driver.setting(u"IPAddress"), "127.0.0.1");
    DestroyWindow(host);
}

// Another program's window is in front when the host asks for the settings window (the user has
// switched away): that window is not the driver's to disable.
TEST_F(SettingsDialog, AnotherProgramsWindowInFrontIsLeftAlone) {
    Driver driver;
    struct Program {
        PROCESS_INFORMATION pi{};
        ~Program() {
            if (!pi.hProcess) return;
            TerminateProcess(pi.hProcess, 0);
            WaitForSingleObject(pi.hProcess, kWait);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    } notepad;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    wchar_t command[] = L"notepad.exe";
    ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &notepad.pi));
    HWND other = waitFront(notepad.pi.dwProcessId);
    ASSERT_TRUE(other) << "the other program's window did not come to the front";

    User user;
    user.start([&](User& u, HWND window) {
        u.expect(IsWindowEnabled(other), "the other program's window is disabled while the settings window is up");
        press(window, IDCANCEL);
        u.expect(waitGone(window), "Cancel closes the window");
    });
    Variant out;
    EXPECT_FALSE(driver.call(L"ShowSettingsDlg", Variant(), out));
    user.finish();
    EXPECT_TRUE(IsWindowEnabled(other));
}
