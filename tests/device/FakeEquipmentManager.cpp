#include "FakeEquipmentManager.h"

#include "automation/Errors.h"

namespace fr::test {

Variant FakeEquipmentManager::call(const std::u16string& name, std::vector<Arg>& args) {
    std::u16string text = name + u"(";
    for (size_t i = 0; i < args.size(); ++i) {
        if (i) text += u",";
        text += args[i].value.isArray() ? u"[]" : args[i].value.toText();
    }
    calls.push_back(text + u")");
    if (name == u"GetAppProperty") {
        if (args.size() != 3 || !args[2].byRef) throw EOleError(u"bad GetAppProperty call");
        auto it = properties.find(args[1].value.toText());
        if (it == properties.end()) return Variant(false);
        args[2].value = Variant(it->second);
        return Variant(true);
    }
    if (name == u"MessageDlg") return Variant(6);
    if (name == u"InputDataDlg") return Variant(u"введено");
    return Variant(answer);
}

}  // namespace fr::test
