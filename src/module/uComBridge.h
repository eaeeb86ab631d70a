#pragma once
// The COM side of our automation objects (library fr_combridge). A module exposes a portable
// fr::DispatchTarget to COM hosts in three steps:
//
//   static const fr::com::ComClassInfo kClass{L"Vendor.Class", CLSID_..., L"Description", makeTarget};
//   STDAPI DllGetClassObject(REFCLSID c, REFIID i, void** p) { return fr::com::serverGetClassObject(kClass, c, i, p); }
//   STDAPI DllCanUnloadNow() { return fr::com::serverCanUnloadNow(); }
//   STDAPI DllRegisterServer() { return fr::com::serverRegister(kClass); }
//   STDAPI DllUnregisterServer() { return fr::com::serverUnregister(kClass); }
//
// and exports those four through a .def file (fr_add_com_module in this folder's CMakeLists.txt).
// Every create request calls the factory for a new target and wraps it in a new IDispatch.
//
// The other direction (calling COM objects from the core) is fr::AutomationObject: VARIANTs that
// hold an IDispatch arrive as ComAutomationObject, and fr::CreateOleObject creates COM classes by
// ProgID once installSystemOleFactory() has run (serverGetClassObject does it on first use).
#include <objbase.h>
#include <oaidl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "automation/AutomationObject.h"
#include "automation/Variant.h"
#include "module/uComPtr.h"

namespace fr::com {

// ---- VARIANT <-> Variant ----

namespace detail {
// Every kind the two below do not map themselves; out of line, so that those kinds are mapped in
// the caller's frame.
Variant fromVariantGeneral(const VARIANT& v);
void toVariantGeneral(const Variant& v, VARIANT& out);
}  // namespace detail

// A copy of a host VARIANT. References are followed to the value they name (a VARIANT referring
// to a VARIANT to the end of the chain); SAFEARRAYs keep their dimensions, lower bounds and
// element type; an IDispatch becomes a ComAutomationObject. Raises EVariantError for a type the
// core has no stand-in for (records, raw pointers).
inline Variant fromVariant(const VARIANT& v) {
    // What every call carries (nothing, a 32-bit integer, a Boolean, a real), by value or behind one
    // reference: the same values as the general path gives.
    const VARIANT* direct = V_VT(&v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&v) ? V_VARIANTREF(&v) : &v;
    switch (V_VT(direct)) {
        case VT_EMPTY: return Variant();
        case VT_I4: return Variant(static_cast<int32_t>(V_I4(direct)));
        case VT_BOOL: return Variant(V_BOOL(direct) != VARIANT_FALSE);
        case VT_R8: return Variant(V_R8(direct));
        default: return detail::fromVariantGeneral(v);
    }
}

// Fills `out`, which must hold nothing (VariantInit or VariantClear first); the caller owns the
// result. A ComAutomationObject gives back the very IDispatch it wraps; any other
// AutomationObject is exposed through a new bridge object.
inline void toVariant(const Variant& v, VARIANT& out) {
    // What every call returns: the same VARIANTs as the general path makes.
    if (!v.isArray()) {
        switch (v.type()) {
            case VarType::Empty: V_VT(&out) = VT_EMPTY; return;
            case VarType::I4:
                V_I4(&out) = static_cast<LONG>(v.rawInt());
                V_VT(&out) = VT_I4;
                return;
            case VarType::Bool:
                V_BOOL(&out) = v.rawBool() ? VARIANT_TRUE : VARIANT_FALSE;
                V_VT(&out) = VT_BOOL;
                return;
            case VarType::R8:
                V_R8(&out) = v.rawReal();
                V_VT(&out) = VT_R8;
                return;
            default: break;
        }
    }
    detail::toVariantGeneral(v, out);
}

// Owns one VARIANT for its lifetime.
class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&FV); }
    explicit ScopedVariant(const Variant& v) : ScopedVariant() { toVariant(v, FV); }
    ~ScopedVariant() { VariantClear(&FV); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    VARIANT* get() { return &FV; }
    VARIANT& operator*() { return FV; }

private:
    VARIANT FV;
};

// ---- calling COM objects ----

// An AutomationObject over an IDispatch: DISPIDs cached per name; calls made with
// DISPATCH_METHOD | DISPATCH_PROPERTYGET; by-reference Args passed as VT_BYREF | VT_VARIANT and
// copied back. Names a plain GetIDsOfNames does not know are asked of IDispatchEx::GetDispID
// case-insensitively (script class instances answer only that). Failures raise EOleError with
// the callee's EXCEPINFO description when it gave one.
class ComAutomationObject : public AutomationObject {
public:
    // Holds its own reference. An IUnknown without IDispatch is kept, but cannot be called.
    explicit ComAutomationObject(IUnknown* object);
    using AutomationObject::call;
    Variant call(const std::u16string& name, std::vector<Arg>& args) override;
    void setProperty(const std::u16string& name, const Variant& value) override;

    IDispatch* dispatch() const { return FDispatch.get(); }  // may be null
    IUnknown* unknown() const { return FUnknown.get(); }

private:
    struct Member {
        std::u16string name;
        DISPID id;
        bool viaEx;  // found through IDispatchEx: call through InvokeEx as well
    };
    const Member& member(const std::u16string& name);
    ComPtr<IUnknown> FUnknown;
    ComPtr<IDispatch> FDispatch;
    std::vector<Member> FMembers;
};

// Lets fr::CreateOleObject create registered COM classes (CLSIDFromProgID, CoCreateInstance).
// Idempotent. The calling thread must have initialised COM.
void installSystemOleFactory();

// ---- exposing DispatchTargets ----

// A new COM object (IUnknown + IDispatch, one reference for the caller) that forwards to the
// target: the host's arguments are converted in order with references resolved and 16-bit
// integers widened, by-reference arguments are written back after S_OK, EXCEPINFO is filled on
// DISP_E_EXCEPTION, and nothing but an HRESULT ever leaves.
ComPtr<IDispatch> createDispatchBridge(std::shared_ptr<DispatchTarget> target);

using TargetFactory = std::function<std::shared_ptr<DispatchTarget>()>;

// One creatable class of a module.
struct ComClassInfo {
    const wchar_t* progId;       // "Eqdr.FrVornlex"
    CLSID clsid;
    const wchar_t* description;  // default value of the class keys
    TargetFactory factory;       // a new target per create request
};

// The bodies of the four module exports.
HRESULT serverGetClassObject(const ComClassInfo& cls, REFCLSID clsid, REFIID iid, void** out);
HRESULT serverCanUnloadNow();  // S_OK when no bridge or factory object lives and no lock is held
// Writes HKCR\<ProgID>\CLSID, HKCR\CLSID\{...} (description, ProgID, InprocServer32 = this
// module's path with ThreadingModel "Apartment"); removes them again.
HRESULT serverRegister(const ComClassInfo& cls);
HRESULT serverUnregister(const ComClassInfo& cls);

// Live bridge and class-factory objects, and server locks (for tests).
long liveObjectCount();
long serverLockCount();

}  // namespace fr::com
