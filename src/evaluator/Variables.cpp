#include "evaluator/Variables.h"

#include <stdexcept>

#include "evaluator/EvalText.h"
#include "evaluator/Operator.h"

namespace fr::evaluator {

void TVar::ThrowIsFunction() { throw std::logic_error("Fehler: Value is a function"); }

TVariables::TVariables() : FGeneration(NextGeneration()) { Add(u"pi", 3.141592653589793); }

void TVariables::SetItem(std::u16string_view name, TVar var) {
    auto key = AsciiUpperCase(name);
    auto it = FItems.find(key);
    if (it != FItems.end()) {
        // Assigned in place: the entry keeps its address.
        it->second = std::move(var);
    } else {
        FItems.emplace(std::move(key), std::move(var));
        FGeneration = NextGeneration();
    }
}

void TVariables::Add(std::u16string_view name, double value) { SetItem(name, TVar(std::u16string(name), value)); }

void TVariables::Add(std::u16string_view name, TValueFunc func) {
    SetItem(name, TVar(std::u16string(name), std::move(func)));
}

TVar& TVariables::Item(std::u16string_view name) {
    auto it = FItems.find(AsciiUpperCase(name));
    if (it == FItems.end()) throw std::out_of_range("variable not found: " + ToUtf8(name));
    return it->second;
}

const TVar& TVariables::Item(std::u16string_view name) const { return const_cast<TVariables*>(this)->Item(name); }

const TVar* TVariables::Find(std::u16string_view name) const {
    auto it = FItems.find(AsciiUpperCase(name));
    return it == FItems.end() ? nullptr : &it->second;
}

}  // namespace fr::evaluator
