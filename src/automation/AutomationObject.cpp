#include "automation/AutomationObject.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "automation/Errors.h"
#include "automation/Text.h"

namespace fr {

void AutomationObject::setProperty(const std::u16string& name, const Variant&) {
    throw EOleError(u"Свойство \"" + name + u"\" не поддерживается объектом");
}

Variant AutomationObject::callWith(const std::u16string& name, std::initializer_list<Variant> byValue) {
    std::vector<Arg> args;
    for (const auto& v : byValue) args.emplace_back(v);
    return call(name, args);
}

void CallArgs::putAll(std::vector<Variant>& values) {
    const size_t written = std::min(size(), values.size());
    for (size_t i = 0; i < written; ++i) put(i, std::move(values[i]));
}

HResult DispatchTarget::invokeArgs(int32_t dispid, uint16_t flags, CallArgs& args, Variant& result, ExcepInfo& excep) {
    std::vector<Variant>& values = args.all();
    HResult hr = invoke(dispid, flags, values, result, excep);
    if (hr == kS_OK) args.putAll(values);
    return hr;
}

// ---- DispatchObject ----

namespace {
std::u16string hresultText(HResult hr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(hr));
    return utf8ToUtf16(buf);
}
}  // namespace

DispatchObject::DispatchObject(std::shared_ptr<DispatchTarget> target) : FTarget(std::move(target)) {}

int32_t DispatchObject::dispidOf(const std::u16string& name) {
    for (const auto& [n, id] : FCache)
        if (n == name) return id;
    int32_t id = -1;
    HResult hr = FTarget->getIDsOfNames(name, id);
    if (hr != kS_OK) throw EOleError(u"Неизвестное имя \"" + name + u"\" (0x" + hresultText(hr) + u")");
    FCache.emplace_back(name, id);
    return id;
}

namespace {
// A native caller's arguments as a target reads them: by-reference ones take what the target puts.
class ArgList final : public CallArgs {
public:
    explicit ArgList(std::vector<Arg>& args) : FArgs(args) {}
    size_t size() const override { return FArgs.size(); }
    Variant get(size_t i) const override { return i < FArgs.size() ? FArgs[i].value : Variant(); }
    void put(size_t i, Variant&& value) override {
        if (i < FArgs.size() && FArgs[i].byRef) FArgs[i].value = std::move(value);
    }
    std::vector<Variant>& all() override {
        FValues.clear();
        FValues.reserve(FArgs.size());
        for (const auto& a : FArgs) FValues.push_back(a.value);
        return FValues;
    }

private:
    std::vector<Arg>& FArgs;
    std::vector<Variant> FValues;
};
}  // namespace

Variant DispatchObject::call(const std::u16string& name, std::vector<Arg>& args) {
    int32_t id = dispidOf(name);
    ArgList list(args);
    Variant result;
    ExcepInfo excep;
    HResult hr = FTarget->invokeArgs(id, kDISPATCH_METHOD | kDISPATCH_PROPERTYGET, list, result, excep);
    if (hr != kS_OK) {
        if (excep.filled && !excep.description.empty()) throw EOleError(excep.description);
        throw EOleError(u"Ошибка вызова \"" + name + u"\" (0x" + hresultText(hr) + u")");
    }
    return result;
}

void DispatchObject::setProperty(const std::u16string& name, const Variant& value) {
    int32_t id = dispidOf(name);
    std::vector<Variant> values{value};
    Variant result;
    ExcepInfo excep;
    HResult hr = FTarget->invoke(id, kDISPATCH_PROPERTYPUT, values, result, excep);
    if (hr != kS_OK) {
        if (excep.filled && !excep.description.empty()) throw EOleError(excep.description);
        throw EOleError(u"Ошибка записи свойства \"" + name + u"\" (0x" + hresultText(hr) + u")");
    }
}

// ---- CreateOleObject ----

namespace {
struct Registry {
    std::mutex lock;
    std::vector<std::pair<std::u16string, OleFactory>> classes;
    OleFactory system;
    OleFactory hook;
};
Registry& registry() {
    static Registry r;
    return r;
}
}  // namespace

void registerInProcessClass(const std::u16string& progId, OleFactory factory) {
    auto& r = registry();
    std::lock_guard g(r.lock);
    for (auto& [id, f] : r.classes)
        if (sameTextAscii(id, progId)) {
            f = std::move(factory);
            return;
        }
    r.classes.emplace_back(progId, std::move(factory));
}

void setSystemOleFactory(OleFactory factory) {
    auto& r = registry();
    std::lock_guard g(r.lock);
    r.system = std::move(factory);
}

std::shared_ptr<AutomationObject> CreateOleObject(const std::u16string& progId) {
    OleFactory chosen;
    {
        auto& r = registry();
        std::lock_guard g(r.lock);
        if (r.hook) chosen = r.hook;
        else {
            for (auto& [id, f] : r.classes)
                if (sameTextAscii(id, progId)) chosen = f;
            if (!chosen) chosen = r.system;
        }
    }
    std::shared_ptr<AutomationObject> obj = chosen ? chosen(progId) : nullptr;
    if (!obj) throw EOleError(u"Недопустимая строка с указанием класса (" + progId + u")");
    return obj;
}

ScopedOleFactoryHook::ScopedOleFactoryHook(OleFactory hook) {
    auto& r = registry();
    std::lock_guard g(r.lock);
    FPrevious = std::move(r.hook);
    r.hook = std::move(hook);
}

ScopedOleFactoryHook::~ScopedOleFactoryHook() {
    auto& r = registry();
    std::lock_guard g(r.lock);
    r.hook = std::move(FPrevious);
}

}  // namespace fr
