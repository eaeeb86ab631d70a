#pragma once
// Tokens of an expression and the token list every stage works on.
#include <cstdint>
#include <string>
#include <vector>

namespace fr::evaluator {

enum TTypeStack : uint8_t {
    tsValue = 0,
    tsOperator = 1,
    tsFunction = 2,
    tsLeftBracket = 3,
    tsRightBracket = 4,
    tsSeparator = 5,
    tsVariable = 6,
};

struct TParserItem {
    double FValue = 0;
    TTypeStack FTypeStack = tsValue;
    std::u16string FName;          // operator, function or variable name; empty for values and separators
    int32_t FArgumentsCount = 0;   // values the operator or function takes here
    int32_t FTextPos = 0;          // 1-based position in the expression (0 once loaded)

    TParserItem() = default;
    TParserItem(TTypeStack kind, int32_t pos, std::u16string name)
        : FTypeStack(kind), FName(std::move(name)), FTextPos(pos) {}
    TParserItem(double value, int32_t pos) : FValue(value), FTextPos(pos) {}
    // The kind follows from the name: an operator character, a bracket, else a function.
    TParserItem(std::u16string name, int32_t pos);
};

class TParserStack {
public:
    using Items = std::vector<TParserItem>;

    size_t Count() const { return FItems.size(); }
    bool Empty() const { return FItems.empty(); }
    const TParserItem& operator[](size_t i) const { return FItems[i]; }
    const Items& All() const { return FItems; }

    // Every mutating access changes Version(), so work derived from the list knows when to redo.
    TParserItem& Item(size_t i) { return Touch(), FItems[i]; }
    void Add(TParserItem item) { Touch(), FItems.push_back(std::move(item)); }
    void Clear() { Touch(), FItems.clear(); }
    void Assign(Items items) { Touch(), FItems = std::move(items); }
    Items Take() { return Touch(), std::move(FItems); }

    size_t CountType(TTypeStack st) const;
    bool Contains(TTypeStack st) const;
    const TParserItem* First(TTypeStack st) const;
    const TParserItem* Last(TTypeStack st) const;
    // Values a function token at `index` takes: top-level separators plus one inside the first
    // bracket pair after it; 0 when no bracket follows.
    int32_t ArgCount(size_t index) const;
    // ArgCount for every function token.
    void SetArgCount();

    uint64_t Version() const { return FVersion; }

private:
    void Touch();

    Items FItems;
    uint64_t FVersion = 0;
};

}  // namespace fr::evaluator
