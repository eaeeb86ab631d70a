#include "automation/Errors.h"

#include "automation/Text.h"

namespace fr {

EError::EError(std::u16string message, const char* className)
    : FMessage(std::move(message)), FClassName(className), FUtf8(utf16ToUtf8(FMessage)) {}

}  // namespace fr
