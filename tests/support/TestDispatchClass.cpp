#include "support/TestDispatchClass.h"

#include "automation/Errors.h"

namespace fr::test {

void TTestDispatchObject::Initialize() {
    TBaseObject::Initialize();
    RegisterPublicMethod(u"FillOut", &TTestDispatchObject::FillOut);
    RegisterPublicMethod(u"Fail3001", &TTestDispatchObject::Fail3001);
    RegisterPublicMethod(u"Fail3001Text", &TTestDispatchObject::Fail3001Text);
    RegisterPublicMethod(u"Raise", &TTestDispatchObject::Raise);
    RegisterPrivateMethod(u"Echo", &TTestDispatchObject::Echo);
    RegisterPrivateMethod(u"RaisePrivate", &TTestDispatchObject::RaisePrivate);
    // A subclass overriding a base method: the second registration wins and keeps the DISPID.
    RegisterPrivateMethod(u"PrintText", [this](std::vector<Variant>&) {
        ++FirstPrintTextCalls;
        return Variant(u"PrintText: первый обработчик");
    });
    RegisterPublicMethod(u"NoOp", &TTestDispatchObject::NoOp);
    RegisterPublicMethod(u"EchoTimeOut", &TTestDispatchObject::EchoTimeOut);
    RegisterPublicMethod(u"PRINTTEXT", &TTestDispatchObject::PrintText);
}

void TTestDispatchObject::InstallExtensionHandler() {
    FOnExtMethod = [](const std::u16string& name, Variant&, Variant& OutData, int32_t, std::u16string&) {
        OutData = Variant(name);
        return name.starts_with(u"Fail") ? 3001 : 0;
    };
}

int32_t TTestDispatchObject::FillOut(Variant&, Variant& OutData, int32_t, std::u16string&) {
    OutData = Variant(VariantArray::vector({Variant(u"Строка"), Variant(42), Variant(true)}));
    return 0;
}

int32_t TTestDispatchObject::Fail3001(Variant&, Variant& OutData, int32_t, std::u16string&) {
    OutData = Variant(VariantArray::vector({Variant(1), Variant(2)}));
    return 3001;
}

int32_t TTestDispatchObject::Fail3001Text(Variant&, Variant& OutData, int32_t, std::u16string& ResultDescription) {
    OutData = Variant(u"будет заменено");
    ResultDescription = kFail3001Text;
    return 3001;
}

int32_t TTestDispatchObject::Raise(Variant&, Variant& OutData, int32_t, std::u16string&) {
    OutData = Variant(u"будет заменено");
    throw EError(kRaiseMessage);
}

Variant TTestDispatchObject::Echo(std::vector<Variant>& Params) {
    if (Params.size() > 1) {
        int64_t doubled = static_cast<int64_t>(Params[1].toInt()) * 2;
        if (doubled < INT32_MIN || doubled > INT32_MAX) throw EError(u"Переполнение при удвоении");
        Params[1] = Variant(static_cast<int32_t>(doubled));
    }
    return Params.empty() ? Variant() : Params[0];
}

Variant TTestDispatchObject::RaisePrivate(std::vector<Variant>&) {
    throw EError(kRaisePrivateMessage, "ETestError");
}

int32_t TTestDispatchObject::PrintText(Variant&, Variant& OutData, int32_t, std::u16string&) {
    OutData = Variant(kPrintTextResult);
    return 0;
}

int32_t TTestDispatchObject::NoOp(Variant&, Variant&, int32_t, std::u16string&) { return 0; }

int32_t TTestDispatchObject::EchoTimeOut(Variant&, Variant& OutData, int32_t TimeOut, std::u16string&) {
    OutData = Variant(TimeOut);
    return 0;
}

}  // namespace fr::test
