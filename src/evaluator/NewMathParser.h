#pragma once
// TMathParser: evaluates one arithmetic expression, such as the "EXPR" entry of a number field.
//
//   TMathParser p;                      // decimal separator "," unless given
//   p.Variables().Add(u"x", 2.5);
//   p.SetExpression(u"roundto(x * 1.2; -2)");
//   double v = p.ParserResult();        // 0 when there is an error
//   if (p.Error().FCode != 0) ... ErrorCodeText(p.Error().FCode), p.Error().FPosition
//
// Text is UTF-16 (std::u16string), as the host's strings are; error positions are 1-based and
// count UTF-16 code units of the expression as written. The evaluator never throws for errors in
// an expression: it records a code and a position, and keeps them ("sticky") until the expression
// text changes. Results are always finite: what would be an infinity or NaN is error 100.
// One object per expression; not for use by two threads at once.
#include <functional>
#include <string>
#include <string_view>

#include "evaluator/Calculator.h"
#include "evaluator/MathError.h"
#include "evaluator/Operator.h"
#include "evaluator/ParserItem.h"
#include "evaluator/Parser.h"
#include "evaluator/Priority.h"
#include "evaluator/Validate.h"
#include "evaluator/Variables.h"

namespace fr::evaluator {

class TMathParser {
public:
    using TNotifyError = std::function<void(TMathParser& sender, const TError& error)>;

    // `decimalSeparator`: the process's decimal separator (see TParser::SetDecimalSeparator).
    explicit TMathParser(char16_t decimalSeparator = u',');
    TMathParser(const TMathParser&) = delete;
    TMathParser& operator=(const TMathParser&) = delete;

    const std::u16string& Expression() const { return FExpression; }
    // Parses and checks a changed text; an identical text (case-sensitive) changes nothing.
    void SetExpression(std::u16string_view text);
    // The value; recomputed when the text changed or the expression uses variables.
    double ParserResult() {
        if (FIsToCalc || FHasVariables) Compute();
        return FResult;
    }

    // Variables can be read and written here; the table itself cannot be replaced.
    TVariables& Variables() { return FVariables; }
    const TVariables& Variables() const { return FVariables; }

    const TError& Error() const { return FError; }
    const TError& GetLastError() const { return FError; }
    // Called after each parse and each computation that ends with an error.
    void SetOnError(TNotifyError handler) { FOnError = std::move(handler); }
    const TNotifyError& OnError() const { return FOnError; }

    // Affect expressions set afterwards, and the evaluation of ones already parsed.
    bool AddCustomOperation(std::u16string_view name, int32_t arguments, uint8_t priority) {
        return FOperations.AddCustomOperation(name, arguments, priority);
    }
    bool RenameOperation(std::u16string_view currentName, std::u16string_view newName) {
        return FOperations.RenameOperation(currentName, newName);
    }
    const TOperatoren& Operations() const { return FOperations; }

    char16_t DecimalSeparator() const { return FParser.DecimalSeparator(); }
    // For expressions set afterwards.
    void SetDecimalSeparator(char16_t ds) { FParser.SetDecimalSeparator(ds); }

    // The token list in postfix order (written order after a parse error).
    const TParserStack& Tokens() const { return FMainStack; }

    // The stream is a byte buffer, not an iostream (which would bring the library's locale
    // machinery into the driver module): the saved form is appended at its end.
    void SaveToStream(std::string& stream) const;
    // Reads from position 0 and takes the saved tokens and error code as they are, without
    // parsing. Returns false and changes nothing when the stream is not a whole saved form.
    bool LoadFromStream(std::string_view stream);

private:
    void Parse();
    void Compute();
    void RaiseError();

    // Declared before the stages, which hold references to them.
    TOperatoren FOperations;
    TVariables FVariables;
    TError FError;
    TParserStack FMainStack;
    std::u16string FExpression;
    double FResult = 0;
    bool FIsToCalc = false;
    bool FHasVariables = false;
    TNotifyError FOnError;
    TCalculator FCalculator;
    TValidate FValidate;
    TParser FParser;
    TPriority FPriority;
};

}  // namespace fr::evaluator
