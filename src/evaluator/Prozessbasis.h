#pragma once
// Base of the stages that work in place on the evaluator's token list.
#include "evaluator/MathError.h"
#include "evaluator/Operator.h"
#include "evaluator/ParserItem.h"

namespace fr::evaluator {

class TProzessbasis {
public:
    TProzessbasis(TParserStack& stack, TError& error, const TOperatoren& operations)
        : FStack(stack), FError(error), FOperations(operations) {}
    virtual ~TProzessbasis() = default;
    // Does nothing while an error is set.
    virtual void Prozess() = 0;

protected:
    TParserStack& FStack;
    TError& FError;
    const TOperatoren& FOperations;
};

}  // namespace fr::evaluator
