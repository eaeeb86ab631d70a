// Calling COM objects from the core: ComAutomationObject and the system factory of
// fr::CreateOleObject; and the COM face of core objects handed to COM (dispatchOf).
#include <dispex.h>

#include <cstdio>
#include <mutex>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "module/uComBridge.h"
#include "module/uComInternal.h"

namespace fr::com {

std::u16string hresultText(HRESULT hr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
    return u16(buf);
}

namespace {

class Bstr {
public:
    explicit Bstr(const std::u16string& s) : FB(allocBstr(s)) {}
    ~Bstr() { SysFreeString(FB); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return FB; }

private:
    BSTR FB;
};

// The VARIANTs of one call; cleared whatever happens.
struct CallVariants {
    explicit CallVariants(size_t n) : values(n), slots(n) {
        for (auto& v : values) VariantInit(&v);
        for (auto& v : slots) VariantInit(&v);
    }
    ~CallVariants() {
        for (auto& v : slots) VariantClear(&v);  // by-reference slots own nothing
        for (auto& v : values) VariantClear(&v);
    }
    CallVariants(const CallVariants&) = delete;
    CallVariants& operator=(const CallVariants&) = delete;
    std::vector<VARIANT> values;  // what by-reference slots point at
    std::vector<VARIANT> slots;   // DISPPARAMS order: last argument first
};

struct ScopedExcepInfo {
    EXCEPINFO ei{};
    ~ScopedExcepInfo() {
        SysFreeString(ei.bstrSource);
        SysFreeString(ei.bstrDescription);
        SysFreeString(ei.bstrHelpFile);
    }
    std::u16string description() {
        if (ei.pfnDeferredFillIn) {
            ei.pfnDeferredFillIn(&ei);
            ei.pfnDeferredFillIn = nullptr;
        }
        return bstrToText(ei.bstrDescription);
    }
};

[[noreturn]] void callFailed(const std::u16string& what, const std::u16string& name, HRESULT hr,
                             ScopedExcepInfo& excep) {
    if (hr == DISP_E_EXCEPTION) {
        std::u16string d = excep.description();
        if (!d.empty()) throw EOleError(d);
    }
    throw EOleError(what + u" \"" + name + u"\" (" + hresultText(hr) + u")");
}

// Any other core object seen through IDispatch: names get DISPIDs in the order they are asked.
class AutomationObjectTarget : public DispatchTarget {
public:
    explicit AutomationObjectTarget(std::shared_ptr<AutomationObject> obj) : FObject(std::move(obj)) {}

    HResult getIDsOfNames(const std::u16string& name, int32_t& dispid) override {
        for (size_t i = 0; i < FNames.size(); ++i)
            if (sameTextAscii(FNames[i], name)) {
                dispid = static_cast<int32_t>(i);
                return kS_OK;
            }
        FNames.push_back(name);
        dispid = static_cast<int32_t>(FNames.size() - 1);
        return kS_OK;
    }

    HResult invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args, Variant& result,
                   ExcepInfo&) override {
        if (dispid < 0 || static_cast<size_t>(dispid) >= FNames.size()) return kE_FAIL;
        const std::u16string& name = FNames[static_cast<size_t>(dispid)];
        if (flags & (kDISPATCH_PROPERTYPUT | kDISPATCH_PROPERTYPUTREF)) {
            if (args.empty()) return kDISP_E_BADPARAMCOUNT;
            FObject->setProperty(name, args.back());
            return kS_OK;
        }
        std::vector<Arg> call;
        for (auto& a : args) call.emplace_back(a, true);
        result = FObject->call(name, call);  // errors reach the host through the bridge's guard
        for (size_t i = 0; i < args.size(); ++i) args[i] = std::move(call[i].value);
        return kS_OK;
    }

private:
    std::shared_ptr<AutomationObject> FObject;
    std::vector<std::u16string> FNames;
};

}  // namespace

ComAutomationObject::ComAutomationObject(IUnknown* object) : FUnknown(ComPtr<IUnknown>::share(object)) {
    FDispatch = FUnknown.query<IDispatch>(IID_IDispatch);
}

const ComAutomationObject::Member& ComAutomationObject::member(const std::u16string& name) {
    for (const auto& m : FMembers)
        if (m.name == name) return m;
    if (!FDispatch) throw EOleError(u"Объект не поддерживает вызов \"" + name + u"\"");
    std::u16string buf = name;
    LPOLESTR names[1] = {reinterpret_cast<LPOLESTR>(buf.data())};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = FDispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    bool viaEx = false;
    if (FAILED(hr)) {
        if (auto ex = FDispatch.query<IDispatchEx>(__uuidof(IDispatchEx))) {
            Bstr b(name);
            DISPID exId = DISPID_UNKNOWN;
            HRESULT hrEx = ex->GetDispID(b.get(), fdexNameCaseInsensitive, &exId);
            if (SUCCEEDED(hrEx)) {
                hr = hrEx;
                id = exId;
                viaEx = true;
            }
        }
    }
    if (FAILED(hr)) throw EOleError(u"Неизвестное имя \"" + name + u"\" (" + hresultText(hr) + u")");
    FMembers.push_back({name, id, viaEx});
    return FMembers.back();
}

Variant ComAutomationObject::call(const std::u16string& name, std::vector<Arg>& args) {
    const Member m = member(name);
    const size_t n = args.size();
    CallVariants cv(n);
    for (size_t i = 0; i < n; ++i) {
        VARIANT& slot = cv.slots[n - 1 - i];
        if (args[i].byRef) {
            toVariant(args[i].value, cv.values[i]);
            V_VT(&slot) = VT_BYREF | VT_VARIANT;
            V_VARIANTREF(&slot) = &cv.values[i];
        } else {
            toVariant(args[i].value, slot);
        }
    }
    DISPPARAMS dp{n ? cv.slots.data() : nullptr, nullptr, static_cast<UINT>(n), 0};
    ScopedVariant result;
    ScopedExcepInfo excep;
    const WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    HRESULT hr;
    if (m.viaEx) {
        auto ex = FDispatch.query<IDispatchEx>(__uuidof(IDispatchEx));
        hr = ex ? ex->InvokeEx(m.id, LOCALE_USER_DEFAULT, flags, &dp, result.get(), &excep.ei, nullptr)
                : E_NOINTERFACE;
    } else {
        UINT argErr = 0;
        hr = FDispatch->Invoke(m.id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, result.get(), &excep.ei, &argErr);
    }
    if (FAILED(hr)) callFailed(u"Ошибка вызова", name, hr, excep);
    for (size_t i = 0; i < n; ++i)
        if (args[i].byRef) args[i].value = fromVariant(cv.values[i]);
    return fromVariant(*result);
}

void ComAutomationObject::setProperty(const std::u16string& name, const Variant& value) {
    const Member m = member(name);
    ScopedVariant arg(value);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS dp{arg.get(), &named, 1, 1};
    ScopedExcepInfo excep;
    HRESULT hr;
    if (m.viaEx) {
        auto ex = FDispatch.query<IDispatchEx>(__uuidof(IDispatchEx));
        hr = ex ? ex->InvokeEx(m.id, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &dp, nullptr, &excep.ei, nullptr)
                : E_NOINTERFACE;
    } else {
        UINT argErr = 0;
        hr = FDispatch->Invoke(m.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &dp, nullptr, &excep.ei,
                               &argErr);
    }
    if (FAILED(hr)) callFailed(u"Ошибка записи свойства", name, hr, excep);
}

ComPtr<IDispatch> dispatchOf(const std::shared_ptr<AutomationObject>& obj) {
    if (!obj) return {};
    if (auto* com = dynamic_cast<ComAutomationObject*>(obj.get())) return ComPtr<IDispatch>::share(com->dispatch());
    if (auto* local = dynamic_cast<DispatchObject*>(obj.get())) return createDispatchBridge(local->target());
    return createDispatchBridge(std::make_shared<AutomationObjectTarget>(obj));
}

ComPtr<IUnknown> unknownOf(const std::shared_ptr<AutomationObject>& obj) {
    if (auto* com = dynamic_cast<ComAutomationObject*>(obj.get())) return ComPtr<IUnknown>::share(com->unknown());
    ComPtr<IDispatch> d = dispatchOf(obj);
    return ComPtr<IUnknown>::attach(d.detach());
}

void installSystemOleFactory() {
    static std::once_flag once;
    std::call_once(once, [] {
        setSystemOleFactory([](const std::u16string& progId) -> std::shared_ptr<AutomationObject> {
            std::u16string buf = progId;
            CLSID clsid;
            HRESULT hr = CLSIDFromProgID(reinterpret_cast<LPCOLESTR>(buf.c_str()), &clsid);
            if (hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG || hr == REGDB_E_READREGDB) return nullptr;
            ComPtr<IDispatch> d;
            if (SUCCEEDED(hr))
                hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                      reinterpret_cast<void**>(d.put()));
            if (FAILED(hr))
                throw EOleError(u"Не удалось создать объект \"" + progId + u"\" (" + hresultText(hr) + u")");
            return std::make_shared<ComAutomationObject>(d.get());
        });
    });
}

}  // namespace fr::com
