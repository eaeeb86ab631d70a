// TPortComboBox on a real owner-drawn combo box in a hidden window (under Wine, with a display):
// it shows the list, appends placeholders, draws the dots and is repainted by the checker's
// posted messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "FakePortSources.h"
#include "ui/win32/uPortComboBox.h"

using namespace fr::ui;
using fr::ui::test::FakeOpener;
using fr::ui::test::FakePortSources;
using fr::ui::win32::TPortComboBox;

namespace {

constexpr int kComboId = 100;
TPortComboBox* gBox = nullptr;  // the picker the test window forwards to

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DRAWITEM && gBox) return gBox->DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    if (msg == WM_MEASUREITEM) {
        // Sent while the combo box is created, before any picker exists.
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = TPortComboBox::kItemHeight;
        if (gBox) gBox->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A hidden top-level window with the dialog's kind of combo box.
class TestWindow {
public:
    TestWindow() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FrPortPickerTestParent";
        RegisterClassExW(&wc);
        parent = CreateWindowExW(0, wc.lpszClassName, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        combo = CreateWindowExW(0, L"COMBOBOX", L"",
                                WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0, 0, 200,
                                150, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboId)), wc.hInstance, nullptr);
    }
    ~TestWindow() {
        gBox = nullptr;
        DestroyWindow(parent);
    }
    int count() const { return static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)); }
    int selection() const { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
    std::wstring text(int i) const {
        wchar_t buf[512] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
        return buf;
    }
    HWND parent = nullptr;
    HWND combo = nullptr;
};

// Pumps messages until `wanted` repaint requests reached the picker's window, or 10 seconds.
int PumpRepaints(const TPortComboBox& box, int wanted) {
    int seen = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (seen < wanted && std::chrono::steady_clock::now() < deadline) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.hwnd == box.MessageWindow() && msg.message == TPortComboBox::kRepaintMessage) ++seen;
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return seen;
}

// Item i drawn into a 200x16 bitmap through the parent's WM_DRAWITEM.
struct Drawn {
    LRESULT handled = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y * 200 + x)]; }
    // The dot's inside, and its outline where the circle from (2,2) to (12,12) meets row and column 7.
    COLORREF dot() const { return at(7, 7); }
    bool outlined(COLORREF c) const { return at(2, 7) == c && at(11, 7) == c && at(7, 2) == c && at(7, 11) == c; }
    // Nothing drawn left of, right of or above the dot, nor between it and the text.
    bool clearAround(COLORREF background) const {
        return at(1, 7) == background && at(12, 7) == background && at(7, 1) == background && at(14, 7) == background &&
               at(15, 3) == background;
    }
    bool textFrom16(COLORREF background) const {
        for (int x = 16; x < 200; ++x)
            for (int y = 0; y < 16; ++y)
                if (at(x, y) != background) return true;
        return false;
    }
};
Drawn DrawThroughParent(const TestWindow& w, int i) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_COMBOBOX;
    dis.CtlID = kComboId;
    dis.itemID = static_cast<UINT>(i);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = w.combo;
    dis.hDC = dc;
    dis.rcItem = {0, 0, 200, 16};
    Drawn d;
    d.handled = SendMessageW(w.parent, WM_DRAWITEM, kComboId, reinterpret_cast<LPARAM>(&dis));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 200; ++x) d.pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return d;
}

}  // namespace

TEST(PortComboBox, ThePickerOnARealComboBoxListsTheSystemsPorts) {
    TestWindow w;
    ASSERT_TRUE(w.combo);
    TPortComboBox box(w.combo);
    gBox = &box;
    EXPECT_EQ(w.count(), box.Ports().Count());
    EXPECT_EQ(box.PortNumber(), -1);
    // COM250 is nowhere: a grey placeholder that the check turns red.
    box.SetPortNumber(250);
    ASSERT_EQ(w.count(), box.Ports().Count());
    EXPECT_EQ(w.selection(), box.Ports().Count() - 1);
    EXPECT_EQ(box.PortNumber(), 250);
    box.Shown();
    EXPECT_EQ(PumpRepaints(box, box.Ports().Count()), box.Ports().Count());
    box.StopPortCheck();
    EXPECT_EQ(box.Ports().Entries().back().PortState.load(), TPortState::psBusy);
    EXPECT_EQ(DrawThroughParent(w, w.count() - 1).dot(), RGB(208, 0, 0));
}

TEST(PortComboBox, ThePickerShowsPlaceholdersDotsAndRepaintsAfterEachPort) {
    FakePortSources sources;
    sources.serialMap = {u"COM1", u"COM3"};
    FakeOpener opener;
    opener.busy = {u"COM3"};
    TestWindow w;
    TPortComboBox box(w.combo, sources, opener);
    gBox = &box;
    ASSERT_EQ(w.count(), 2);
    EXPECT_EQ(w.text(0), L"COM1");
    EXPECT_EQ(w.selection(), -1);

    box.SetPortNumber(5);
    ASSERT_EQ(w.count(), 3);
    EXPECT_EQ(w.text(2), L" ");
    EXPECT_EQ(w.selection(), 2);
    EXPECT_EQ(box.PortNumber(), 5);
    box.SetPortNumber(0);
    EXPECT_EQ(w.count(), 3);
    EXPECT_EQ(box.PortNumber(), 5);
    // The user's choice in the combo box is what PortNumber reads.
    SendMessageW(w.combo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(box.PortNumber(), 3);

    // Grey before the check; the circle inside (2,2)-(12,12), the text from x = 16.
    const COLORREF background = GetSysColor(COLOR_WINDOW);
    const Drawn grey = DrawThroughParent(w, 2);
    EXPECT_EQ(grey.handled, TRUE);
    EXPECT_EQ(grey.dot(), RGB(208, 208, 208));
    EXPECT_TRUE(grey.outlined(RGB(10, 10, 10)));
    EXPECT_TRUE(grey.clearAround(background));
    EXPECT_TRUE(grey.textFrom16(background));

    box.CheckPortsOnCreate = false;
    box.Shown();
    EXPECT_FALSE(box.Ports().HasPortCheck());
    box.CheckPortsOnCreate = true;
    box.Shown();
    EXPECT_EQ(PumpRepaints(box, 3), 3);
    box.StopPortCheck();
    const Drawn green = DrawThroughParent(w, 0), red = DrawThroughParent(w, 1);
    EXPECT_EQ(green.dot(), RGB(0, 208, 0));
    EXPECT_TRUE(green.outlined(RGB(0, 160, 0)));
    EXPECT_EQ(red.dot(), RGB(208, 0, 0));
    EXPECT_TRUE(red.outlined(RGB(160, 0, 0)));
    EXPECT_EQ(DrawThroughParent(w, 2).dot(), RGB(0, 208, 0));

    // A refill shows the new list and every dot grey again.
    box.SetPortType(TPortType::ptLPT);
    EXPECT_EQ(w.count(), 0);
    box.SetPortType(TPortType::ptCOM);
    ASSERT_EQ(w.count(), 2);
    EXPECT_EQ(DrawThroughParent(w, 0).dot(), RGB(208, 208, 208));

    // Another combo's items are not the picker's.
    DRAWITEMSTRUCT other{};
    other.CtlType = ODT_COMBOBOX;
    other.hwndItem = w.parent;
    EXPECT_FALSE(box.DrawItem(other));
}

// Each picker registers its message window's class and unregisters it as it goes: a picker that
// goes first leaves the class to the one still open.
TEST(PortComboBox, APickerOutlivingAnotherStillGetsItsRepaints) {
    FakePortSources sources;
    sources.serialMap = {u"COM1", u"COM2"};
    FakeOpener opener;
    TestWindow first, second;
    std::optional<TPortComboBox> early, late;
    early.emplace(first.combo, sources, opener);
    late.emplace(second.combo, sources, opener);
    early.reset();
    late->CheckPorts();
    EXPECT_EQ(PumpRepaints(*late, 2), 2);
    // A picker made after the last one went registers the class again.
    late.reset();
    late.emplace(second.combo, sources, opener);
    late->CheckPorts();
    EXPECT_EQ(PumpRepaints(*late, 2), 2);
}

// Windows cannot be made without a display (Wine without X): the suite is then reported as
// skipped rather than failed or passed.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    {
        TestWindow probe;
        if (!probe.combo) {
            std::fprintf(stderr, "no display: the window tests need one (Xvfb under Wine)\n");
            return 77;
        }
    }
    return RUN_ALL_TESTS();
}
