#pragma once
// TUSBPrintList: the USB printer interfaces known to the system, each with its device's location
// and description and whether the device is enabled.
#include <memory>
#include <string>
#include <vector>

#include "ui/uPortSources.h"

namespace fr::ui {

struct TUSBPrintInfoRec {
    std::u16string interfacename;  // the interface's device path
    std::u16string devicename;     // the device's location information
    std::u16string description;    // the device description
    bool isenabled = false;
};

// The configuration manager's "has a problem" flag and the problem code of a disabled device.
constexpr uint32_t kDevNodeHasProblem = 0x400;
constexpr uint32_t kProblemDisabled = 22;

// Enabled: the node status could be read and does not say "disabled".
bool IsUSBDeviceEnabled(const TUSBInterfaceData& d);

class TUSBPrintList {
public:
    explicit TUSBPrintList(TPortSources& sources) : FSources(sources) {}

    int Count() const { return static_cast<int>(FDevList.size()); }
    void Clear() { FDevList.clear(); }
    // Rebuilds the list; false when the interfaces cannot be listed (the records read so far stay).
    bool Refresh();
    // A copy of record Index / the stored record. Raise EError "Ошибка: \r\nНеверный индекс
    // устройства" for an index outside 0..Count-1.
    TUSBPrintInfoRec Get(int Index) const;
    TUSBPrintInfoRec& GetObject(int Index);

private:
    void CheckIndex(int Index) const;

    TPortSources& FSources;
    std::vector<std::unique_ptr<TUSBPrintInfoRec>> FDevList;
};

}  // namespace fr::ui
