#include "templates/uTemplateLibExpr.h"

#include <memory>

#include "evaluator/NewMathParser.h"

namespace fr::templates {

bool EvaluateFieldExpression(const std::u16string& expression, const TFormatSettings& fs, double& value) {
    // Building an evaluator's operator table costs more than parsing a short expression, so one
    // evaluator per thread serves every field. Setting a new text parses it afresh; setting the
    // same text again yields the very value and error a new evaluator would.
    thread_local std::unique_ptr<evaluator::TMathParser> parser;
    if (!parser || parser->DecimalSeparator() != fs.DecimalSeparator)
        parser = std::make_unique<evaluator::TMathParser>(fs.DecimalSeparator);
    parser->SetExpression(expression);
    if (parser->Error().IsSet()) return false;
    value = parser->ParserResult();
    if (parser->Error().IsSet()) value = 0;
    return true;
}

}  // namespace fr::templates
