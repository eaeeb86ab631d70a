#pragma once
// The "EXPR" entry of number fields: the printed number computed from the data value.
#include <string>

#include "automation/FormatSettings.h"

namespace fr::templates {

// Evaluates an expression already holding the value's text in place of V. False when the text does
// not parse or pass the checks; a computation error (a division by zero, an unknown name) gives
// true with the value 0.
bool EvaluateFieldExpression(const std::u16string& expression, const TFormatSettings& fs, double& value);

}  // namespace fr::templates
