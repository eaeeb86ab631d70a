#pragma once
// TBaseFR: what every fiscal printer has. Its fiscal method table and settings come with the
// fiscal operations; for now it identifies the device as a fiscal printer.
#include "device/uBaseDevice.h"

namespace fr {

class TBaseFR : public TBaseDevice {
protected:
    void OnSetDeviceInfo() override;
};

}  // namespace fr
