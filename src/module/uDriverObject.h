#pragma once
// The object behind each create request of "Eqdr.FrVornlex".
#include <memory>

#include "automation/AutomationObject.h"

namespace fr {

std::shared_ptr<DispatchTarget> createDriverObject();

}  // namespace fr
