#include "evaluator/Priority.h"

namespace fr::evaluator {

int32_t TPriority::PriorityOf(const TParserItem& t) const {
    const TOperator* op = FOperations.GetOp(t.FName);
    return op ? op->Priority() : 0;
}

void TPriority::Prozess() {
    if (FError.IsSet()) return;
    FTmpStack.clear();
    FPStack.clear();
    TParserStack::Items in = FStack.Take();
    FPStack.reserve(in.size());
    auto moveTop = [this] {
        FPStack.push_back(std::move(FTmpStack.back()));
        FTmpStack.pop_back();
    };
    // Brackets closing before they open (")1(") pass the checks, so the waiting stack may run
    // empty before an opening bracket turns up; the calculator then finds too few values.
    auto moveToOpeningBracket = [&] {
        while (!FTmpStack.empty() && FTmpStack.back().FTypeStack != tsLeftBracket) moveTop();
    };
    for (auto& t : in) {
        switch (t.FTypeStack) {
            case tsValue:
            case tsVariable: FPStack.push_back(std::move(t)); break;
            case tsOperator: {
                // Equal priorities leave first: every operator is left-associative, "^" included.
                const int32_t p = PriorityOf(t);
                while (!FTmpStack.empty() && FTmpStack.back().FTypeStack == tsOperator && PriorityOf(FTmpStack.back()) >= p)
                    moveTop();
                FTmpStack.push_back(std::move(t));
                break;
            }
            case tsFunction:
            case tsLeftBracket: FTmpStack.push_back(std::move(t)); break;
            case tsRightBracket:
                moveToOpeningBracket();
                if (!FTmpStack.empty()) {
                    FTmpStack.pop_back();
                    if (!FTmpStack.empty() && FTmpStack.back().FTypeStack == tsFunction) moveTop();
                }
                break;
            case tsSeparator: moveToOpeningBracket(); break;
        }
    }
    while (!FTmpStack.empty()) moveTop();
    FStack.Assign(std::move(FPStack));
    FPStack = {};
}

}  // namespace fr::evaluator
