// Expressions with their value or error code and position.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "evaluator/EvalText.h"
#include "evaluator/NewMathParser.h"

using namespace fr::evaluator;

namespace {

constexpr double kAny = std::numeric_limits<double>::quiet_NaN();  // value not checked
constexpr double kPi = 3.141592653589793;

struct Case {
    const char* expr;
    double value;     // expected when code is 0
    int32_t code = 0;
    int32_t pos = -1;
};

void Check(const Case& c, char16_t ds) {
    TMathParser p(ds);
    p.SetExpression(FromUtf8Lenient(c.expr));
    const double v = p.ParserResult();
    SCOPED_TRACE(testing::Message() << "expression \"" << c.expr << "\", DS '" << char(ds) << "'");
    EXPECT_EQ(p.Error().FCode, c.code);
    if (c.code == 0) {
        EXPECT_EQ(p.Error().FPosition, -1);
        if (!std::isnan(c.value)) {
            EXPECT_DOUBLE_EQ(v, c.value);
        }
    } else {
        EXPECT_EQ(p.Error().FPosition, c.pos);
        EXPECT_EQ(v, 0.0);
    }
}

void CheckAll(std::initializer_list<Case> cases, std::initializer_list<char16_t> separators = {u',', u'.'}) {
    for (char16_t ds : separators)
        for (const Case& c : cases) Check(c, ds);
}

}  // namespace

TEST(Expressions, OperatorsPriorityAndAssociativity) {
    CheckAll({
        {"", 0},
        {"2+3*4", 14},
        {"(2+3)*4", 20},
        {"2^3^2", 64},            // equal priorities leave left to right
        {"-2^2", 4},              // neg binds tighter than ^
        {"2^-1", 0.5},
        {"10%3", 1},
        {"7 % -3", 1},
        {"-7 % 3", -1},
        {"7.5 % 2", 1.5},
        {"(-8) ^ 3", -512},
        {"8-3-2", 3},
        {"12/3/2", 2},
        {"+2", 2},
        {"neg(3)", -3},           // a name written in the text is a function
        {"[1+2)*{2}", 6},         // bracket kinds are interchangeable
        {"1.5e3", 1500},
        {"2E-2", 0.02},
        {"1e2+1e2", 200},         // every exponent letter is rewritten
        {"1e+2", 100},
        {"(1+1)e2", 200},
        {"2pi", 2 * kPi},
        {"PI - Pi", 0},           // the expression is lower-cased
        {"2(3+4)", 14},
        {"(1)(2)", 2},
        {"2 3", 6},
        {"2sqrt(4)", 4},
        {".5", 0.5},
        {"1.", 1},
        {"1;", 1},                // a trailing separator is not misplaced
    });
}

TEST(Expressions, Functions) {
    CheckAll({
        {"abs(-2)", 2},
        {"max(4; 9; 2)", 9},
        {"min(4; 9; 2)", 2},
        {"sum(1; 2; 3)", 6},
        {"roundto(2.5; 0)", 2},
        {"roundto(3.5; 0)", 4},
        {"roundto(1234.5678; -2)", 1234.57},
        {"roundto(1234.5678; 2)", 1200},
        {"roundto(1250; 2.5)", 1200},  // d rounds half to even (2), and so does the value
        {"roundto(1234.5678; -500)", 1234.5678},
        {"sqrt(16)", 4},
        {"sqr(-3)", 9},
        {"ceil(1.2)", 2},
        {"floor(-1.2)", -2},
        {"sign(-3) + sign(0)", -1},
        {"int(-2.7)", -2},
        {"frac(2.5)", 0.5},
        {"cos(0) + sin(0)", 1},
        {"atan(1)*4", kPi},
        {"asin(1)*2 - acos(-1)", 0},
        {"radtodeg(pi)", 180},
        {"degtorad(180)", kPi},
        {"sind(30)", 0.5},
        {"cosd(60)", 0.5},
        {"tand(45)", 1},
        {"asind(1)", 90},
        {"acosd(0)", 90},
        {"atand(1)", 45},
        {"tand(89.99)", kAny},
        {"tan(1.5707963)", kAny},
        {"ln(1)", 0},
        {"lnxp1(0)", 0},
        {"ldexp(3; 2.5)", 12},    // n rounds half to even: 2
        {"log10(1000)", 3},
        {"logn(2; 8)", 3},
        {"exp(0)", 1},
    });
}

TEST(Expressions, DomainAndArithmeticErrors) {
    CheckAll({
        {"5 % 0", 0, ecDivisionByZero, 3},
        {"1/0", 0, ecDivisionByZero, 2},
        {"(-8)^(1/3)", 0, ecInvalidPower, 5},
        {"max(4)", 0, ecNotEnoughArguments, 1},
        {"sqrt(-1)", 0, ecInvalidParameter, 1},
        {"asind(2)", 0, ecInvalidParameter, 1},
        {"acos(-1.5)", 0, ecInvalidParameter, 1},
        {"ln(0)", 0, ecInvalidParameter, 1},
        {"lnxp1(-1)", 0, ecInvalidParameter, 1},
        {"log10(-1)", 0, ecInvalidParameter, 1},
        {"logn(1; 5)", 0, ecInvalidParameter, 1},
        {"logn(2; 0)", 0, ecInvalidParameter, 1},
        {"tan(pi/2)", 0, ecInvalidTangent, 1},
        {"tand(90)", 0, ecInvalidTangent, 1},
        {"tand(270)", 0, ecInvalidTangent, 1},
        {"tand(89.995)", 0, ecInvalidTangent, 1},
        // Results that are not finite: never inf or nan in a document.
        {"0^-1", 0, ecInvalidOperation, 2},
        {"exp(1000)", 0, ecInvalidOperation, 1},
        {"10^308*10", 0, ecInvalidOperation, 7},
        {"ceil(2147483647.5)", 0, ecInvalidOperation, 1},
        {"floor(-2147483648.5)", 0, ecInvalidOperation, 1},
        {"ldexp(1; 1e9)", 0, ecInvalidOperation, 1},
        // The first error in evaluation order wins.
        {"sqrt(-1) + 1/0", 0, ecInvalidParameter, 1},
    });
}

TEST(Expressions, SyntaxErrors) {
    CheckAll({
        {"max(1;2)", 2},
        {"max(1;;2)", 0, ecMissingArgument, 7},
        {"max(1;)", 0, ecRightBracketPlacement, 7},
        {"max(;1)", 0, ecSeparatorPlacement, 5},
        {";1", 0, ecSeparatorPlacement, 1},
        {"(1+2", 0, ecMissingRightBracket, 1},
        {"1+2)", 0, ecMissingLeftBracket, 4},
        {"(1+)", 0, ecRightBracketPlacement, 4},
        {"*2", 0, ecOperatorPlacement, 1},
        {"2*/3", 0, ecOperatorPlacement, 3},
        {"2*", 0, ecOperatorAtEnd, 2},
        {"2#3", 0, ecInvalidChar, 2},
        {"2+\xD0\xB6", 0, ecInvalidChar, 3},  // a Cyrillic letter
        {"x+1", 0, ecUnknownName, 1},
        {"1e2+x", 0, ecUnknownName, 5},         // positions count the text as written
        {"abs(1;2)", 0, ecTooManyArguments, 1},
        {"max()", 0, ecNotEnoughArguments, 1},
        {"sin 1", 0, ecNotEnoughArguments, 1},
        {"1.2.3", 0, ecInvalidFloat, 6},        // the position after the number
        // Orders that leave an operator too few values.
        {"--2", 0, ecCannotParse, 1},
        {"1+-", 0, ecCannotParse, 2},
        {")1(", 0, ecCannotParse, 1},
        {"1)+(2", 0, ecCannotParse, 4},         // a bracket that never matched
        {"()", 0, ecCannotParse, -1},
        {"1;2", 0, ecCannotParse, -1},
    });
}

TEST(Expressions, DecimalSeparatorComma) {
    CheckAll({
        {"1,5", 1.5},
        {"1.5", 1.5},
        {"max(1, 2)", 2},        // a comma ending a number separates arguments
        {"max(1,5; 2,5)", 2.5},
        {"1,,2", 0, ecInvalidFloat, 5},
        {",", 0, ecSeparatorPlacement, 1},
    }, {u','});
}

TEST(Expressions, DecimalSeparatorPoint) {
    CheckAll({
        {"1,5", 1.5},
        {"1.5", 1.5},
        {"1,", 1},
        {"max(1, 2)", 0, ecNotEnoughArguments, 1},  // "1," is a number: max(1*2)
    }, {u'.'});
}
