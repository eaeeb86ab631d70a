#include "module/uDriverObject.h"

#include "dispatch/uCOMSupport.h"

namespace fr {

// The concrete driver class is not there yet: the class answers with an empty method table.
std::shared_ptr<DispatchTarget> createDriverObject() { return TBaseObject::create<TBaseObject>(); }

}  // namespace fr
