#include "templates/uTemplateLibExpr.h"

#include <memory>

#include "evaluator/NewMathParser.h"

namespace fr::templates {

namespace {
// Building an evaluator's operator table costs more than parsing a short expression, so one
// evaluator per thread serves every field. An unchanged text is not parsed again, and the
// evaluator's error then still holds whatever the last computation left; so the outcome of the
// parse is kept apart from it.
struct TFieldEvaluator {
    std::unique_ptr<evaluator::TMathParser> parser;
    bool parsed = false;  // the current text passed parsing and checking
};
}  // namespace

bool EvaluateFieldExpression(const std::u16string& expression, const TFormatSettings& fs, double& value) {
    thread_local TFieldEvaluator e;
    if (!e.parser || e.parser->DecimalSeparator() != fs.DecimalSeparator) {
        e.parser = std::make_unique<evaluator::TMathParser>(fs.DecimalSeparator);
        e.parsed = false;
    }
    if (!e.parsed || e.parser->Expression() != expression) {
        // Set through an empty text, so that even the very text that failed before is parsed
        // afresh rather than taken as unchanged.
        e.parser->SetExpression(u"");
        e.parser->SetExpression(expression);
        e.parsed = !e.parser->Error().IsSet();
    }
    if (!e.parsed) return false;
    value = e.parser->ParserResult();
    if (e.parser->Error().IsSet()) value = 0;
    return true;
}

}  // namespace fr::templates
