#include "evaluator/Calculator.h"

#include <cmath>
#include <cstddef>

namespace fr::evaluator {

namespace {
bool PowDomainError(double a, double b) { return a < 0 && b != std::trunc(b); }
}  // namespace

bool TCalculator::FoldConstants(const TOperator* op, int32_t argc, int32_t pos) {
    const size_t n = FProgram.size();
    if (static_cast<size_t>(argc) > n) return false;
    double args[8];
    if (argc > 8) return false;
    for (int32_t k = 0; k < argc; ++k) {
        const TInstr& in = FProgram[n - argc + k];
        if (in.kind != stPush) return false;
        args[k] = in.value;
    }
    const TOpArgs values(args, static_cast<size_t>(argc));
    // Left to run (and fail in its turn) when it does not compute cleanly.
    if (op->Error(values) != 0) return false;
    const double r = op->Func()(values);
    if (!std::isfinite(r)) return false;
    FProgram.resize(n - argc);
    TInstr in{stPush, pos, 0, {}};
    in.value = r;
    FProgram.push_back(in);
    return true;
}

void TCalculator::Emit(TStep kind, int32_t pos, int32_t argc, const TOperator* op) {
    if (kind >= stAdd && kind <= stPow && !FProgram.empty()) {
        TInstr& right = FProgram.back();
        if (right.kind == stPush) {
            right.kind = static_cast<TStep>(kind - stAdd + stAddC);
            right.pos = pos;
            return;
        }
        if (right.kind == stVar) {
            right.kind = static_cast<TStep>(kind - stAdd + stAddV);
            right.aux = right.pos;
            right.pos = pos;
            return;
        }
    }
    TInstr in{kind, pos, argc, {}};
    in.op = op;
    FProgram.push_back(in);
}

void TCalculator::Compile(const TParserStack& AStack) {
    FCompiledFor = &AStack;
    FStackVersion = AStack.Version();
    FOpsGeneration = FOperations.Generation();
    FVarsGeneration = FVariables.Generation();
    FProgram.clear();
    int32_t height = 0, maxHeight = 0;
    bool failed = false;
    // Nothing after the first failing step can run, so translation stops there.
    auto fail = [&](int32_t code, int32_t pos) {
        TInstr in{stFail, pos, code, {}};
        in.value = 0;
        FProgram.push_back(in);
        failed = true;
    };
    for (const TParserItem& t : AStack.All()) {
        if (failed) break;
        switch (t.FTypeStack) {
            case tsValue: {
                TInstr in{stPush, t.FTextPos, 0, {}};
                in.value = t.FValue;
                FProgram.push_back(in);
                ++height;
                break;
            }
            case tsVariable: {
                const TVar* var = FVariables.Find(t.FName);
                if (!var) {
                    fail(ecUnknownName, t.FTextPos);
                    break;
                }
                TInstr in{stVar, t.FTextPos, 0, {}};
                in.var = var;
                FProgram.push_back(in);
                ++height;
                break;
            }
            case tsOperator:
            case tsFunction: {
                const TOperator* op = FOperations.GetOp(t.FName);
                if (!op) {
                    fail(ecUnknownName, t.FTextPos);
                    break;
                }
                const int32_t argc = t.FArgumentsCount;
                // Too few values: "--2", "1+-", ")1(".
                if (argc < 0 || argc > height) {
                    fail(ecCannotParse, t.FTextPos);
                    break;
                }
                // Counts are checked when parsed; a loaded list is not, and a function must never
                // read past the values it is given.
                const int32_t declared = op->Arguments();
                if (declared >= 0 && argc != declared) {
                    fail(argc > declared ? ecTooManyArguments : ecNotEnoughArguments, t.FTextPos);
                    break;
                }
                // An added operation has no value of its own.
                if (!op->Func()) {
                    fail(ecInvalidOperation, t.FTextPos);
                    break;
                }
                height += 1 - argc;
                if (FoldConstants(op, argc, t.FTextPos)) break;
                TStep kind = stOp;
                switch (op->Inline()) {
                    case ioNeg: kind = stNeg; break;
                    case ioAdd: kind = stAdd; break;
                    case ioSub: kind = stSub; break;
                    case ioMul: kind = stMul; break;
                    case ioDiv: kind = stDiv; break;
                    case ioPow: kind = stPow; break;
                    case ioNone: break;
                }
                Emit(kind, t.FTextPos, argc, op);
                break;
            }
            // Brackets or separators left in a postfix list mean it cannot be computed.
            default: fail(ecCannotParse, t.FTextPos); break;
        }
        if (height > maxHeight) maxHeight = height;
    }
    FProgram.push_back({stEnd, 0, 0, {}});
    FFinalHeight = height;
    FValues.resize(static_cast<size_t>(maxHeight) + 2);
}

namespace {
// One binary operation on the top value; false with the error set when it fails.
template <TInlineOp Op>
inline bool Apply(double& top, double b, TError& error, int32_t pos) {
    if constexpr (Op == ioAdd) {
        top = top + b;
    } else if constexpr (Op == ioSub) {
        top = top - b;
    } else if constexpr (Op == ioMul) {
        top = top * b;
    } else if constexpr (Op == ioDiv) {
        if (b == 0) return error.Set(ecDivisionByZero, pos), false;
        top = top / b;
    } else {
        if (PowDomainError(top, b)) return error.Set(ecInvalidPower, pos), false;
        top = std::pow(top, b);
    }
    if (!std::isfinite(top)) return error.Set(ecInvalidOperation, pos), false;
    return true;
}
}  // namespace

double TCalculator::Run() {
    // The top value lives in `top`, the ones below it in st[0..n-2]: most steps then work on a
    // register. st[-1] is scratch, so pushing onto an empty stack needs no test.
    double* st = FValues.data() + 1;
    std::ptrdiff_t n = 0;  // signed: st[n - 1] is st[-1] on an empty stack
    double top = 0, b = 0;
    const TInstr* in = FProgram.data();
    // Threaded dispatch (a GNU extension both our compilers have): one indirect jump per step,
    // which branch predictors follow far better than the single jump of a switch. The table is
    // in the order of TStep.
    static const void* const kSteps[] = {
        &&Push, &&Var, &&Op, &&Neg, &&Fail, &&End,
        &&Add, &&Sub, &&Mul, &&Div, &&Pow,
        &&AddC, &&SubC, &&MulC, &&DivC, &&PowC,
        &&AddV, &&SubV, &&MulV, &&DivV, &&PowV,
    };
    static_assert(sizeof(kSteps) / sizeof(kSteps[0]) == stPowV + 1);
#define FR_NEXT goto* kSteps[(++in)->kind]
#define FR_APPLY(OP)                                                          \
    if (!Apply<OP>(top, b, FError, in->pos)) return 0.0;                     \
    FR_NEXT;
    // Binary steps: the right operand into b (from the stack, a constant or a variable), then
    // the operation on top.
#define FR_BINARY(OP, NAME)                                                   \
    NAME:                                                                     \
    b = top;                                                                  \
    top = st[--n - 1];                                                        \
    FR_APPLY(OP)                                                              \
    NAME##C:                                                                  \
    b = in->value;                                                            \
    FR_APPLY(OP)                                                              \
    NAME##V:                                                                  \
    b = in->var->Value();                                                     \
    if (!std::isfinite(b)) return FError.Set(ecInvalidOperation, in->aux), 0.0; \
    FR_APPLY(OP)

    goto* kSteps[in->kind];
Push:
    st[n++ - 1] = top;
    top = in->value;
    FR_NEXT;
Var:
    b = in->var->Value();
    if (!std::isfinite(b)) return FError.Set(ecInvalidOperation, in->pos), 0.0;
    st[n++ - 1] = top;
    top = b;
    FR_NEXT;
Neg:
    top = -top;
    FR_NEXT;
Op: {
    const std::ptrdiff_t argc = in->aux;
    st[n - 1] = top;
    const TOpArgs args(st + n - argc, static_cast<size_t>(argc));
    if (const int32_t code = in->op->Error(args)) return FError.Set(code, in->pos), 0.0;
    top = in->op->Func()(args);
    n = n - argc + 1;
    if (!std::isfinite(top)) return FError.Set(ecInvalidOperation, in->pos), 0.0;
    FR_NEXT;
}
Fail:
    return FError.Set(in->aux, in->pos), 0.0;
    FR_BINARY(ioAdd, Add)
    FR_BINARY(ioSub, Sub)
    FR_BINARY(ioMul, Mul)
    FR_BINARY(ioDiv, Div)
    FR_BINARY(ioPow, Pow)
#undef FR_BINARY
#undef FR_APPLY
#undef FR_NEXT
End:
    if (FFinalHeight != 1) return FError.Set(ecCannotParse, -1), 0.0;
    // Adding +0 turns -0 into 0, so a document never shows "-0".
    return top + 0.0;
}

}  // namespace fr::evaluator
