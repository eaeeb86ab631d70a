#include "replay/ReplayAnswer.h"

#include "replay/LogRebuild.h"

namespace fr::replay {

std::u16string LoggedAnswerText(const LogEvent& e) {
    if (e.ended) return e.result + u" " + e.output;
    if (!e.exception.empty()) return u"EXCEPTION " + e.exception;
    return u"(конец не записан)";
}

bool LoggedError(const LogEvent& e, int32_t& code, std::u16string& text) {
    if (!e.ended || e.result != u"False") return false;
    LogRebuild r = RebuildLogValue(e.output, {}, processFormatSettings());
    if (!r.value || !r.value->isArray() || r.value->array().size() < 1) return false;
    const Variant& c = r.value->array().items()[0];
    if (c.type() != VarType::I4) return false;
    code = c.toInt();
    if (r.value->array().size() > 1 && r.value->array().items()[1].isText()) text = r.value->array().items()[1].toText();
    return true;
}

bool SameAnswer(const LogEvent& e, const ReplayAnswer& a) {
    if (!e.ended) return a.raised;
    if (a.raised) return false;
    if ((e.result == u"True") != a.value) return false;
    if (a.value) return true;
    int32_t code = 0;
    std::u16string text;
    if (!LoggedError(e, code, text)) return false;
    if (!a.out.isArray() || a.out.array().size() == 0) return false;
    const Variant& replayed = a.out.array().items()[0];
    return replayed.type() == VarType::I4 && replayed.toInt() == code;
}

}  // namespace fr::replay
