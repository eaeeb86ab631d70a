#include "evaluator/Calculator.h"

#include <cmath>

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
    size_t n = 0;
    double top = 0;
    // A variable's value, which must be finite.
    auto var = [this](const TVar* v, int32_t pos, double& out) {
        out = v->Value();
        return std::isfinite(out) || (FError.Set(ecInvalidOperation, pos), false);
    };
    // Binary steps with the right operand on the stack, a constant or a variable.
#define FR_BINARY_STEPS(OP, ST)                                                   \
    case ST: {                                                                   \
        const double b = top;                                                    \
        top = st[--n - 1];                                                       \
        if (!Apply<OP>(top, b, FError, in.pos)) return 0.0;                      \
        continue;                                                                \
    }                                                                            \
    case ST##C:                                                                  \
        if (!Apply<OP>(top, in.value, FError, in.pos)) return 0.0;               \
        continue;                                                                \
    case ST##V: {                                                                \
        double b;                                                                \
        if (!var(in.var, in.aux, b) || !Apply<OP>(top, b, FError, in.pos)) return 0.0; \
        continue;                                                                \
    }
    for (const TInstr& in : FProgram) {
        switch (in.kind) {
            case stPush:
                st[n++ - 1] = top;
                top = in.value;
                continue;
            case stVar: {
                double v;
                if (!var(in.var, in.pos, v)) return 0.0;
                st[n++ - 1] = top;
                top = v;
                continue;
            }
            case stNeg: top = -top; continue;
            case stOp: {
                const size_t argc = static_cast<size_t>(in.aux);
                st[n - 1] = top;
                const TOpArgs args(st + n - argc, argc);
                if (const int32_t code = in.op->Error(args)) return FError.Set(code, in.pos), 0.0;
                top = in.op->Func()(args);
                n = n - argc + 1;
                if (!std::isfinite(top)) return FError.Set(ecInvalidOperation, in.pos), 0.0;
                continue;
            }
            case stFail: return FError.Set(in.aux, in.pos), 0.0;
            FR_BINARY_STEPS(ioAdd, stAdd)
            FR_BINARY_STEPS(ioSub, stSub)
            FR_BINARY_STEPS(ioMul, stMul)
            FR_BINARY_STEPS(ioDiv, stDiv)
            FR_BINARY_STEPS(ioPow, stPow)
        }
    }
#undef FR_BINARY_STEPS
    if (FFinalHeight != 1) return FError.Set(ecCannotParse, -1), 0.0;
    // Adding +0 turns -0 into 0, so a document never shows "-0".
    return top + 0.0;
}

double TCalculator::calcResult(const TParserStack& AStack) {
    if (FError.IsSet()) return 0.0;
    if (FCompiledFor != &AStack || FStackVersion != AStack.Version() || FOpsGeneration != FOperations.Generation() ||
        FVarsGeneration != FVariables.Generation()) {
        Compile(AStack);
        FCompiledFor = &AStack;
        FStackVersion = AStack.Version();
        FOpsGeneration = FOperations.Generation();
        FVarsGeneration = FVariables.Generation();
    }
    return Run();
}

}  // namespace fr::evaluator
