#pragma once
// TDriverFR's operation frame, shared by the files that implement its operations.
#include "adapter/uDriver.h"
#include "dispatch/uEquipmentErrors.h"

namespace fr {

template <class Steps>
int32_t TDriverFR::Frame(std::u16string& ResultDescription, bool checkFirst, Steps&& steps) {
    ResultDescription.clear();
    FOperationText.clear();
    int32_t code = rcOK;
    try {
        if (checkFirst) code = DeviceReady();
        if (code == rcOK) steps(code);
    } catch (...) {
        // The description is made also on the way out of an error, which then goes on to the
        // dispatch layer.
        ConvertDrvError(code, ResultDescription);
        throw;
    }
    return ConvertDrvError(code, ResultDescription);
}

}  // namespace fr
