#include "ui/uPortList.h"

#include <cstdint>

#include "automation/Text.h"
#include "ui/uPortEnum.h"
#include "ui/uUSBPrintLib.h"

namespace fr::ui {

TPortList::TPortList(TPortSources& sources, TPortOpener& opener, TNotify onStateChanged)
    : FSources(sources), FOpener(opener), FOnStateChanged(std::move(onStateChanged)) {
    FillPorts();
}

TPortList::~TPortList() { StopPortCheck(); }

void TPortList::SetPortType(TPortType value) {
    FPortType = value;
    FillPorts();
}

void TPortList::FillPorts() {
    // The checker writes states by position: no list may change under it.
    StopPortCheck();
    FItems.clear();
    FItemIndex = -1;
    FPortArray.clear();
    if (FPortType == TPortType::ptUSB) {
        TUSBPrintList usb(FSources);
        if (!usb.Refresh()) return;
        for (int i = 0; i < usb.Count(); ++i) {
            const TUSBPrintInfoRec& r = usb.GetObject(i);
            if (r.devicename.empty()) continue;
            TPortProp e;
            e.PortName = r.devicename + u" (" + r.description + u")";
            e.PortInterface = r.interfacename;
            e.PortState = r.isenabled ? TPortState::psFree : TPortState::psBusy;
            FPortArray.push_back(std::move(e));
            FItems.push_back(r.devicename);
        }
        return;
    }
    const int kind = FPortType == TPortType::ptCOM ? pkSerial : pkParallel;
    for (TPortName& p : EnumeratePorts(FSources, kind, false, true)) {
        // A name such as "(COM99999)" gives a number no port has.
        if (p.Number < 0 || p.Number > UINT16_MAX) continue;
        TPortProp e;
        e.PortNum = static_cast<uint16_t>(p.Number);
        e.PortName = p.Name;
        FPortArray.push_back(std::move(e));
        FItems.push_back(std::move(p.Name));
    }
}

void TPortList::SetItemIndex(int index) { FItemIndex = index >= 0 && index < Count() ? index : -1; }

int TPortList::PortNumber() const {
    if (FPortType == TPortType::ptUSB || FItemIndex < 0) return -1;
    return Entry(FItemIndex).PortNum;
}

void TPortList::Append(TPortProp entry, std::u16string itemText) {
    StopPortCheck();
    FPortArray.push_back(std::move(entry));
    FItems.push_back(std::move(itemText));
    FItemIndex = Count() - 1;
}

void TPortList::SetPortNumber(int value) {
    if (value < 1 || value > 256 || FPortType == TPortType::ptUSB) return;
    for (int i = 0; i < Count(); ++i) {
        if (Entry(i).PortNum == value) {
            FItemIndex = i;
            return;
        }
    }
    TPortProp e;
    e.PortNum = static_cast<uint16_t>(value);
    e.PortName = PortPrefix(FPortType) + utf8ToUtf16(std::to_string(value));
    Append(std::move(e), u" ");
}

std::u16string TPortList::PortInterface() const {
    if (FPortType != TPortType::ptUSB || FItemIndex < 0) return {};
    return Entry(FItemIndex).PortInterface;
}

void TPortList::SetPortInterface(const std::u16string& value) {
    if (FPortType != TPortType::ptUSB || value.empty()) return;
    for (int i = 0; i < Count(); ++i) {
        if (Entry(i).PortInterface == value) {
            FItemIndex = i;
            return;
        }
    }
    TPortProp e;
    e.PortName = u"USB" + utf8ToUtf16(std::to_string(Count()));
    e.PortInterface = value;
    Append(std::move(e), u" ");
}

void TPortList::CheckPorts() {
    StopPortCheck();
    if (FPortType == TPortType::ptUSB) return;
    FThrOpenPort = std::make_unique<TOpenPortThread>(*this, FOpener, FOnStateChanged);
}

void TPortList::StopPortCheck() {
    if (!FThrOpenPort) return;
    FThrOpenPort->Terminate();
    FThrOpenPort->WaitFor();
    FThrOpenPort.reset();
}

}  // namespace fr::ui
