#pragma once
// Late binding, both ways.
//  - AutomationObject: any object the driver calls by name (the equipment manager, the universal
//    driver). Over IDispatch (module/) or over a portable DispatchTarget (natively).
//  - DispatchTarget: the portable side of IDispatch that our own objects (the driver object, the
//    emulator) implement; module/ wraps one in a real COM object.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "automation/HResult.h"
#include "automation/Variant.h"

namespace fr {

// One argument of a late-bound call; a by-reference argument carries the callee's value back.
struct Arg {
    Variant value;
    bool byRef = false;
    Arg(Variant v, bool ref = false) : value(std::move(v)), byRef(ref) {}
};

// Subclasses that override call() add `using AutomationObject::call;` to keep the short forms.
class AutomationObject {
public:
    virtual ~AutomationObject() = default;
    // Calls a method (or reads a property) by name. Raises EOleError when the object does not
    // answer the name or the call fails.
    virtual Variant call(const std::u16string& name, std::vector<Arg>& args) = 0;
    // Writes a property by name.
    virtual void setProperty(const std::u16string& name, const Variant& value);

    Variant call(const std::u16string& name) {
        std::vector<Arg> none;
        return call(name, none);
    }
    Variant callWith(const std::u16string& name, std::initializer_list<Variant> byValue);
};

// What the host's EXCEPINFO receives when a call raises.
struct ExcepInfo {
    int32_t scode = 0;
    std::u16string source;
    std::u16string description;
    bool filled = false;
};

// The arguments of one call, left where the caller keeps them (the host's VARIANTs, say): a target
// converts only the arguments it reads and writes back only those it changed.
class CallArgs {
public:
    virtual size_t size() const = 0;
    // The i-th argument (first argument first), references followed, 16-bit integers widened;
    // Empty past the last one.
    virtual Variant get(size_t i) const = 0;
    // Gives a by-reference argument the value, which is the callee's to take; an argument passed by
    // value is left as it came, and past the last one nothing happens. Raises EError when the
    // caller's reference cannot take the value.
    virtual void put(size_t i, Variant&& value) = 0;
    // Every argument as get() gives it, in a vector the caller keeps (and reuses between calls).
    virtual std::vector<Variant>& all() = 0;
    // Puts back each value of what all() gave, after the call changed them in place.
    virtual void putAll(std::vector<Variant>& values);

protected:
    ~CallArgs() = default;
};

class DispatchTarget {
public:
    virtual ~DispatchTarget() = default;
    // DISPID of a name, or an error HRESULT (with dispid -1).
    virtual HResult getIDsOfNames(const std::u16string& name, int32_t& dispid) = 0;
    // args[i] is the host's i-th argument (first argument first), references already resolved.
    // By-reference arguments are written back by the caller from args after S_OK.
    virtual HResult invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args, Variant& result,
                           ExcepInfo& excep) = 0;
    // How callers call: the arguments where the caller keeps them. By default every argument is
    // converted, invoke() runs over them, and after S_OK each is put back; a target overrides it
    // to read and write only what a call uses.
    virtual HResult invokeArgs(int32_t dispid, uint16_t flags, CallArgs& args, Variant& result, ExcepInfo& excep);
};

// An AutomationObject over a DispatchTarget: how native code (and tests) call our own objects
// exactly as a host does. DISPIDs are cached per name.
class DispatchObject : public AutomationObject {
public:
    explicit DispatchObject(std::shared_ptr<DispatchTarget> target);
    using AutomationObject::call;
    Variant call(const std::u16string& name, std::vector<Arg>& args) override;
    void setProperty(const std::u16string& name, const Variant& value) override;
    const std::shared_ptr<DispatchTarget>& target() const { return FTarget; }

private:
    int32_t dispidOf(const std::u16string& name);
    std::shared_ptr<DispatchTarget> FTarget;
    std::vector<std::pair<std::u16string, int32_t>> FCache;
};

// Creates an automation object by ProgID. Lookup order: the test hook, the in-process registry
// (where the emulator registers itself natively), then the system factory (Windows: COM,
// installed by module/). Raises EOleError when none can create it.
using OleFactory = std::function<std::shared_ptr<AutomationObject>(const std::u16string& progId)>;
std::shared_ptr<AutomationObject> CreateOleObject(const std::u16string& progId);
void registerInProcessClass(const std::u16string& progId, OleFactory factory);
void setSystemOleFactory(OleFactory factory);

// Tests install their own factory for the life of this object.
class ScopedOleFactoryHook {
public:
    explicit ScopedOleFactoryHook(OleFactory hook);
    ~ScopedOleFactoryHook();
    ScopedOleFactoryHook(const ScopedOleFactoryHook&) = delete;
    ScopedOleFactoryHook& operator=(const ScopedOleFactoryHook&) = delete;

private:
    OleFactory FPrevious;
};

}  // namespace fr
