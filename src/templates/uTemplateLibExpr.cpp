#include "templates/uTemplateLibExpr.h"

#include "evaluator/NewMathParser.h"

namespace fr::templates {

bool EvaluateFieldExpression(const std::u16string& expression, const TFormatSettings& fs, double& value) {
    evaluator::TMathParser parser(fs.DecimalSeparator);
    parser.SetExpression(expression);
    if (parser.Error().IsSet()) return false;
    value = parser.ParserResult();
    if (parser.Error().IsSet()) value = 0;
    return true;
}

}  // namespace fr::templates
