#pragma once
// The device ID names the device's own folder inside the devices folder, so it must be exactly one
// folder name there: anything that could name another place, or a device, is refused.
#include <string>

namespace fr {

// Why the ID cannot be one folder name, as a sentence for the host; empty when it can. An empty ID
// is accepted (the device then has no folder of its own).
std::u16string DeviceIdProblem(const std::u16string& id);

}  // namespace fr
