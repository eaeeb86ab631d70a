#pragma once
// Named variables of an evaluator. Names are case-insensitive (Latin letters): the key is the
// upper-cased name.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace fr::evaluator {

using TValueFunc = std::function<double()>;

class TVar {
public:
    TVar(std::u16string name, double value) : FValue(value), FName(std::move(name)) {}
    TVar(std::u16string name, TValueFunc func) : FValueFunc(std::move(func)), FName(std::move(name)) {}

    // Calls the bound callable when there is one.
    double Value() const { return FValueFunc ? FValueFunc() : FValue; }
    // Throws std::logic_error for a variable bound to a callable.
    void SetValue(double value) {
        if (FValueFunc) ThrowIsFunction();
        FValue = value;
    }
    bool IsFunction() const { return static_cast<bool>(FValueFunc); }
    const std::u16string& Name() const { return FName; }  // as passed to Add

private:
    [[noreturn]] static void ThrowIsFunction();

    double FValue = 0;
    TValueFunc FValueFunc;
    std::u16string FName;
};

class TVariables {
public:
    TVariables();  // holds "pi"
    // Not replaceable as a whole: evaluators hold on to its entries.
    TVariables(const TVariables&) = delete;
    TVariables& operator=(const TVariables&) = delete;

    // Add or replace.
    void Add(std::u16string_view name, double value);
    void Add(std::u16string_view name, TValueFunc func);
    void SetItem(std::u16string_view name, TVar var);
    // Throws std::out_of_range when there is no such variable.
    TVar& Item(std::u16string_view name);
    const TVar& Item(std::u16string_view name) const;
    // nullptr when there is no such variable.
    const TVar* Find(std::u16string_view name) const;
    bool Contains(std::u16string_view name) const { return Find(name) != nullptr; }
    size_t Count() const { return FItems.size(); }

    // Changes whenever a name is added; entries never move or disappear, so a found entry stays
    // valid while the table lives.
    uint64_t Generation() const { return FGeneration; }

private:
    std::unordered_map<std::u16string, TVar> FItems;
    uint64_t FGeneration;
};

}  // namespace fr::evaluator
