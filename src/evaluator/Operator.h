#pragma once
// The operator and function table: one entry per name the parser recognises, with its priority,
// argument count, value and domain check.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fr::evaluator {

// Argument values in written order (first = left).
using TOpArgs = std::span<const double>;
using TOpFunc = double (*)(TOpArgs values);
// Error code for the values, 0 when they are acceptable.
using TErrorFunc = int32_t (*)(TOpArgs values);

// Built-in entries the calculator may run without an indirect call; the code follows the entry
// through renames, so a renamed "+" still adds.
enum TInlineOp : uint8_t { ioNone, ioNeg, ioAdd, ioSub, ioMul, ioDiv, ioPow };

class TOperator {
public:
    TOperator(int32_t aPriority, int32_t aArguments, std::u16string aName, TOpFunc aOpF = nullptr,
              TErrorFunc aIsError = nullptr, TInlineOp aInline = ioNone);

    const std::u16string& Name() const { return FName; }
    int32_t Priority() const { return FPriority; }
    int32_t Arguments() const { return FArguments; }  // -1: any number
    TOpFunc Func() const { return FFunc; }
    TInlineOp Inline() const { return FInline; }
    int32_t Error(TOpArgs values) const { return FErrorFunc ? FErrorFunc(values) : 0; }

private:
    friend class TOperatoren;
    std::u16string FName;
    int32_t FPriority;
    int32_t FArguments;
    TOpFunc FFunc;
    TErrorFunc FErrorFunc;
    TInlineOp FInline;
};

class TOperatoren {
public:
    // Holds the empty-name entry and "neg".
    TOperatoren();
    TOperatoren(const TOperatoren&) = delete;
    TOperatoren& operator=(const TOperatoren&) = delete;

    size_t Count() const { return FItems.size(); }
    const TOperator& operator[](size_t i) const { return FItems[i]; }

    void Add(TOperator op);
    // Case of Latin letters ignored; first match wins.
    int IndexOfName(std::u16string_view aName) const;
    const TOperator* GetOp(std::u16string_view aName) const;
    bool Contains(std::u16string_view aName) const { return IndexOfName(aName) != -1; }

    // An entry without value or domain check; false (and nothing changed) for an unacceptable name.
    bool AddCustomOperation(std::u16string_view name, int32_t arguments, uint8_t priority);
    bool RenameOperation(std::u16string_view currentName, std::u16string_view newName);

    // Changes with every change of the table; unique across tables, so a cached lookup is valid
    // exactly while the generation it was made under is current.
    uint64_t Generation() const { return FGeneration; }

private:
    // The lower-cased, trimmed form of `name` when it may name a new entry, else empty.
    std::u16string AcceptableNewName(std::u16string_view name) const;
    void Reindex();

    std::vector<TOperator> FItems;
    std::unordered_map<std::u16string, int> FIndex;  // lower-case name -> first index
    uint64_t FGeneration = 0;
};

// A process-wide counter for generations of lookup tables.
uint64_t NextGeneration();

}  // namespace fr::evaluator
