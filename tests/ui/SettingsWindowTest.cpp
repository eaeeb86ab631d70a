// The settings window itself under Wine, over a scripted universal driver and scripted ports. It
// runs modally on the test's thread while a second thread plays the user: the window comes up
// while a port is still being opened, checks the ports only when the picker shows, has a dialog
// frame, is centred, its pages fill their tab, and the model list opens wide enough for every
// name. Screenshots go to artifacts/ in the build folder.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../adapter/DriverHost.h"
#include "FakePortSources.h"
#include "Screenshot.h"
#include "ui/win32/SettingsWindowIds.h"
#include "ui/win32/uCommonSettingsWindow.h"
#include "ui/win32/uDeviceSettingsPage.h"
#include "ui/win32/uWindowGeometry.h"

using namespace fr;
using namespace fr::ui::win32;
using fr::ui::test::FakeOpener;
using fr::ui::test::FakePortSources;

namespace {

constexpr int kWaitMs = 30000;  // for a window to come; Wine on a loaded machine is slow

template <class F>
bool WaitFor(F condition, int milliseconds = kWaitMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(20);
    }
    return true;
}

HWND FindSettingsWindow() {
    HWND w = FindWindowW(L"#32770", L"Настройки");
    return w && IsWindowVisible(w) ? w : nullptr;
}

// The child dialog holding a control with this ID.
HWND PageWith(HWND window, int id) {
    for (HWND c = FindWindowExW(window, nullptr, L"#32770", nullptr); c; c = FindWindowExW(window, c, L"#32770", nullptr))
        if (GetDlgItem(c, id)) return c;
    return nullptr;
}

RECT RectIn(HWND w, HWND parent) {
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

std::wstring ArtifactPath(const wchar_t* name) {
    CreateDirectoryW(FR_ARTIFACTS_DIR, nullptr);
    return std::wstring(FR_ARTIFACTS_DIR) + L"/" + name;
}

// Two serial ports; every open waits until the test lets it go.
struct Ports {
    FakePortSources sources;
    FakeOpener opener;
    Ports() {
        sources.serialMap = {u"\\Device\\Serial0 COM1", u"\\Device\\Serial2 COM3"};
        sources.setupAvailable = false;
        opener.hold = true;
    }
};

// The window over the driver with the connection page on the given ports, shown modally on this
// thread while `user` plays on a second one; the user's failures come back in `failures`.
void ShowWindow(TDriverFR& driver, Ports& ports, const std::function<void(HWND, std::vector<std::string>&)>& user,
                std::vector<std::string>& failures) {
    TCommonSettingsWindow window(driver, {[&ports](HWND parent, ui::TDialogServices& services) {
                                     return std::unique_ptr<TPageWindow>(std::make_unique<TDeviceSettingsPage>(
                                         parent, services, ports.sources, ports.opener));
                                 }});
    std::thread player([&] {
        HWND w = nullptr;
        if (!WaitFor([&] { return (w = FindSettingsWindow()) != nullptr; })) {
            failures.push_back("the window did not come up while a port was being opened");
            ports.opener.release();  // an opening that waits for the check comes up now
            if (!WaitFor([&] { return (w = FindSettingsWindow()) != nullptr; }))
                return failures.push_back("the window did not come up at all");
        }
        user(w, failures);
        ports.opener.release();
        PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    });
    window.ShowModal();
    player.join();
}

void SetConnection(TDriverFR& driver, int model, int connection) {
    driver.SetSettingValue(u"ModelIndex", Variant(model));
    driver.SetSettingValue(u"ConnectionType", Variant(connection));
    driver.SetSettingValue(u"PortNumber", Variant(3));
    driver.SetSettingValue(u"BaudRate", Variant(9600));
}

}  // namespace

TEST(SettingsWindow, OpensAtOnceAndChecksThePortsOnceOnlyWhenThePickerShows) {
    struct Case {
        const char* what;
        int connection;
        size_t opens;  // ports opened by the end: one check goes once through both
    };
    const Case cases[] = {{"serial", 0, 2}, {"network", 1, 0}};
    for (const auto& c : cases) {
        test::DriverHost<> h;
        Ports ports;
        SetConnection(*h.driver, 0, c.connection);
        std::vector<std::string> failures;
        ShowWindow(*h.driver, ports, [](HWND, std::vector<std::string>&) {}, failures);
        for (const auto& f : failures) ADD_FAILURE() << c.what << ": " << f;
        // The window has gone and waited for its check: what was opened is all that ever will be.
        EXPECT_EQ(ports.opener.calls().size(), c.opens) << c.what;
    }
}

TEST(SettingsWindow, ADialogFrameCentredWithPagesFillingTheirTabAndTheModelListOpenWide) {
    test::DriverHost<> h;
    Ports ports;
    ports.opener.hold = false;
    SetConnection(*h.driver, 3, 0);
    std::vector<std::string> failures;
    ShowWindow(
        *h.driver, ports,
        [](HWND w, std::vector<std::string>& fail) {
            auto expect = [&](bool ok, const std::string& what) {
                if (!ok) fail.push_back(what);
            };
            const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE), exStyle = GetWindowLongPtrW(w, GWL_EXSTYLE);
            expect(!(style & WS_THICKFRAME), "no sizing frame");
            expect((exStyle & WS_EX_DLGMODALFRAME) && (style & WS_SYSMENU) && (exStyle & WS_EX_CONTEXTHELP),
                   "a dialog frame with the system menu and the help button");

            RECT window{};
            GetWindowRect(w, &window);
            expect(window.right - window.left >= 320 && window.bottom - window.top >= 400,
                   "at least 320 x 400: " + Describe(window));
            MONITORINFO monitor{};
            monitor.cbSize = sizeof monitor;
            GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY), &monitor);
            const RECT& area = monitor.rcWork;
            expect(std::abs((window.left - area.left) - (area.right - window.right)) <= 1 &&
                       std::abs((window.top - area.top) - (area.bottom - window.bottom)) <= 1,
                   "centred: " + Describe(window) + " on " + Describe(area));

            // Each page fills the tab's display area, and the page's right column lies inside it;
            // also when a program makes the window larger than its pages need.
            HWND page = PageWith(w, IDC_MODEL), info = PageWith(w, IDC_INFO_VALUE_FIRST);
            if (!page || !info) return fail.push_back("the pages are missing");
            auto pagesFill = [&](const std::string& when) {
                HWND tabs = GetDlgItem(w, IDC_TABS);
                RECT display{};
                GetClientRect(tabs, &display);
                SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
                MapWindowPoints(tabs, w, reinterpret_cast<POINT*>(&display), 2);
                for (HWND p : {page, info})
                    expect(SameRect(RectIn(p, w), display), when + ": a page fills its tab: " + Describe(RectIn(p, w)) +
                                                                " in " + Describe(display));
                RECT column = RectIn(GetDlgItem(page, IDC_Z_REPORT), w);
                expect(column.right <= display.right && column.bottom <= display.bottom,
                       when + ": the Z report button inside the tab: " + Describe(column));
            };
            pagesFill("opened");
            SetWindowPos(w, nullptr, 0, 0, window.right - window.left + 80, window.bottom - window.top + 60,
                         SWP_NOMOVE | SWP_NOZORDER);
            pagesFill("enlarged");
            SetWindowPos(w, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                         SWP_NOMOVE | SWP_NOZORDER);

            // Every model name fits the open list, in the list's own font.
            HWND models = GetDlgItem(page, IDC_MODEL);
            const int dropped = static_cast<int>(SendMessageW(models, CB_GETDROPPEDWIDTH, 0, 0));
            HDC dc = GetDC(models);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(models, WM_GETFONT, 0, 0)));
            const int count = static_cast<int>(SendMessageW(models, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                wchar_t text[256] = {};
                const int n = static_cast<int>(SendMessageW(models, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                                            reinterpret_cast<LPARAM>(text)));
                SIZE size{};
                GetTextExtentPoint32W(dc, text, n, &size);
                // The text, a margin each side and the list's border.
                expect(size.cx + 8 <= dropped, "model " + std::to_string(i) + " is " + std::to_string(size.cx) +
                                                   " pixels wide, the open list " + std::to_string(dropped));
            }
            SelectObject(dc, old);
            ReleaseDC(models, dc);

            SendMessageW(models, CB_SHOWDROPDOWN, TRUE, 0);
            COMBOBOXINFO combo{};
            combo.cbSize = sizeof combo;
            GetComboBoxInfo(models, &combo);
            Sleep(500);  // every control has painted
            RECT shot = window, list{};
            if (combo.hwndList) GetWindowRect(combo.hwndList, &list);
            UnionRect(&shot, &shot, &list);
            expect(test::SaveScreenshot(shot, ArtifactPath(L"settings-window-models.bmp")), "screenshot of the models");
            SendMessageW(models, CB_SHOWDROPDOWN, FALSE, 0);
        },
        failures);
    for (const auto& f : failures) ADD_FAILURE() << f;
}

namespace {
// Leaves distinct words on the stack where the next call's locals will lie.
__attribute__((noinline)) int DirtyStack() {
    volatile int words[512];
    for (int i = 0; i < 512; ++i) words[i] = i * 7919 + 13;
    return words[511];
}
}  // namespace

TEST(WindowGeometry, AWindowThatDoesNotExistYetMeasuresEmpty) {
    for (HWND w : {static_cast<HWND>(nullptr), reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ffe))}) {
        EXPECT_NE(DirtyStack(), 0);
        const SIZE size = ClientSize(w);
        EXPECT_EQ(size.cx, 0);
        EXPECT_EQ(size.cy, 0);
    }
}

// Windows cannot be made without a display (Wine without X): the suite is then reported as
// skipped rather than failed or passed.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (!probe) {
        std::fprintf(stderr, "no display: the window tests need one (Xvfb under Wine)\n");
        return 77;
    }
    DestroyWindow(probe);
    return RUN_ALL_TESTS();
}
