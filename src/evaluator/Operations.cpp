#include "evaluator/Operations.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "evaluator/MathError.h"

namespace fr::evaluator {

namespace {

constexpr double kRadToDeg = 57.295779513082320877;
constexpr double kDegToRad = 0.017453292519943295769;
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = kPi / 2;
constexpr double kThreeHalfPi = 3 * kPi / 2;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Results that are not finite become error 100 in the calculator; NaN is how a function says so.
double AsInt32(double v) { return v >= -2147483648.0 && v <= 2147483647.0 ? v : kNaN; }

int32_t ErrDivisor(TOpArgs v) { return v[1] == 0 ? ecDivisionByZero : 0; }
int32_t ErrPower(TOpArgs v) { return v[0] < 0 && v[1] != std::trunc(v[1]) ? ecInvalidPower : 0; }
int32_t ErrAtMostOne(TOpArgs v) { return v.size() >= 2 ? ecTooManyArguments : 0; }
int32_t ErrAtLeastTwo(TOpArgs v) { return v.size() < 2 ? ecNotEnoughArguments : 0; }
int32_t ErrNegative(TOpArgs v) { return v[0] < 0 ? ecInvalidParameter : 0; }
int32_t ErrUnitRange(TOpArgs v) { return v[0] < -1 || v[0] > 1 ? ecInvalidParameter : 0; }
int32_t ErrNotPositive(TOpArgs v) { return v[0] <= 0 ? ecInvalidParameter : 0; }
int32_t ErrLnxp1(TOpArgs v) { return v[0] <= -1 ? ecInvalidParameter : 0; }
int32_t ErrLogn(TOpArgs v) { return v[0] <= 0 || v[1] <= 0 || v[0] == 1 ? ecInvalidParameter : 0; }
int32_t ErrTan(TOpArgs v) { return v[0] == kHalfPi || v[0] == kThreeHalfPi ? ecInvalidTangent : 0; }
int32_t ErrTand(TOpArgs v) {
    const double r = v[0] * kDegToRad;
    return std::fabs(r - kHalfPi) < 0.0001 || std::fabs(r - kThreeHalfPi) < 0.0001 ? ecInvalidTangent : 0;
}

double Neg(TOpArgs v) { return -v[0]; }
double Add(TOpArgs v) { return v[0] + v[1]; }
double Sub(TOpArgs v) { return v[0] - v[1]; }
double Mul(TOpArgs v) { return v[0] * v[1]; }
double Div(TOpArgs v) { return v[0] / v[1]; }
double Pow(TOpArgs v) { return std::pow(v[0], v[1]); }
double Mod(TOpArgs v) { return v[0] - std::trunc(v[0] / v[1]) * v[1]; }

double Abs(TOpArgs v) { return std::fabs(v[0]); }
double Max(TOpArgs v) { return *std::max_element(v.begin(), v.end()); }
double Min(TOpArgs v) { return *std::min_element(v.begin(), v.end()); }
double Sum(TOpArgs v) {
    double s = 0;
    for (double x : v) s += x;
    return s;
}
double RoundTo(TOpArgs v) {
    const double a = v[0];
    // Clamped: beyond +-400 the scale overflows and the answer no longer depends on d.
    const int d = static_cast<int>(std::clamp(RoundHalfEven(v[1]), -400.0, 400.0));
    if (d < 0) {
        const double m = std::pow(10.0, -d);
        const double scaled = a * m;
        // A value too large to scale has no digits at that place: it is its own rounding.
        return std::isfinite(scaled) ? RoundHalfEven(scaled) / m : a;
    }
    const double m = std::pow(10.0, d);
    return std::isfinite(m) ? RoundHalfEven(a / m) * m : 0.0;
}
double Sqrt(TOpArgs v) { return std::sqrt(v[0]); }
double Sqr(TOpArgs v) { return v[0] * v[0]; }
double Ceil(TOpArgs v) { return AsInt32(std::ceil(v[0])); }
double Floor(TOpArgs v) { return AsInt32(std::floor(v[0])); }
double Sign(TOpArgs v) { return v[0] > 0 ? 1.0 : v[0] < 0 ? -1.0 : 0.0; }
double Int(TOpArgs v) { return std::trunc(v[0]); }
double Frac(TOpArgs v) { return v[0] - std::trunc(v[0]); }

double Sin(TOpArgs v) { return std::sin(v[0]); }
double Cos(TOpArgs v) { return std::cos(v[0]); }
double Tan(TOpArgs v) { return std::tan(v[0]); }
double Asin(TOpArgs v) { return std::asin(v[0]); }
double Acos(TOpArgs v) { return std::acos(v[0]); }
double Atan(TOpArgs v) { return std::atan(v[0]); }
double RadToDeg(TOpArgs v) { return v[0] * kRadToDeg; }
double DegToRad(TOpArgs v) { return v[0] * kDegToRad; }

double Sind(TOpArgs v) { return std::sin(v[0] * kDegToRad); }
double Cosd(TOpArgs v) { return std::cos(v[0] * kDegToRad); }
double Tand(TOpArgs v) { return std::tan(v[0] * kDegToRad); }
double Asind(TOpArgs v) { return std::asin(v[0]) * kRadToDeg; }
double Acosd(TOpArgs v) { return std::acos(v[0]) * kRadToDeg; }
double Atand(TOpArgs v) { return std::atan(v[0]) * kRadToDeg; }

double Ln(TOpArgs v) { return std::log(v[0]); }
double Lnxp1(TOpArgs v) { return std::log1p(v[0]); }
double Ldexp(TOpArgs v) {
    // Clamped so the conversion to int is defined; the result over- or underflows long before.
    return std::ldexp(v[0], static_cast<int>(std::clamp(RoundHalfEven(v[1]), -100000.0, 100000.0)));
}
double Log10(TOpArgs v) { return std::log10(v[0]); }
double Logn(TOpArgs v) { return std::log(v[1]) / std::log(v[0]); }
double Exp(TOpArgs v) { return std::exp(v[0]); }

void Fn(TOperatoren& ops, const char16_t* name, int32_t args, TOpFunc f, TErrorFunc e = nullptr) {
    ops.Add(TOperator(0, args, name, f, e));
}

}  // namespace

double RoundHalfEven(double x) {
    const double r = std::round(x);  // halves away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5) return 2.0 * std::round(x / 2.0);
    return r;
}

void AddOpNeg(TOperatoren& ops) { ops.Add(TOperator(4, 1, u"neg", Neg, nullptr, ioNeg)); }

void AddOperatoren(TOperatoren& ops) {
    ops.Add(TOperator(1, 2, u"+", Add, nullptr, ioAdd));
    ops.Add(TOperator(1, 2, u"-", Sub, nullptr, ioSub));
    ops.Add(TOperator(2, 2, u"*", Mul, nullptr, ioMul));
    ops.Add(TOperator(2, 2, u"/", Div, ErrDivisor, ioDiv));
    ops.Add(TOperator(3, 2, u"^", Pow, ErrPower, ioPow));
    ops.Add(TOperator(2, 2, u"%", Mod, ErrDivisor));
}

void AddMath(TOperatoren& ops) {
    Fn(ops, u"abs", 1, Abs, ErrAtMostOne);
    Fn(ops, u"max", -1, Max, ErrAtLeastTwo);
    Fn(ops, u"min", -1, Min, ErrAtLeastTwo);
    Fn(ops, u"roundto", 2, RoundTo);
    Fn(ops, u"sqrt", 1, Sqrt, ErrNegative);
    Fn(ops, u"sqr", 1, Sqr);
    Fn(ops, u"sum", -1, Sum, ErrAtLeastTwo);
    Fn(ops, u"ceil", 1, Ceil);
    Fn(ops, u"floor", 1, Floor);
    Fn(ops, u"sign", 1, Sign);
    Fn(ops, u"int", 1, Int);
    Fn(ops, u"frac", 1, Frac);
}

void AddTrigonometry(TOperatoren& ops) {
    Fn(ops, u"sin", 1, Sin);
    Fn(ops, u"cos", 1, Cos);
    Fn(ops, u"tan", 1, Tan, ErrTan);
    Fn(ops, u"asin", 1, Asin, ErrUnitRange);
    Fn(ops, u"acos", 1, Acos, ErrUnitRange);
    Fn(ops, u"atan", 1, Atan);
    Fn(ops, u"radtodeg", 1, RadToDeg);
    Fn(ops, u"degtorad", 1, DegToRad);
}

void AddTrigonometryDeg(TOperatoren& ops) {
    Fn(ops, u"sind", 1, Sind);
    Fn(ops, u"cosd", 1, Cosd);
    Fn(ops, u"tand", 1, Tand, ErrTand);
    Fn(ops, u"asind", 1, Asind, ErrUnitRange);
    Fn(ops, u"acosd", 1, Acosd, ErrUnitRange);
    Fn(ops, u"atand", 1, Atand);
}

void AddLogarithm(TOperatoren& ops) {
    Fn(ops, u"ln", 1, Ln, ErrNotPositive);
    Fn(ops, u"lnxp1", 1, Lnxp1, ErrLnxp1);
    Fn(ops, u"ldexp", 2, Ldexp);
    Fn(ops, u"log10", 1, Log10, ErrNotPositive);
    Fn(ops, u"logn", 2, Logn, ErrLogn);
    Fn(ops, u"exp", 1, Exp);
}

}  // namespace fr::evaluator
