#include "evaluator/Parser.h"

#include <charconv>

#include "evaluator/EvalText.h"
#include <string>

namespace fr::evaluator {

namespace {
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsLatin(char16_t c) { return c >= u'a' && c <= u'z'; }

char16_t LowerChar(char16_t c) {
    // Lower-casing is for every alphabet, but only letters that become Latin ones can change
    // what the tokeniser reads: the Kelvin sign and the dotted capital I.
    if (c == u'\u212A') return u'k';
    if (c == u'\u0130') return u'i';
    return AsciiLower(c);
}
}  // namespace

void TParser::LowerCaseAndRewriteExponents(const std::u16string& expression) {
    FExpression.clear();
    FOrigPos.clear();
    FOrigLength = static_cast<int32_t>(expression.size());
    const size_t n = expression.size();
    auto at = [&](size_t i) { return i < n ? LowerChar(expression[i]) : u'\0'; };
    bool rewritten = false;
    for (size_t i = 0; i < n; ++i) {
        const char16_t c = at(i);
        // "e" between a number (or a closing bracket) and an exponent reads as "*10^".
        if (c == u'e' && !FExpression.empty() && i + 1 < n) {
            const char16_t before = FExpression.back();
            const char16_t next = at(i + 1);
            if ((IsDigit(before) || before == u')' || before == u']') &&
                (IsDigit(next) || ((next == u'+' || next == u'-') && IsDigit(at(i + 2))))) {
                if (!rewritten) {
                    rewritten = true;
                    for (size_t k = 0; k < FExpression.size(); ++k) FOrigPos.push_back(static_cast<int32_t>(k + 1));
                }
                FExpression += u"*10^";
                FOrigPos.insert(FOrigPos.end(), 4, static_cast<int32_t>(i + 1));
                continue;
            }
        }
        FExpression += c;
        if (rewritten) FOrigPos.push_back(static_cast<int32_t>(i + 1));
    }
    if (rewritten) FOrigPos.push_back(FOrigLength + 1);
}

int32_t TParser::Pos(size_t index) const {
    return FOrigPos.empty() ? static_cast<int32_t>(index + 1) : FOrigPos[index];
}

TParserStack::Items TParser::ExpressionToStack(const std::u16string& expression) {
    TParserStack::Items out;
    LowerCaseAndRewriteExponents(expression);
    FParsePosition = 0;
    while (!FError.IsSet() && FParsePosition < FExpression.size()) {
        const char16_t c = FExpression[FParsePosition];
        const int32_t pos = Pos(FParsePosition);
        switch (c) {
            case u' ': ++FParsePosition; break;
            case u'+': case u'-': case u'*': case u'/': case u'^': case u'%':
                out.emplace_back(tsOperator, pos, std::u16string(1, c));
                ++FParsePosition;
                break;
            case u'(': case u'[': case u'{':
                out.emplace_back(tsLeftBracket, pos, u"(");
                ++FParsePosition;
                break;
            case u')': case u']': case u'}':
                out.emplace_back(tsRightBracket, pos, u")");
                ++FParsePosition;
                break;
            case u';':
                out.emplace_back(tsSeparator, pos, u"");
                ++FParsePosition;
                break;
            default:
                if (IsDigit(c) || c == u'.' || c == u',')
                    ReadNumber(out);
                else if (c == u'_' || IsLatin(c))
                    ReadName(out);
                else
                    FError.Set(ecInvalidChar, pos);
        }
    }
    return out;
}

void TParser::ReadNumber(TParserStack::Items& out) {
    // Collected with "." standing for the decimal separator, whichever of "." and "," was written.
    std::string number;
    size_t end = FParsePosition;
    for (; end < FExpression.size(); ++end) {
        const char16_t c = FExpression[end];
        if (IsDigit(c))
            number += char(c);
        else if (c == u'.' || c == u',')
            number += '.';
        else
            break;
    }
    FParsePosition = end;
    if (FDecimalSeparator == u',' && FExpression[end - 1] == u',') {
        // A written comma ending a number separates arguments: "max(1, 2)". It is read again
        // as ";". A written point stays part of the number: "1." is 1.
        --FParsePosition;
        FExpression[FParsePosition] = u';';
        number.pop_back();
        if (number.empty()) return;
    }
    const int32_t pos = Pos(FParsePosition);
    double value = 0;
    bool ok = number.find('.') == number.rfind('.') && number != ".";
    if (ok) {
        const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (ec == std::errc::result_out_of_range && number.find_first_not_of("0") == number.find('.'))
            value = 0, ok = true;  // too small to represent: zero
        else
            ok = ec == std::errc() && ptr == number.data() + number.size();
    }
    if (ok)
        out.emplace_back(value, pos);
    else
        FError.Set(ecInvalidFloat, pos);
}

void TParser::ReadName(TParserStack::Items& out) {
    const size_t start = FParsePosition;
    while (FParsePosition < FExpression.size()) {
        const char16_t c = FExpression[FParsePosition];
        if (!IsDigit(c) && !IsLatin(c) && c != u'_') break;
        ++FParsePosition;
    }
    std::u16string name = FExpression.substr(start, FParsePosition - start);
    // A name of the table is always a function, even one written like an operator ("neg").
    if (const TOperator* op = FOperations.GetOp(name))
        out.emplace_back(tsFunction, Pos(start), op->Name());
    else
        out.emplace_back(tsVariable, Pos(start), std::move(name));
}

}  // namespace fr::evaluator
