#pragma once
// The built-in operators and functions, added to a table group by group in a fixed order.
#include "evaluator/Operator.h"

namespace fr::evaluator {

void AddOpNeg(TOperatoren& ops);            // neg
void AddOperatoren(TOperatoren& ops);       // + - * / ^ %
void AddMath(TOperatoren& ops);             // abs max min roundto sqrt sqr sum ceil floor sign int frac
void AddTrigonometry(TOperatoren& ops);     // sin cos tan asin acos atan radtodeg degtorad
void AddTrigonometryDeg(TOperatoren& ops);  // sind cosd tand asind acosd atand
void AddLogarithm(TOperatoren& ops);        // ln lnxp1 ldexp log10 logn exp

// Nearest integer, halves to the even neighbour, independent of the FPU rounding mode.
double RoundHalfEven(double x);

}  // namespace fr::evaluator
