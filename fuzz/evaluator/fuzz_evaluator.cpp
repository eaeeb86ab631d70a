// Random expressions and random saved forms. The first byte chooses the mode and the settings;
// the rest is the expression (UTF-8) or the saved form. Besides sanitizer reports, it traps when a
// result is not finite, when an error leaves a value other than 0, or when a saved and reloaded
// evaluator computes something else than the original.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "evaluator/EvalText.h"
#include "evaluator/NewMathParser.h"

using namespace fr::evaluator;

namespace {

void Require(bool ok) {
    if (!ok) std::abort();
}

void Setup(TMathParser& p, uint8_t mode) {
    p.Variables().Add(u"x", (mode & 0x08) ? 0.0 : 1.5);
    p.Variables().Add(u"Y", [] { return -2.0; });
    if (mode & 0x10) p.AddCustomOperation(u"fee", (mode & 0x20) ? -1 : 2, 1);
    if (mode & 0x40) p.RenameOperation(u"max", u"largest");
}

// The saved form as a fresh buffer.
std::string Saved(const TMathParser& p) {
    std::string stream;
    p.SaveToStream(stream);
    return stream;
}

double Checked(TMathParser& p) {
    const double v = p.ParserResult();
    Require(std::isfinite(v));
    if (p.Error().FCode != 0) Require(v == 0);
    return v;
}

void RoundTrip(TMathParser& p, uint8_t mode) {
    const double v = Checked(p);
    const std::string saved = Saved(p);
    TMathParser q(p.DecimalSeparator());
    Setup(q, mode);
    Require(q.LoadFromStream(saved));
    Require(q.Expression() == p.Expression());
    Require(Checked(q) == v);
    Require(q.Error().FCode == p.Error().FCode);
}

}  // namespace

// Undefined behaviour must stop the run like a crash, so the input is kept.
extern "C" const char* __ubsan_default_options() { return "halt_on_error=1:print_stacktrace=1"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    TMathParser p((mode & 0x02) ? u',' : u'.');
    Setup(p, mode);
    if (mode & 0x01) {
        if (!p.LoadFromStream(rest)) {
            Require(p.Expression().empty() && p.ParserResult() == 0 && p.Error().FCode == 0);
            return 0;
        }
        RoundTrip(p, mode);
    } else {
        p.SetExpression(FromUtf8Lenient(rest));
        RoundTrip(p, mode);
        // A change of the table after the parse must be honoured, never crash.
        if (mode & 0x04) {
            p.RenameOperation(u"sqrt", u"root");
            p.RenameOperation(u"*", u"times");
            Checked(p);
        }
    }
    return 0;
}
