#pragma once
// A scripted universal driver: records every call (name, arguments, which were by reference),
// answers programmed values, leaves programmed error states and raises where told.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "automation/AutomationObject.h"

namespace fr::test {

struct RecordedCall {
    std::u16string name;
    std::vector<Variant> args;
    std::vector<bool> byRef;
};

class FakeUniversalDriver : public AutomationObject {
public:
    struct ErrorState {
        int32_t code = 0;
        std::u16string text;
        std::u16string exText;
    };

    std::vector<RecordedCall> calls;                  // error-state reads included
    std::map<std::u16string, Variant> values;         // a method's value; Empty when not given
    std::map<std::u16string, ErrorState> errors;      // the error state a method leaves; 0 when not given
    std::map<std::u16string, std::u16string> raises;  // methods that raise, with the message
    // The same for one call only: the method and the call's number, from 1.
    std::map<std::pair<std::u16string, int>, ErrorState> errorsAt;
    std::map<std::pair<std::u16string, int>, std::u16string> raisesAt;
    // Called with each call before it answers or raises: a test's register acts here (and may
    // raise), so a call can be carried out and its answer still lost.
    std::function<void(const RecordedCall&)> onCall;

    using AutomationObject::call;
    Variant call(const std::u16string& name, std::vector<Arg>& args) override;

    // The calls other than LastError, LastErrorText and LastErrorExText, one text each:
    // "name(arg,&arg)" with by-reference arguments marked by "&".
    std::vector<std::string> sequence() const;
    // The recorded calls of one method.
    std::vector<RecordedCall> callsOf(const std::u16string& name) const;

private:
    ErrorState FState;
    std::map<std::u16string, int> FCount;
};

}  // namespace fr::test
