// Parse-and-check time and evaluation time of a parsed expression with a changing variable, for
// the evaluator and for muparser on the same expressions; the ratios are printed at the end.
//
// "Parse" is setting a new text and reading the first value: muparser parses lazily at the
// first Eval, so that is the only comparable point.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "evaluator/EvalText.h"
#include "evaluator/NewMathParser.h"

#ifdef FR_HAVE_MUPARSER
#include <muParser.h>
#endif

using namespace fr::evaluator;

namespace {

// Written so both read them alike (";" separates arguments in both).
const std::vector<std::string> kExpressions = {
    "x*x + 2*x - 1",
    "((x*1.21 - 0.5)*100 + 50)/100",
    "(x+1)*(x-1)/(x*x+1) - 3.5*x",
    "sin(x)^2 + cos(x)^2",
    "sqrt(abs(x)) + max(x; 2; 3)*1.5 - min(x; 1)",
    "exp(-x*x/2)/sqrt(2*3.14159265358979) + ln(x+10)*log10(x+100)",
};

void ParseOurs(benchmark::State& state, size_t i) {
    const std::u16string texts[2] = {FromUtf8Lenient(kExpressions[i]), FromUtf8Lenient(kExpressions[i] + " ")};
    TMathParser p(u'.');
    p.Variables().Add(u"x", 0.5);
    size_t n = 0;
    for (auto _ : state) {
        p.SetExpression(texts[n++ & 1]);
        benchmark::DoNotOptimize(p.ParserResult());
    }
    if (p.Error().FCode != 0) state.SkipWithError("expression failed");
}

void EvalOurs(benchmark::State& state, size_t i) {
    TMathParser p(u'.');
    p.Variables().Add(u"x", 0.5);
    TVar& x = p.Variables().Item(u"x");
    p.SetExpression(FromUtf8Lenient(kExpressions[i]));
    double v = 0.5;
    for (auto _ : state) {
        x.SetValue(v += 1e-6);
        benchmark::DoNotOptimize(p.ParserResult());
    }
    if (p.Error().FCode != 0) state.SkipWithError("expression failed");
}

#ifdef FR_HAVE_MUPARSER
void ParseMu(benchmark::State& state, size_t i) {
    const std::string texts[2] = {kExpressions[i], kExpressions[i] + " "};
    double x = 0.5;
    mu::Parser p;
    p.SetArgSep(';');
    p.DefineVar("x", &x);
    size_t n = 0;
    try {
        for (auto _ : state) {
            p.SetExpr(texts[n++ & 1]);
            benchmark::DoNotOptimize(p.Eval());
        }
    } catch (const mu::Parser::exception_type& e) {
        state.SkipWithError(e.GetMsg().c_str());
    }
}

void EvalMu(benchmark::State& state, size_t i) {
    double x = 0.5;
    mu::Parser p;
    p.SetArgSep(';');
    p.DefineVar("x", &x);
    try {
        p.SetExpr(kExpressions[i]);
        p.Eval();
        for (auto _ : state) {
            x += 1e-6;
            benchmark::DoNotOptimize(p.Eval());
        }
    } catch (const mu::Parser::exception_type& e) {
        state.SkipWithError(e.GetMsg().c_str());
    }
}
#endif

// Keeps the time per iteration of every benchmark, by name: the median when repeated.
class TRecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            if (r.run_type == Run::RT_Iteration || r.aggregate_name == "median")
                Times[r.run_name.str()] = r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Times;
};

}  // namespace

int main(int argc, char** argv) {
    for (size_t i = 0; i < kExpressions.size(); ++i) {
        const std::string n = std::to_string(i);
        benchmark::RegisterBenchmark(("parse/ours/" + n).c_str(), ParseOurs, i);
        benchmark::RegisterBenchmark(("eval/ours/" + n).c_str(), EvalOurs, i);
#ifdef FR_HAVE_MUPARSER
        benchmark::RegisterBenchmark(("parse/muparser/" + n).c_str(), ParseMu, i);
        benchmark::RegisterBenchmark(("eval/muparser/" + n).c_str(), EvalMu, i);
#endif
    }
    benchmark::Initialize(&argc, argv);
    TRecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

#ifdef FR_HAVE_MUPARSER
    std::printf("\nours / muparser (aim: parse <= 1.0, eval <= 1.5)\n");
    for (const char* kind : {"parse", "eval"}) {
        double logSum = 0;
        int count = 0;
        for (size_t i = 0; i < kExpressions.size(); ++i) {
            const std::string n = std::to_string(i);
            const auto ours = reporter.Times.find(std::string(kind) + "/ours/" + n);
            const auto mu = reporter.Times.find(std::string(kind) + "/muparser/" + n);
            if (ours == reporter.Times.end() || mu == reporter.Times.end()) continue;
            const double ratio = ours->second / mu->second;
            std::printf("  %-5s %zu  %6.2f  %s\n", kind, i, ratio, kExpressions[i].c_str());
            logSum += std::log(ratio), ++count;
        }
        if (count) std::printf("  %-5s geometric mean %.2f\n", kind, std::exp(logSum / count));
    }
#endif
    return 0;
}
