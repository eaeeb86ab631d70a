#include "ui/uUSBPrintLib.h"

#include "automation/Errors.h"

namespace fr::ui {

bool IsUSBDeviceEnabled(const TUSBInterfaceData& d) {
    if (!d.StatusRead) return false;
    return !((d.Status & kDevNodeHasProblem) != 0 && d.Problem == kProblemDisabled);
}

bool TUSBPrintList::Refresh() {
    Clear();
    return FSources.EnumUSBPrinters([this](const TUSBInterfaceData& d) {
        FDevList.push_back(std::make_unique<TUSBPrintInfoRec>(
            TUSBPrintInfoRec{d.InterfacePath, d.LocationInfo, d.DeviceDesc, IsUSBDeviceEnabled(d)}));
    });
}

void TUSBPrintList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) throw EError(u"Ошибка: \r\nНеверный индекс устройства");
}

TUSBPrintInfoRec TUSBPrintList::Get(int Index) const {
    CheckIndex(Index);
    return *FDevList[static_cast<size_t>(Index)];
}

TUSBPrintInfoRec& TUSBPrintList::GetObject(int Index) {
    CheckIndex(Index);
    return *FDevList[static_cast<size_t>(Index)];
}

}  // namespace fr::ui
