#include "evaluator/Validate.h"

#include <initializer_list>

namespace fr::evaluator {

namespace {
bool Is(const TParserStack::Items& t, size_t i, std::initializer_list<TTypeStack> kinds) {
    for (TTypeStack k : kinds)
        if (t[i].FTypeStack == k) return true;
    return false;
}
// After an operator, an opening bracket or a separator a sign is unary and a binary operator misplaced.
bool OpensOperand(const TParserStack::Items& t, size_t i) {
    return i == 0 || Is(t, i - 1, {tsOperator, tsLeftBracket, tsSeparator});
}
}  // namespace

void TValidate::Prozess() {
    if (FError.IsSet()) return;
    CheckBrackets();
    if (FError.IsSet()) return;
    FStack.SetArgCount();
    ConvertUnarySigns();
    InsertImplicitMultiplication();
    CheckPlacement();
    if (FError.IsSet()) return;
    SetOperatorArguments();
    if (FError.IsSet()) return;
    CheckArgumentCounts();
}

void TValidate::CheckBrackets() {
    const size_t open = FStack.CountType(tsLeftBracket);
    const size_t close = FStack.CountType(tsRightBracket);
    if (open > close)
        FError.Set(ecMissingRightBracket, FStack.First(tsLeftBracket)->FTextPos);
    else if (close > open)
        FError.Set(ecMissingLeftBracket, FStack.Last(tsRightBracket)->FTextPos);
}

void TValidate::ConvertUnarySigns() {
    // Decided on the tokens as written, so "--2" has two unary minus signs.
    TParserStack::Items in = FStack.Take();
    TParserStack::Items out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        TParserItem& t = in[i];
        if (t.FTypeStack == tsOperator && (t.FName == u"+" || t.FName == u"-") && OpensOperand(in, i)) {
            if (t.FName == u"+") continue;
            t.FName = u"neg";
        }
        out.push_back(std::move(t));
    }
    FStack.Assign(std::move(out));
}

void TValidate::InsertImplicitMultiplication() {
    TParserStack::Items in = FStack.Take();
    TParserStack::Items out;
    out.reserve(in.size() * 2);
    for (size_t i = 0; i < in.size(); ++i) {
        if (i > 0 && Is(in, i - 1, {tsValue, tsRightBracket, tsVariable}) &&
            Is(in, i, {tsValue, tsFunction, tsLeftBracket, tsVariable}))
            out.emplace_back(tsOperator, in[i - 1].FTextPos, u"*");
        out.push_back(std::move(in[i]));
    }
    FStack.Assign(std::move(out));
}

void TValidate::CheckPlacement() {
    const auto& t = FStack.All();
    for (size_t i = 0; i < t.size() && !FError.IsSet(); ++i) {
        const TParserItem& item = t[i];
        switch (item.FTypeStack) {
            case tsOperator:
                if (OpensOperand(t, i)) {
                    if (item.FName.size() == 1 && std::u16string_view(u"*/^%").find(item.FName[0]) != std::u16string_view::npos)
                        FError.Set(ecOperatorPlacement, item.FTextPos);
                } else if (i + 1 == t.size()) {
                    FError.Set(ecOperatorAtEnd, item.FTextPos);
                }
                break;
            case tsRightBracket:
                if (i > 0 && Is(t, i - 1, {tsOperator, tsFunction, tsSeparator}))
                    FError.Set(ecRightBracketPlacement, item.FTextPos);
                break;
            case tsSeparator:
                if (i == 0 || Is(t, i - 1, {tsOperator, tsLeftBracket}))
                    FError.Set(ecSeparatorPlacement, item.FTextPos);
                else if (Is(t, i - 1, {tsSeparator}))
                    FError.Set(ecMissingArgument, item.FTextPos);
                break;
            default: break;
        }
    }
}

void TValidate::SetOperatorArguments() {
    for (size_t i = 0; i < FStack.Count(); ++i) {
        if (FStack[i].FTypeStack != tsOperator) continue;
        // An operator renamed since the table was built is unknown by its sign now.
        const TOperator* op = FOperations.GetOp(FStack[i].FName);
        if (!op) return FError.Set(ecUnknownName, FStack[i].FTextPos);
        FStack.Item(i).FArgumentsCount = op->Arguments();
    }
}

void TValidate::CheckArgumentCounts() {
    for (size_t i = 0; i < FStack.Count(); ++i) {
        const TParserItem& t = FStack[i];
        if (t.FTypeStack != tsOperator && t.FTypeStack != tsFunction) continue;
        const TOperator* op = FOperations.GetOp(t.FName);
        if (!op) return FError.Set(ecUnknownName, t.FTextPos);
        const int32_t declared = op->Arguments();
        const int32_t counted = t.FArgumentsCount;
        if (declared >= 0 && counted > declared) return FError.Set(ecTooManyArguments, t.FTextPos);
        const bool emptyPair = i + 2 < FStack.Count() &&
                               FStack[i + 1].FTypeStack == tsLeftBracket && FStack[i + 2].FTypeStack == tsRightBracket;
        if (emptyPair) FStack.Item(i).FArgumentsCount = 0;
        if (counted < declared || (declared >= 0 && counted == 0) || emptyPair)
            return FError.Set(ecNotEnoughArguments, t.FTextPos);
    }
}

}  // namespace fr::evaluator
