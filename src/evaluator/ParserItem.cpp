#include "evaluator/ParserItem.h"

#include <algorithm>

#include "evaluator/Operator.h"

namespace fr::evaluator {

TParserItem::TParserItem(std::u16string name, int32_t pos) : FName(std::move(name)), FTextPos(pos) {
    if (FName.size() == 1 && std::u16string_view(u"+-*/^%").find(FName[0]) != std::u16string_view::npos)
        FTypeStack = tsOperator;
    else if (FName == u"(")
        FTypeStack = tsLeftBracket;
    else if (FName == u")")
        FTypeStack = tsRightBracket;
    else
        FTypeStack = tsFunction;
}

void TParserStack::Touch() { FVersion = NextGeneration(); }

size_t TParserStack::CountType(TTypeStack st) const {
    return std::count_if(FItems.begin(), FItems.end(), [st](const TParserItem& t) { return t.FTypeStack == st; });
}

bool TParserStack::Contains(TTypeStack st) const { return First(st) != nullptr; }

const TParserItem* TParserStack::First(TTypeStack st) const {
    for (const auto& t : FItems)
        if (t.FTypeStack == st) return &t;
    return nullptr;
}

const TParserItem* TParserStack::Last(TTypeStack st) const {
    for (auto it = FItems.rbegin(); it != FItems.rend(); ++it)
        if (it->FTypeStack == st) return &*it;
    return nullptr;
}

int32_t TParserStack::ArgCount(size_t index) const {
    int32_t count = 0;
    int depth = 0;
    for (size_t i = index + 1; i < FItems.size(); ++i) {
        switch (FItems[i].FTypeStack) {
            case tsLeftBracket: ++depth; break;
            case tsRightBracket:
                if (depth == 1) return count + 1;
                --depth;
                break;
            case tsSeparator:
                if (depth == 1) ++count;
                break;
            default: break;
        }
    }
    return count;
}

void TParserStack::SetArgCount() {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].FTypeStack == tsFunction) Item(i).FArgumentsCount = ArgCount(i);
}

}  // namespace fr::evaluator
