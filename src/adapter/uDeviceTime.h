#pragma once
// The register's clock as the universal driver gives it: six digits hhmmss.
#include <string>

namespace fr {

// The date of Now with the time of day read from T (hours from characters 1-2, minutes 3-4,
// seconds 5-6). Now itself when a part is missing, not a number or out of range.
double DeviceTimeToDateTime(const std::u16string& T, double Now);

}  // namespace fr
