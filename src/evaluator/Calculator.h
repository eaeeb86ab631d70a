#pragma once
// Evaluation of a postfix token list.
#include <cstdint>
#include <vector>

#include "evaluator/MathError.h"
#include "evaluator/Operator.h"
#include "evaluator/ParserItem.h"
#include "evaluator/Variables.h"

namespace fr::evaluator {

class TCalculator {
public:
    TCalculator(const TVariables& variables, TError& error, const TOperatoren& operations)
        : FVariables(variables), FError(error), FOperations(operations) {}

    // The value of the postfix list; 0 with the error set when it cannot be computed. Does nothing
    // (and gives 0) while an error is already set.
    double calcResult(const TParserStack& AStack);

private:
    enum TStep : uint8_t { stPush, stVar, stOp, stNeg, stAdd, stSub, stMul, stDiv, stFail };
    struct TInstr {
        TStep kind;
        int32_t pos;
        int32_t argc;  // stOp: values taken; stFail: the error code
        double value;
        const TVar* var;
        const TOperator* op;
    };

    // The list is translated once into steps with names resolved; the translation is redone when
    // the list, the operator table or the set of variable names changes, so renames and new
    // operations are honoured exactly as a lookup at every evaluation would.
    void Compile(const TParserStack& AStack);
    double Run();

    const TVariables& FVariables;
    TError& FError;
    const TOperatoren& FOperations;

    std::vector<TInstr> FProgram;
    int32_t FFinalHeight = 0;
    const TParserStack* FCompiledFor = nullptr;
    uint64_t FStackVersion = 0, FOpsGeneration = 0, FVarsGeneration = 0;
    std::vector<double> FValues;  // the value stack
};

}  // namespace fr::evaluator
