#include "evaluator/Calculator.h"

#include <cmath>

namespace fr::evaluator {

void TCalculator::Compile(const TParserStack& AStack) {
    FProgram.clear();
    int32_t height = 0, maxHeight = 0;
    bool failed = false;
    // Nothing after the first failing step can run, so translation stops there.
    auto fail = [&](int32_t code, int32_t pos) {
        FProgram.push_back({stFail, pos, code, 0, nullptr, nullptr});
        failed = true;
    };
    for (const TParserItem& t : AStack.All()) {
        if (failed) break;
        switch (t.FTypeStack) {
            case tsValue:
                FProgram.push_back({stPush, t.FTextPos, 0, t.FValue, nullptr, nullptr});
                ++height;
                break;
            case tsVariable: {
                const TVar* var = FVariables.Find(t.FName);
                if (!var) {
                    fail(ecUnknownName, t.FTextPos);
                    break;
                }
                FProgram.push_back({stVar, t.FTextPos, 0, 0, var, nullptr});
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
                TStep kind = stOp;
                switch (op->Inline()) {
                    case ioNeg: kind = stNeg; break;
                    case ioAdd: kind = stAdd; break;
                    case ioSub: kind = stSub; break;
                    case ioMul: kind = stMul; break;
                    case ioDiv: kind = stDiv; break;
                    case ioNone: break;
                }
                FProgram.push_back({kind, t.FTextPos, argc, 0, nullptr, op});
                height += 1 - argc;
                break;
            }
            // Brackets or separators left in a postfix list mean it cannot be computed.
            default: fail(ecCannotParse, t.FTextPos); break;
        }
        if (height > maxHeight) maxHeight = height;
    }
    FFinalHeight = height;
    FValues.resize(static_cast<size_t>(maxHeight) + 1);
}

double TCalculator::Run() {
    double* st = FValues.data();
    size_t h = 0;
    for (const TInstr& in : FProgram) {
        switch (in.kind) {
            case stPush: st[h++] = in.value; continue;
            case stVar: {
                const double v = in.var->Value();
                if (!std::isfinite(v)) return FError.Set(ecInvalidOperation, in.pos), 0.0;
                st[h++] = v;
                continue;
            }
            case stNeg: st[h - 1] = -st[h - 1]; continue;
            case stAdd: st[h - 2] += st[h - 1]; break;
            case stSub: st[h - 2] -= st[h - 1]; break;
            case stMul: st[h - 2] *= st[h - 1]; break;
            case stDiv:
                if (st[h - 1] == 0) return FError.Set(ecDivisionByZero, in.pos), 0.0;
                st[h - 2] /= st[h - 1];
                break;
            case stOp: {
                const size_t argc = static_cast<size_t>(in.argc);
                const TOpArgs args(st + h - argc, argc);
                if (const int32_t code = in.op->Error(args)) return FError.Set(code, in.pos), 0.0;
                const double r = in.op->Func()(args);
                h -= argc;
                st[h++] = r;
                if (!std::isfinite(r)) return FError.Set(ecInvalidOperation, in.pos), 0.0;
                continue;
            }
            case stFail: return FError.Set(in.argc, in.pos), 0.0;
        }
        // Binary inline operators.
        --h;
        if (!std::isfinite(st[h - 1])) return FError.Set(ecInvalidOperation, in.pos), 0.0;
    }
    if (FFinalHeight != 1) return FError.Set(ecCannotParse, -1), 0.0;
    // Adding +0 turns -0 into 0, so a document never shows "-0".
    return st[0] + 0.0;
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
