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
    double calcResult(const TParserStack& AStack) {
        if (FError.IsSet()) return 0.0;
        if (FCompiledFor != &AStack || FStackVersion != AStack.Version() ||
            FOpsGeneration != FOperations.Generation() || FVarsGeneration != FVariables.Generation())
            Compile(AStack);
        return Run();
    }

private:
    // Steps of a translated list. A binary operator whose right operand is a constant (C) or a
    // variable (V) is one step.
    enum TStep : uint8_t {
        stPush, stVar, stOp, stNeg, stFail, stEnd,
        stAdd, stSub, stMul, stDiv, stPow,
        stAddC, stSubC, stMulC, stDivC, stPowC,
        stAddV, stSubV, stMulV, stDivV, stPowV,
    };
    struct TInstr {
        TStep kind;
        int32_t pos;
        int32_t aux;  // stOp: values taken; stFail: the error code; ..V: the variable's position
        union {
            double value;
            const TVar* var;
            const TOperator* op;
        };
    };

    // The list is translated once into steps with names resolved and error-free constant parts
    // computed; the translation is redone when the list, the operator table or the set of variable
    // names changes, so renames and new operations are honoured exactly as a lookup at every
    // evaluation would be. Every step does the same floating-point operations as the list would.
    void Compile(const TParserStack& AStack);
    void Emit(TStep kind, int32_t pos, int32_t argc, const TOperator* op);
    bool FoldConstants(const TOperator* op, int32_t argc, int32_t pos);
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
