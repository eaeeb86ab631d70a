#include "evaluator/NewMathParser.h"

#include "evaluator/Operations.h"
#include "evaluator/SavedForm.h"

namespace fr::evaluator {

TMathParser::TMathParser(char16_t decimalSeparator)
    : FCalculator(FVariables, FError, FOperations),
      FValidate(FMainStack, FError, FOperations),
      FParser(FError, FOperations),
      FPriority(FMainStack, FError, FOperations) {
    AddOperatoren(FOperations);
    AddMath(FOperations);
    AddTrigonometry(FOperations);
    AddTrigonometryDeg(FOperations);
    AddLogarithm(FOperations);
    FParser.SetDecimalSeparator(decimalSeparator);
}

void TMathParser::SetExpression(std::u16string_view text) {
    if (text == FExpression) return;
    FResult = 0;
    FExpression = text;
    FError.Reset();
    FIsToCalc = true;
    // The empty text leaves no tokens: its value is 0 without error.
    FMainStack.Clear();
    FHasVariables = false;
    if (!FExpression.empty()) Parse();
}

void TMathParser::Parse() {
    FMainStack.Assign(FParser.ExpressionToStack(FExpression));
    FValidate.Prozess();
    FPriority.Prozess();
    FHasVariables = FMainStack.Contains(tsVariable);
    RaiseError();
}

void TMathParser::RaiseError() {
    if (FError.IsSet() && FOnError) FOnError(*this, FError);
}

void TMathParser::Compute() {
    // No text, no tokens: 0 without error (an empty list from "()" is an error, though).
    FResult = FExpression.empty() ? 0.0 : FCalculator.calcResult(FMainStack);
    RaiseError();
    FIsToCalc = false;
}

void TMathParser::SaveToStream(std::string& stream) const {
    stream += WriteSavedForm(FExpression, FError.FCode, FMainStack.All());
}

bool TMathParser::LoadFromStream(std::string_view stream) {
    TSavedForm form;
    if (!ReadSavedForm(stream, form)) return false;
    if (form.Expression != FExpression) {
        FExpression = std::move(form.Expression);
        FResult = 0;
        FIsToCalc = true;
        // The saved form has no position, and the old one belongs to another text.
        FError.FPosition = -1;
    }
    FError.FCode = form.ErrorCode;
    FMainStack.Assign(std::move(form.Tokens));
    FHasVariables = FMainStack.Contains(tsVariable);
    return true;
}

}  // namespace fr::evaluator
