#pragma once
// TPortComboBox: the port picker on a dialog's combo box (a drop-down list with owner-drawn
// items of fixed height and strings: CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS |
// WS_VSCROLL). Each item carries a dot: grey until tested, green when the port opened, red when
// it did not. The list and the check are TPortList's; this class shows them.
//
// The checker thread reports only by posting kRepaintMessage to a message-only window of the
// picker, which repaints the combo box on the user-interface thread.
#include <windows.h>

#include <string>

#include "ui/uPortList.h"

namespace fr::ui::win32 {

class TPortComboBox {
public:
    static constexpr UINT kRepaintMessage = 0xB034;
    static constexpr UINT kItemHeight = 16;

    // Fills the serial list at once and creates the message window.
    explicit TPortComboBox(HWND combo);
    // The same over other sources (tests).
    TPortComboBox(HWND combo, TPortSources& sources, TPortOpener& opener);
    // Waits for a running check, then destroys the message window.
    ~TPortComboBox();
    TPortComboBox(const TPortComboBox&) = delete;
    TPortComboBox& operator=(const TPortComboBox&) = delete;

    int PortNumber() const;
    void SetPortNumber(int value);
    std::u16string PortInterface() const;
    void SetPortInterface(const std::u16string& value);
    TPortType PortType() const { return FList.PortType(); }
    void SetPortType(TPortType value);

    // Check the ports each time the control is shown.
    bool CheckPortsOnCreate = true;
    // The control became visible (a page or tab was shown): checks the ports when asked to.
    void Shown();
    void CheckPorts() { FList.CheckPorts(); }
    void StopPortCheck() { FList.StopPortCheck(); }

    // The parent dialog forwards these for the combo box; true when the item was the combo's.
    bool DrawItem(const DRAWITEMSTRUCT& dis);
    void MeasureItem(MEASUREITEMSTRUCT& mis);

    HWND Handle() const { return FCombo; }
    HWND MessageWindow() const { return FMessageWindow.get(); }
    const TPortList& Ports() const { return FList; }

private:
    class TMessageWindow {
    public:
        explicit TMessageWindow(HWND combo);
        ~TMessageWindow();
        TMessageWindow(const TMessageWindow&) = delete;
        TMessageWindow& operator=(const TMessageWindow&) = delete;
        HWND get() const { return FHWnd; }

    private:
        HWND FHWnd;
    };

    // The user's choice in the combo box becomes the list's selection.
    void PullSelection() const;
    // The combo box shows the list's items and selection.
    void PushItems();

    HWND FCombo;
    TMessageWindow FMessageWindow;  // before the list: the checker posts to it until the list stops it
    mutable TPortList FList;
};

}  // namespace fr::ui::win32
