// fr-cli eval "expr" [name=value ...]: evaluates an expression as a template's number field does.
#include <charconv>
#include <cstdio>
#include <string>

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

int Eval(const fr::cli::CliArgs& args) {
    size_t next = 0;
    char16_t ds = u',';
    if (next < args.size() && args[next].rfind("--ds=", 0) == 0) {
        const std::string d = args[next++].substr(5);
        if (d != "." && d != ",") {
            std::fprintf(stderr, "fr-cli eval: --ds must be \".\" or \",\"\n");
            return 2;
        }
        ds = d == "." ? u'.' : u',';
    }
    if (next >= args.size()) {
        std::fprintf(stderr, "usage: fr-cli eval [--ds=.|,] \"expression\" [name=value ...]\n");
        return 2;
    }
    TMathParser parser(ds);
    const std::string expression = args[next++];
    for (; next < args.size(); ++next) {
        const std::string& a = args[next];
        const auto eq = a.find('=');
        double value = 0;
        if (eq == std::string::npos || eq == 0 || !ParseNumber(a.substr(eq + 1), value)) {
            std::fprintf(stderr, "fr-cli eval: expected name=number, got \"%s\"\n", a.c_str());
            return 2;
        }
        parser.Variables().Add(FromUtf8Lenient(a.substr(0, eq)), value);
    }
    parser.SetExpression(FromUtf8Lenient(expression));
    const double result = parser.ParserResult();
    std::printf("%.15g\n", result);
    const TError& e = parser.Error();
    if (e.FCode == 0) return 0;
    std::printf("error %d \"%s\" at position %d\n", static_cast<int>(e.FCode), ToUtf8(ErrorCodeText(e.FCode)).c_str(),
                static_cast<int>(e.FPosition));
    return 1;
}

const fr::cli::CliCommandRegistration registration(
    "eval", "[--ds=.|,] \"expression\" [name=value ...]  evaluate an expression", Eval);

}  // namespace
