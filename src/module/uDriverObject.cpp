#include "module/uDriverObject.h"

#include "adapter/uDriver.h"

namespace fr {

// Every create request gets a new, fully initialised driver object.
std::shared_ptr<DispatchTarget> createDriverObject() { return TBaseObject::create<TDriverFR>(); }

}  // namespace fr
