#pragma once
// TPortList: everything the port picker holds except its window — the entries, the item texts of
// the drop-down list, the selection, what is listed, and the background check. The Windows
// TPortComboBox shows it; natively fr-cli uses it directly.
//
// Threads: the user-interface thread owns the list. The one checker thread reads the port
// numbers and writes the states; the list is never resized while a check runs (a refill or an
// appended placeholder first waits for the check), and states are single atomic bytes, so
// reading entries, texts and the selection needs no lock.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/uOpenPortThread.h"
#include "ui/uPortSources.h"
#include "ui/uPortTypes.h"

namespace fr::ui {

class TPortList {
public:
    using TNotify = TOpenPortThread::TNotify;
    // Lists the serial ports at once. onStateChanged is called on the checker's thread after each
    // state it sets: it may only post a request to the user-interface thread.
    TPortList(TPortSources& sources, TPortOpener& opener, TNotify onStateChanged = {});
    // Waits for a running check.
    ~TPortList();
    TPortList(const TPortList&) = delete;
    TPortList& operator=(const TPortList&) = delete;

    TPortType PortType() const { return FPortType; }
    // Rebuilds the list for the type (FillPorts); every state starts again.
    void SetPortType(TPortType value);
    // Clears the items and rebuilds the entries; no item is selected afterwards.
    void FillPorts();

    int Count() const { return static_cast<int>(FPortArray.size()); }
    const TPortProp& Entry(int index) const { return FPortArray.at(static_cast<size_t>(index)); }
    const TPortArray& Entries() const { return FPortArray; }
    // The drop-down list's texts; item i belongs to entry i.
    const std::vector<std::u16string>& Items() const { return FItems; }

    // The selected item, -1 for none. The view keeps it in step with the user's choice.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int index);

    // The selected port's number; -1 with nothing selected and always for USB.
    int PortNumber() const;
    // 1..256 and not USB: selects the first entry with the number, or appends a placeholder
    // (prefix + number, item text " ") and selects that. Anything else changes nothing.
    void SetPortNumber(int value);
    // The selected USB entry's interface path; empty otherwise.
    std::u16string PortInterface() const;
    // USB and not empty: selects the first entry with that path, or appends "USB<index>".
    void SetPortInterface(const std::u16string& value);

    // Waits for a running check, then (except for USB) starts a new one.
    void CheckPorts();
    // Asks a running check to end, waits for it and releases it.
    void StopPortCheck();
    // A check has been started and not yet waited for by StopPortCheck.
    bool HasPortCheck() const { return FThrOpenPort != nullptr; }

    // The checker's write of one entry's state.
    void SetPortState(int index, TPortState state) { FPortArray.at(static_cast<size_t>(index)).PortState.store(state); }

private:
    void Append(TPortProp entry, std::u16string itemText);

    TPortSources& FSources;
    TPortOpener& FOpener;
    TNotify FOnStateChanged;
    TPortType FPortType = TPortType::ptCOM;
    TPortArray FPortArray;
    std::vector<std::u16string> FItems;
    int FItemIndex = -1;
    std::unique_ptr<TOpenPortThread> FThrOpenPort;
};

}  // namespace fr::ui
