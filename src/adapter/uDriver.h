#pragma once
// TDriverFR: the Vornlex fiscal printer over the vendor's universal driver. The class the COM
// server creates for every host request.
#include "fiscal/uBaseFR.h"

namespace fr {

// The model this driver serves, as GetDeviceInfo reports it.
inline constexpr const char16_t* kDriverModelID = u"6C1F0B5E-7A2D-4E39-9B84-3F0D2A61C7E5";
inline constexpr const char16_t* kDriverProgID = u"Eqdr.FrVornlex";

class TDriverFR : public TBaseFR {
protected:
    void OnSetDeviceInfo() override;
};

}  // namespace fr
