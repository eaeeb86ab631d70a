#include "evaluator/MathError.h"

namespace fr::evaluator {

std::u16string ErrorCodeText(int32_t code) {
    switch (code) {
        case ecCannotParse: return u"Cannot parse";
        case ecInvalidChar: return u"Invalid car";
        case ecUnknownName: return u"Unknown function or variable";
        case ecInvalidFloat: return u"Invalid float number";
        case ecOperatorPlacement: return u"Operator cannot be placed here";
        case ecNotEnoughArguments: return u"Not enough arguments or operands";
        case ecMissingArgument: return u"Missing argument after separator";
        case ecMissingLeftBracket: return u"Missing at least one left Bracket";
        case ecMissingRightBracket: return u"Missing at least one right Bracket";
        case ecLeftBracketPlacement: return u"Left Bracket cannot be placed here";
        case ecRightBracketPlacement: return u"Right Bracket cannot be placed here";
        case ecSeparatorPlacement: return u"Separator cannot be placed here";
        case ecOperatorAtEnd: return u"Operator must be followed by argument";
        case ecInvalidOperation: return u"Invalid operation";
        case ecDivisionByZero: return u"Division by zero";
        case ecInvalidPower: return u"Invalid use of power function";
        case ecInvalidParameter: return u"Invalid parameter value for function";
        case ecInvalidTangent: return u"Invalid parameter value for tangens-function";
        default: return {};
    }
}

}  // namespace fr::evaluator
