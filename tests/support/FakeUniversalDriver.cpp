#include "FakeUniversalDriver.h"

#include "automation/Errors.h"
#include "automation/FormatSettings.h"
#include "automation/Text.h"

namespace fr::test {

namespace {
bool isErrorStateRead(const std::u16string& name) {
    return name == u"LastError" || name == u"LastErrorText" || name == u"LastErrorExText";
}
}  // namespace

Variant FakeUniversalDriver::call(const std::u16string& name, std::vector<Arg>& args) {
    RecordedCall c{name, {}, {}};
    for (const auto& a : args) {
        c.args.push_back(a.value);
        c.byRef.push_back(a.byRef);
    }
    calls.push_back(std::move(c));
    const int n = ++FCount[name];
    if (onCall) onCall(calls.back());
    if (auto r = raises.find(name); r != raises.end()) throw EOleError(r->second);
    if (auto r = raisesAt.find({name, n}); r != raisesAt.end()) throw EOleError(r->second);
    if (name == u"LastError") return Variant(FState.code);
    if (name == u"LastErrorText") return Variant(FState.text);
    if (name == u"LastErrorExText") return Variant(FState.exText);
    auto e = errors.find(name);
    FState = e == errors.end() ? ErrorState{} : e->second;
    if (auto at = errorsAt.find({name, n}); at != errorsAt.end()) FState = at->second;
    auto v = values.find(name);
    return v == values.end() ? Variant() : v->second;
}

std::vector<std::string> FakeUniversalDriver::sequence() const {
    const TFormatSettings fs = TFormatSettings::invariant();
    std::vector<std::string> out;
    for (const auto& c : calls) {
        if (isErrorStateRead(c.name)) continue;
        std::string s = u8(c.name) + "(";
        for (size_t i = 0; i < c.args.size(); ++i) {
            if (i) s += ",";
            if (c.byRef[i]) s += "&";
            s += c.args[i].isArray() ? std::string("[]") : u8(c.args[i].toText(fs));
        }
        out.push_back(s + ")");
    }
    return out;
}

std::vector<RecordedCall> FakeUniversalDriver::callsOf(const std::u16string& name) const {
    std::vector<RecordedCall> out;
    for (const auto& c : calls)
        if (c.name == name) out.push_back(c);
    return out;
}

}  // namespace fr::test
