#include "fiscal/uBaseFR.h"

namespace fr {

void TBaseFR::OnSetDeviceInfo() {
    TBaseDevice::OnSetDeviceInfo();
    FDeviceInfo.TypeName = u"FiscalPrinter";
}

}  // namespace fr
