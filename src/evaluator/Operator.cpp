#include "evaluator/Operator.h"

#include <atomic>

#include "evaluator/EvalText.h"
#include "evaluator/Operations.h"

namespace fr::evaluator {

uint64_t NextGeneration() {
    static std::atomic<uint64_t> counter{0};
    return ++counter;
}

TOperator::TOperator(int32_t aPriority, int32_t aArguments, std::u16string aName, TOpFunc aOpF,
                     TErrorFunc aIsError, TInlineOp aInline)
    : FName(std::move(aName)), FPriority(aPriority), FArguments(aArguments), FFunc(aOpF),
      FErrorFunc(aIsError), FInline(aInline) {}

TOperatoren::TOperatoren() {
    // Room for the built-in entries and a few added ones.
    FItems.reserve(64);
    FIndex.reserve(64);
    Add(TOperator(0, 0, u""));
    AddOpNeg(*this);
}

void TOperatoren::Reindex() {
    FIndex.clear();
    for (int i = 0; i < static_cast<int>(FItems.size()); ++i) FIndex.try_emplace(AsciiLowerCase(FItems[i].FName), i);
    FGeneration = NextGeneration();
}

void TOperatoren::Add(TOperator op) {
    // Only the first entry of a name is ever found.
    FIndex.try_emplace(AsciiLowerCase(op.FName), static_cast<int>(FItems.size()));
    FItems.push_back(std::move(op));
    FGeneration = NextGeneration();
}

int TOperatoren::IndexOfName(std::u16string_view aName) const {
    const auto it = FIndex.find(AsciiLowerCase(aName));
    return it == FIndex.end() ? -1 : it->second;
}

const TOperator* TOperatoren::GetOp(std::u16string_view aName) const {
    const int i = IndexOfName(aName);
    return i < 0 ? nullptr : &FItems[i];
}

std::u16string TOperatoren::AcceptableNewName(std::u16string_view name) const {
    std::u16string s = AsciiLowerCase(name);
    const auto first = s.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    s = s.substr(first, s.find_last_not_of(u' ') - first + 1);
    // "e" would be read as a decimal exponent.
    if (s == u"e" || Contains(s)) return {};
    auto letter = [](char16_t c) { return c == u'_' || (c >= u'a' && c <= u'z'); };
    if (!letter(s[0])) return {};
    for (char16_t c : s)
        if (!letter(c) && !(c >= u'0' && c <= u'9')) return {};
    return s;
}

bool TOperatoren::AddCustomOperation(std::u16string_view name, int32_t arguments, uint8_t priority) {
    std::u16string s = AcceptableNewName(name);
    if (s.empty()) return false;
    // The trimmed name is stored: a name with blanks around could never be written in an expression.
    Add(TOperator(priority, arguments, std::move(s)));
    return true;
}

bool TOperatoren::RenameOperation(std::u16string_view currentName, std::u16string_view newName) {
    std::u16string s = AcceptableNewName(newName);
    if (s.empty()) return false;
    const int i = IndexOfName(currentName);
    if (i < 0) return false;
    FItems[i].FName = std::move(s);
    Reindex();
    return true;
}

}  // namespace fr::evaluator
