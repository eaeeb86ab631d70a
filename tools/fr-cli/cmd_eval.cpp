// fr-cli eval [--ds=.|,] "expr" [name=value ...]: evaluates an expression as a template's number
// field does.
#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "CliCommand.h"
#include "evaluator/EvalText.h"
#include "evaluator/NewMathParser.h"

using namespace fr::evaluator;

namespace {

bool ParseNumber(std::string text, double& value) {
    // Either decimal separator is fine on the command line.
    for (char& c : text)
        if (c == ',') c = '.';
    const char* end = text.data() + text.size();
    const char* begin = text.data();
    if (begin != end && *begin == '+') ++begin;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    return begin != end && ec == std::errc() && ptr == end;
}

struct Options {
    std::string ds;
    std::string expression;
    std::vector<std::string> variables;
};

int Eval(const Options& o) {
    TMathParser parser(o.ds == "." ? u'.' : u',');
    for (const std::string& a : o.variables) {
        const auto eq = a.find('=');
        double value = 0;
        if (eq == std::string::npos || eq == 0 || !ParseNumber(a.substr(eq + 1), value)) {
            std::fprintf(stderr, "fr-cli eval: expected name=number, got \"%s\"\n", a.c_str());
            return 2;
        }
        parser.Variables().Add(FromUtf8Lenient(a.substr(0, eq)), value);
    }
    parser.SetExpression(FromUtf8Lenient(o.expression));
    const double result = parser.ParserResult();
    std::printf("%.15g\n", result);
    const TError& e = parser.Error();
    if (e.FCode == 0) return 0;
    std::printf("error %d \"%s\" at position %d\n", static_cast<int>(e.FCode), ToUtf8(ErrorCodeText(e.FCode)).c_str(),
                static_cast<int>(e.FPosition));
    return 1;
}

fr::cli::CliRun Setup(CLI::App& c) {
    auto o = std::make_shared<Options>();
    fr::cli::addDecimalSeparatorOption(c, o->ds, "the expression's decimal separator (default ,)");
    c.add_option("expression", o->expression, "the expression; after -- when it starts with a minus sign")->required();
    c.add_option("variables", o->variables, "name=value for each variable (either decimal separator)");
    fr::cli::setExamples(c, {"fr-cli eval \"x*y\" x=0,5 y=5", "fr-cli eval --ds=. \"2.5*4\"",
                             "fr-cli eval -- \"-x+1\" x=2"});
    return [o] { return Eval(*o); };
}

const fr::cli::CliCommandRegistration registration("eval", "evaluate an expression as a template's computed field does",
                                                   Setup);

}  // namespace
