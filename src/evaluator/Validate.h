#pragma once
// Checks and normalises the tokens in written order: brackets, argument counts, unary signs,
// implicit multiplication and the placement of operators, brackets and separators.
#include "evaluator/Prozessbasis.h"

namespace fr::evaluator {

class TValidate : public TProzessbasis {
public:
    using TProzessbasis::TProzessbasis;
    void Prozess() override;

private:
    void CheckBrackets();
    void ConvertUnarySigns();
    void InsertImplicitMultiplication();
    void CheckPlacement();
    void SetOperatorArguments();
    void CheckArgumentCounts();
};

}  // namespace fr::evaluator
