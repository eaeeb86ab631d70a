#pragma once
// Conversion of the checked tokens to postfix order (shunting-yard).
#include "evaluator/Prozessbasis.h"

namespace fr::evaluator {

class TPriority : public TProzessbasis {
public:
    using TProzessbasis::TProzessbasis;
    void Prozess() override;

private:
    int32_t PriorityOf(const TParserItem& t) const;

    TParserStack::Items FTmpStack;  // operators, functions and brackets waiting
    TParserStack::Items FPStack;    // output
};

}  // namespace fr::evaluator
