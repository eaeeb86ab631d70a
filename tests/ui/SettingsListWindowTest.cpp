// The settings list window itself, under Wine: it runs modally on a thread of its own over an owner
// window while the test finds its controls, reads them, and drives them with posted keys and
// clicks, as the dialog manager would deliver them.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "Screenshot.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "SettingsListDevice.h"
#include "ui/win32/SettingsListIds.h"
#include "ui/win32/uSettingsListWindow.h"

using namespace fr;
using namespace fr::test;

namespace {

template <class F>
bool WaitFor(F condition, int milliseconds = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(10);
    }
    return true;
}

std::wstring Text(HWND w) {
    wchar_t buffer[512] = {};
    GetWindowTextW(w, buffer, 512);
    return buffer;
}

std::wstring ClassOf(HWND w) {
    wchar_t buffer[128] = {};
    GetClassNameW(w, buffer, 128);
    return buffer;
}

RECT RectIn(HWND w, HWND parent) {
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void PostKey(HWND w, WPARAM key) {
    PostMessageW(w, WM_KEYDOWN, key, 1);
    PostMessageW(w, WM_KEYUP, key, 0xC0000001);
}

void PostChars(HWND w, const std::wstring& text) {
    for (wchar_t c : text) PostMessageW(w, WM_CHAR, c, 1);
}

// The list window open over an owner of its own, both on one thread.
class TOpenList {
public:
    explicit TOpenList(TBaseDevice& device) {
        FThread = std::thread([this, &device] {
            Owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
            FThreadId = GetCurrentThreadId();
            FResult = ui::win32::ShowSettingsList(Owner, device);
            OwnerEnabledAfter = IsWindowEnabled(Owner) != FALSE;
            DestroyWindow(Owner);
            FDone = true;
        });
        WaitFor([this] {
            if (FThreadId == 0) return false;
            EnumThreadWindows(FThreadId, FindDialog, reinterpret_cast<LPARAM>(this));
            return Dialog != nullptr && IsWindowVisible(Dialog);
        });
        if (Dialog) {
            List = Item(IDC_SETTINGS_LIST_VIEW);
            Edit = Item(IDC_SETTINGS_LIST_EDIT);
            Combo = Item(IDC_SETTINGS_LIST_COMBO);
            Status = Item(IDC_SETTINGS_LIST_STATUS);
        }
    }
    ~TOpenList() {
        if (!FDone && Dialog) PostMessageW(Dialog, WM_CLOSE, 0, 0);
        FThread.join();
    }
    TOpenList(const TOpenList&) = delete;
    TOpenList& operator=(const TOpenList&) = delete;

    HWND Item(int id) const { return GetDlgItem(Dialog, id); }
    // Presses a button as a click does; the window's answer once it has closed.
    bool Press(int id) {
        PostMessageW(Item(id), BM_CLICK, 0, 0);
        return Closed();
    }
    bool Closed() {
        WaitFor([this] { return FDone.load(); });
        FThread.join();
        FThread = std::thread([] {});
        return FResult;
    }
    bool Done() const { return FDone; }

    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(FThreadId, &info);
        return info.hwndFocus;
    }
    std::wstring Cell(int row, int column) const {
        wchar_t buffer[256] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 256;
        SendMessageW(List, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    void Select(int row) const {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(List, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    int Selected() const {
        return static_cast<int>(SendMessageW(List, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    RECT RowRect(int row) const {
        RECT r{};
        r.left = LVIR_BOUNDS;
        SendMessageW(List, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    LPARAM RowPoint(int row) const {
        const RECT r = RowRect(row);
        return MAKELPARAM(r.left + 60, (r.top + r.bottom) / 2);
    }
    void Click(int row) const {
        PostMessageW(List, WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(row));
        PostMessageW(List, WM_LBUTTONUP, 0, RowPoint(row));
    }
    void DoubleClick(int row) const {
        Click(row);
        PostMessageW(List, WM_LBUTTONDBLCLK, MK_LBUTTON, RowPoint(row));
        PostMessageW(List, WM_LBUTTONUP, 0, RowPoint(row));
    }
    bool Shown(HWND w) const { return (GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE) != 0; }
    // A right click on a row as the list reports it; true once the menu is up. The menu's loop
    // then takes every key posted to the thread.
    bool ContextMenu(int row) const {
        POINT at{LOWORD(RowPoint(row)), HIWORD(RowPoint(row))};
        ClientToScreen(List, &at);
        PostMessageW(List, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List), MAKELPARAM(at.x, at.y));
        return WaitFor([this] {
            HWND menu = nullptr;
            EnumThreadWindows(FThreadId, FindMenu, reinterpret_cast<LPARAM>(&menu));
            return menu != nullptr;
        });
    }

    HWND Owner = nullptr;
    HWND Dialog = nullptr;
    HWND List = nullptr;
    HWND Edit = nullptr;
    HWND Combo = nullptr;
    HWND Status = nullptr;
    bool OwnerEnabledAfter = false;

private:
    static BOOL CALLBACK FindDialog(HWND w, LPARAM self) {
        if (ClassOf(w) == L"#32770" && Text(w) == L"Список настроек") {
            reinterpret_cast<TOpenList*>(self)->Dialog = w;
            return FALSE;
        }
        return TRUE;
    }

    static BOOL CALLBACK FindMenu(HWND w, LPARAM menu) {
        if (ClassOf(w) == L"#32768" && IsWindowVisible(w)) {
            *reinterpret_cast<HWND*>(menu) = w;
            return FALSE;
        }
        return TRUE;
    }

    std::thread FThread;
    std::atomic<DWORD> FThreadId{0};
    std::atomic<bool> FDone{false};
    bool FResult = false;
};

class SettingsListWindow : public ::testing::Test {
protected:
    std::shared_ptr<TBaseDevice> Device = TBaseObject::create<TListDevice>();
    const Variant& Value(int row) { return Device->GetSetting(row)->Value; }
};

TEST_F(SettingsListWindow, LayoutColumnsHintsAndMenu) {
    TOpenList w(*Device);
    ASSERT_NE(w.Dialog, nullptr) << "the window did not open: Wine needs a display (DISPLAY, Xvfb)";
    EXPECT_FALSE(IsWindowEnabled(w.Owner));

    RECT client{};
    GetClientRect(w.Dialog, &client);
    EXPECT_EQ(client.right, 374);
    EXPECT_EQ(client.bottom, 379);
    RECT frame{}, work{};
    GetWindowRect(w.Dialog, &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 1);

    // The list: virtual report rows, whole-row selection, grid lines, headers that do not click.
    ASSERT_EQ(ClassOf(w.List), L"SysListView32");
    const LONG_PTR style = GetWindowLongPtrW(w.List, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_OWNERDATA);
    EXPECT_TRUE(style & LVS_NOSORTHEADER);
    EXPECT_FALSE(style & LVS_EDITLABELS);
    const LRESULT ex = SendMessageW(w.List, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(ex & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES), LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    HWND header = reinterpret_cast<HWND>(SendMessageW(w.List, LVM_GETHEADER, 0, 0));
    EXPECT_FALSE(GetWindowLongPtrW(header, GWL_STYLE) & HDS_BUTTONS);
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
    const std::wstring captions[] = {L"Наименование", L"Значение", L"По-умолчанию"};
    const int widths[] = {190, 90, 90};
    for (int i = 0; i < 3; ++i) {
        wchar_t buffer[64] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.pszText = buffer;
        item.cchTextMax = 64;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(buffer, captions[i]);
        EXPECT_EQ(item.cxy, widths[i]);
    }
    EXPECT_EQ(SendMessageW(w.List, LVM_GETITEMCOUNT, 0, 0), rowCount);
    EXPECT_EQ(w.Cell(rowNumber, 0), L"Таймаут");
    EXPECT_EQ(w.Cell(rowBoolean, 1), L"True");
    EXPECT_EQ(w.Cell(rowString, 2), L"Иванов");

    // Under the list the sunken description, then the footer with its line and three buttons.
    const RECT list = RectIn(w.List, w.Dialog), status = RectIn(w.Status, w.Dialog);
    EXPECT_EQ(list.top, 0);
    EXPECT_EQ(list.bottom, status.top);
    EXPECT_EQ(status.bottom - status.top, 55);
    EXPECT_EQ(status.bottom, 379 - 41);
    EXPECT_TRUE(GetWindowLongPtrW(w.Status, GWL_STYLE) & SS_SUNKEN);
    EXPECT_EQ(RectIn(w.Item(IDC_SETTINGS_LIST_LINE), w.Dialog).top, 379 - 41);
    const RECT byDefault = RectIn(w.Item(IDC_SETTINGS_LIST_DEFAULT), w.Dialog);
    const RECT ok = RectIn(w.Item(IDC_SETTINGS_LIST_OK), w.Dialog);
    const RECT cancel = RectIn(w.Item(IDC_SETTINGS_LIST_CANCEL), w.Dialog);
    EXPECT_EQ(Text(w.Item(IDC_SETTINGS_LIST_DEFAULT)), L"По-умолчанию");
    EXPECT_EQ(Text(w.Item(IDC_SETTINGS_LIST_OK)), L"ОК");
    EXPECT_EQ(Text(w.Item(IDC_SETTINGS_LIST_CANCEL)), L"Отмена");
    EXPECT_LT(byDefault.right, ok.left);
    EXPECT_LT(ok.right, cancel.left);
    EXPECT_GT(cancel.right, 374 - 20);
    for (const RECT& b : {byDefault, ok, cancel}) EXPECT_GT(b.top, 379 - 41);
    EXPECT_EQ(GetWindowContextHelpId(w.Item(IDC_SETTINGS_LIST_OK)), 1001u);
    EXPECT_EQ(GetWindowContextHelpId(w.Item(IDC_SETTINGS_LIST_CANCEL)), 1002u);

    // Both editors hidden; the drop-down list holds False and True in that order.
    EXPECT_FALSE(w.Shown(w.Edit));
    EXPECT_FALSE(w.Shown(w.Combo));
    ASSERT_EQ(SendMessageW(w.Combo, CB_GETCOUNT, 0, 0), 2);
    for (int i = 0; i < 2; ++i) {
        wchar_t buffer[16] = {};
        SendMessageW(w.Combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
        EXPECT_EQ(buffer, std::wstring(i ? L"True" : L"False"));
    }

    // The hints, one per button.
    HWND tip = nullptr;
    for (HWND t = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); t;
         t = FindWindowExW(nullptr, t, TOOLTIPS_CLASSW, nullptr))
        if (GetWindow(t, GW_OWNER) == w.Dialog) tip = t;
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 3);
    const struct {
        int id;
        std::wstring hint;
    } hints[] = {{IDC_SETTINGS_LIST_DEFAULT, L"Установить все значения по-умолчанию"},
                 {IDC_SETTINGS_LIST_OK, L"Сохранить и закрыть"},
                 {IDC_SETTINGS_LIST_CANCEL, L"Закрыть без сохранения"}};
    for (const auto& h : hints) {
        wchar_t buffer[128] = {};
        TOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.hwnd = w.Dialog;
        info.uId = reinterpret_cast<UINT_PTR>(w.Item(h.id));
        info.lpszText = buffer;
        SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(buffer, h.hint);
    }

    // The list's context menu, as the module's resources hold it.
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_SETTINGS_LIST_POPUP));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    wchar_t item[64] = {};
    GetMenuStringW(popup, IDM_SETTINGS_LIST_EDIT, item, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(item), L"Редактировать");
    GetMenuStringW(popup, IDM_SETTINGS_LIST_DEFAULT, item, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(item), L"По-умолчанию");
    DestroyMenu(menu);

    // Escape in the list leaves the window open; the close box cancels.
    w.Select(rowNumber);
    PostKey(w.List, VK_ESCAPE);
    Sleep(200);
    EXPECT_FALSE(w.Done());
    PostMessageW(w.Dialog, WM_CLOSE, 0, 0);
    EXPECT_FALSE(w.Closed());
    EXPECT_TRUE(w.OwnerEnabledAfter);
}

TEST_F(SettingsListWindow, EditsInPlaceAndClosesWithOk) {
    TOpenList w(*Device);
    ASSERT_NE(w.Dialog, nullptr) << "the window did not open: Wine needs a display (DISPLAY, Xvfb)";

    // Enter on a row opens the text box over the value cell, with the focus in it.
    w.Select(rowNumber);
    EXPECT_EQ(Text(w.Status), L"Секунды ожидания");
    PostKey(w.List, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return w.Shown(w.Edit); }));
    EXPECT_TRUE(WaitFor([&] { return w.Focus() == w.Edit; }));
    EXPECT_EQ(Text(w.Edit), L"120");
    const RECT row = w.RowRect(rowNumber), edit = RectIn(w.Edit, w.Dialog);
    EXPECT_EQ(edit.left, row.left + 190 + 3);
    EXPECT_EQ(edit.top, row.top);
    EXPECT_EQ(edit.right - edit.left, 90);
    EXPECT_EQ(edit.bottom - edit.top, row.bottom - row.top + 7);
    // The text starts selected, so typing replaces it; Enter stores it and goes back to the list.
    PostChars(w.Edit, L"45");
    PostKey(w.Edit, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !w.Shown(w.Edit); }));
    EXPECT_TRUE(WaitFor([&] { return w.Focus() == w.List; }));
    EXPECT_EQ(w.Cell(rowNumber, 1), L"45");
    EXPECT_FALSE(w.Done());

    // F2 on a Boolean opens the drop-down list on its value; a key changes it, Enter stores it.
    w.Select(rowBoolean);
    PostKey(w.List, VK_F2);
    ASSERT_TRUE(WaitFor([&] { return w.Shown(w.Combo); }));
    EXPECT_TRUE(WaitFor([&] { return w.Focus() == w.Combo; }));
    EXPECT_EQ(SendMessageW(w.Combo, CB_GETCURSEL, 0, 0), 1);
    CreateDirectoryW(FR_ARTIFACTS_DIR, nullptr);
    Sleep(300);  // let the window paint before it is captured
    EXPECT_TRUE(SaveScreenshot(w.Dialog, FR_ARTIFACTS_DIR L"/settings-list-boolean.bmp"));
    PostKey(w.Combo, VK_UP);
    PostKey(w.Combo, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !w.Shown(w.Combo); }));
    EXPECT_EQ(w.Cell(rowBoolean, 1), L"False");

    // A double click opens the editor; Escape drops what was typed and leaves the window open.
    w.DoubleClick(rowString);
    ASSERT_TRUE(WaitFor([&] { return w.Shown(w.Edit); }));
    EXPECT_EQ(Text(w.Edit), L"Иванов");
    PostChars(w.Edit, L"Сидоров");
    PostKey(w.Edit, VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return !w.Shown(w.Edit); }));
    EXPECT_EQ(w.Cell(rowString, 1), L"Иванов");
    EXPECT_FALSE(w.Done());

    // A click on another row while editing stores the text in the row it was typed for.
    w.DoubleClick(rowString);
    ASSERT_TRUE(WaitFor([&] { return w.Shown(w.Edit); }));
    PostChars(w.Edit, L"Петров");
    ASSERT_TRUE(WaitFor([&] { return Text(w.Edit) == L"Петров"; }));
    Sleep(300);  // let the window paint before it is captured
    EXPECT_TRUE(SaveScreenshot(w.Dialog, FR_ARTIFACTS_DIR L"/settings-list.bmp"));
    w.Click(rowDate);
    ASSERT_TRUE(WaitFor([&] { return !w.Shown(w.Edit) && w.Selected() == rowDate; }));
    EXPECT_EQ(w.Cell(rowString, 1), L"Петров");
    EXPECT_EQ(w.Cell(rowDate, 1), w.Cell(rowDate, 2));
    EXPECT_EQ(Text(w.Status), L"Начало периода");

    // The context menu's second item, "По-умолчанию", puts back the selected row only.
    w.Select(rowNumber);
    ASSERT_TRUE(w.ContextMenu(rowNumber));
    PostKey(w.List, VK_DOWN);
    PostKey(w.List, VK_DOWN);
    PostKey(w.List, VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return w.Cell(rowNumber, 1) == L"120"; }));
    EXPECT_EQ(w.Cell(rowBoolean, 1), L"False");
    // A read-only setting is edited like any other, here from the menu's first item "Редактировать".
    w.Select(rowReadOnly);
    ASSERT_TRUE(w.ContextMenu(rowReadOnly));
    PostKey(w.List, VK_DOWN);
    PostKey(w.List, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return w.Shown(w.Edit) && w.Focus() == w.Edit; }));
    EXPECT_EQ(Text(w.Edit), L"A-1");
    PostChars(w.Edit, L"B-2");

    // A mouse click on OK while the text box is open: the text box loses the focus to the button
    // first, which stores the text, then the window closes with OK.
    HWND ok = w.Item(IDC_SETTINGS_LIST_OK);
    PostMessageW(ok, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(ok, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_TRUE(w.Closed());
    EXPECT_EQ(Value(rowNumber), Variant(120));
    EXPECT_EQ(Value(rowString), Variant(u"Петров"));
    EXPECT_EQ(Value(rowBoolean), Variant(false));
    EXPECT_EQ(Value(rowReadOnly), Variant(u"B-2"));
}

// The button puts every value back at once; Cancel only answers false (the caller undoes edits).
TEST_F(SettingsListWindow, DefaultsButtonThenCancel) {
    Device->GetSetting(rowNumber)->Value = Variant(7);
    Device->GetSetting(rowBoolean)->Value = Variant(false);
    Device->GetSetting(rowDate)->Value = Variant(u"не дата");
    TOpenList w(*Device);
    ASSERT_NE(w.Dialog, nullptr) << "the window did not open: Wine needs a display (DISPLAY, Xvfb)";
    EXPECT_EQ(w.Cell(rowNumber, 1), L"7");
    PostMessageW(w.Item(IDC_SETTINGS_LIST_DEFAULT), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return w.Cell(rowNumber, 1) == L"120"; }));
    for (int row = 0; row < rowCount; ++row) EXPECT_EQ(w.Cell(row, 1), w.Cell(row, 2)) << row;
    EXPECT_FALSE(w.Press(IDC_SETTINGS_LIST_CANCEL));
    for (int row = 0; row < rowCount; ++row) EXPECT_EQ(Value(row), Device->GetSetting(row)->Default) << row;
}

}  // namespace
