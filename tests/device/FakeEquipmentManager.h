#pragma once
// A scripted equipment manager: answers GetAppProperty from a map and records every call.
#include <map>
#include <string>
#include <vector>

#include "automation/AutomationObject.h"

namespace fr::test {

class FakeEquipmentManager : public AutomationObject {
public:
    std::map<std::u16string, std::u16string> properties;
    std::vector<std::u16string> calls;  // "Name(arg0,arg1,...)" as text
    bool answer = true;

    using AutomationObject::call;
    Variant call(const std::u16string& name, std::vector<Arg>& args) override;
};

}  // namespace fr::test
