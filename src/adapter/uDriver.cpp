#include "adapter/uDriver.h"

namespace fr {

void TDriverFR::OnSetDeviceInfo() {
    TBaseFR::OnSetDeviceInfo();
    FDeviceInfo.ModelID = kDriverModelID;
    FDeviceInfo.ModelName = u"Сольвикс: Фискальный регистратор Vornlex";
    FDeviceInfo.ProcessorName = kDriverProgID;
    FDeviceInfo.IsSettingsDlgExist = true;
    FDeviceInfo.Description = u"Драйвер фискальных регистраторов Vornlex";
}

}  // namespace fr
