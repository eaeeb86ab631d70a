#pragma once
// Tokenising: expression text -> tokens in written order.
#include <string>
#include <vector>

#include "evaluator/MathError.h"
#include "evaluator/Operator.h"
#include "evaluator/ParserItem.h"

namespace fr::evaluator {

class TParser {
public:
    TParser(TError& error, const TOperatoren& operations) : FError(error), FOperations(operations) {}

    // The decimal separator of the user's locale. Both "." and "," are read as it; when it is a
    // comma, a comma ending a number is an argument separator instead.
    void SetDecimalSeparator(char16_t ds) { FDecimalSeparator = ds; }
    char16_t DecimalSeparator() const { return FDecimalSeparator; }

    // Stops at the first error (set in the shared record) and returns the tokens read so far.
    TParserStack::Items ExpressionToStack(const std::u16string& expression);

private:
    void LowerCaseAndRewriteExponents(const std::u16string& expression);
    int32_t Pos(size_t index) const;  // 1-based position in the original text
    void ReadNumber(TParserStack::Items& out);
    void ReadName(TParserStack::Items& out);

    TError& FError;
    const TOperatoren& FOperations;
    char16_t FDecimalSeparator = u',';
    std::u16string FExpression;       // working copy: lower-cased, exponents rewritten
    size_t FParsePosition = 0;        // 0-based index into FExpression
    // Original position of each working character (and one past the end), filled only when an
    // exponent was rewritten: errors point into the text the user wrote.
    std::vector<int32_t> FOrigPos;
    int32_t FOrigLength = 0;
};

}  // namespace fr::evaluator
