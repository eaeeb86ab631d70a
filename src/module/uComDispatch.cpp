// The IDispatch a host sees: forwards to a portable DispatchTarget. Arguments go in host order
// (DISPPARAMS lists them last first), by-reference arguments come back after S_OK, and every
// failure, thrown or returned, leaves as an HRESULT with EXCEPINFO filled where it applies.
#include <atomic>
#include <new>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "module/uComBridge.h"
#include "module/uComInternal.h"

namespace fr::com {

namespace {

constexpr int32_t kErrorScode = 1001;
// A by-reference argument that cannot take the value the method left in it.
const char16_t* const kBadParamsText = u"Ошибка входных параметров команды";
constexpr int kMaxRefDepth = 64;

void fillExcepInfo(EXCEPINFO* ei, int32_t scode, const std::u16string& description, const std::u16string& source) {
    if (!ei) return;
    ei->scode = scode;
    // The host owns these strings from here on; a failed allocation leaves the member null.
    ei->bstrDescription = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(description.data()),
                                            static_cast<UINT>(description.size()));
    ei->bstrSource = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(source.data()),
                                       static_cast<UINT>(source.size()));
}

// Stores a value through a typed reference of the host, converting it to the referenced type.
void storeThroughTypedRef(VARIANT& slot, const Variant& value) {
    VARTYPE base = V_VT(&slot) & ~VT_BYREF;
    VarType convertAs;
    switch (base) {
        case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE:
        case VT_BSTR: case VT_DISPATCH: case VT_BOOL: case VT_UI1:
            convertAs = static_cast<VarType>(base);
            break;
        case VT_INT: convertAs = VarType::I4; break;
        case VT_UINT: convertAs = VarType::UI4; break;
        default: throw EError(kBadParamsText);
    }
    if (!V_BYREF(&slot)) throw EError(kBadParamsText);
    Variant converted;
    try {
        converted = value.convertTo(convertAs);
    } catch (const EError&) {
        throw EError(kBadParamsText);
    }
    if (base == VT_BSTR) {
        BSTR fresh = allocBstr(converted.rawText());
        SysFreeString(*V_BSTRREF(&slot));
        *V_BSTRREF(&slot) = fresh;
    } else if (base == VT_DISPATCH) {
        IDispatch* fresh = dispatchOf(converted.object()).detach();
        if (*V_DISPATCHREF(&slot)) (*V_DISPATCHREF(&slot))->Release();
        *V_DISPATCHREF(&slot) = fresh;
    } else {
        // INT and UINT have the width of I4 and UI4 on every Windows target.
        VARTYPE stored = base == VT_INT ? VARTYPE(VT_I4) : base == VT_UINT ? VARTYPE(VT_UI4) : base;
        writeScalar(stored, V_BYREF(&slot), converted);
    }
}

// Whether a VARIANT of this type owns nothing VariantClear would free. Most calls find a number
// or nothing in OutData: letting go of it needs no call into the system.
bool ownsNothing(VARTYPE vt) {
    switch (vt) {
        case VT_EMPTY: case VT_NULL: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE:
        case VT_ERROR: case VT_BOOL: case VT_DECIMAL: case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4:
        case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
            return true;
        default: return false;
    }
}

// One host argument as the target gets it: references followed, a 16-bit integer widened.
[[gnu::always_inline]] inline Variant hostArgument(const VARIANT& arg) {
    Variant a = fromVariant(arg);
    if (!a.isArray() && a.type() == VarType::I2) a = Variant(static_cast<int32_t>(a.rawInt()));
    return a;
}

// A by-reference argument takes the value the call left; one passed by value is left alone.
void writeBack(VARIANT& hostArg, const Variant& value) {
    VARIANT* slot = &hostArg;
    bool referenced = false;
    for (int depth = 0; V_VT(slot) == (VT_BYREF | VT_VARIANT); ++depth) {
        if (depth == kMaxRefDepth || !V_VARIANTREF(slot)) return;  // nowhere sound to write
        slot = V_VARIANTREF(slot);
        referenced = true;
    }
    if (V_VT(slot) & VT_BYREF) {
        storeThroughTypedRef(*slot, value);
    } else if (referenced && ownsNothing(V_VT(slot))) {
        // Nothing of the old value to free, and toVariant writes only once nothing can fail.
        toVariant(value, *slot);
    } else if (referenced) {
        VARIANT fresh;
        V_VT(&fresh) = VT_EMPTY;
        toVariant(value, fresh);
        VariantClear(slot);
        *slot = fresh;
    }
    // A by-value argument belongs to the caller, who may free what it holds after the call:
    // it is left as it came, so nothing of the caller's is freed twice or leaked.
}

class TComDispatch final : public IDispatch {
public:
    explicit TComDispatch(std::shared_ptr<DispatchTarget> target) : FTarget(std::move(target)) { objectCreated(); }
    ~TComDispatch() { objectDestroyed(); }
    TComDispatch(const TComDispatch&) = delete;
    TComDispatch& operator=(const TComDispatch&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --FRefs;
        if (left == 0) {
            std::unique_ptr<TComDispatch> last(this);  // the last reference frees the object
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!ids || count == 0) return E_INVALIDARG;
        ids[0] = DISPID_UNKNOWN;
        if (!names || !names[0]) return E_INVALIDARG;
        try {
            int32_t id = -1;
            HResult hr = FTarget->getIDsOfNames(reinterpret_cast<const char16_t*>(names[0]), id);
            ids[0] = FAILED(hr) ? DISPID_UNKNOWN : id;
            return hr;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT*) override {
        try {
            return invoke(id, flags, params, result, excep);
        } catch (const EError& e) {
            fillExcepInfo(excep, kErrorScode, e.message(), u16(e.className()));
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (const std::exception& e) {
            fillExcepInfo(excep, kErrorScode, u16(e.what()), u"Exception");
        } catch (...) {
            fillExcepInfo(excep, kErrorScode, u"Неизвестная ошибка", u"Exception");
        }
        return DISP_E_EXCEPTION;
    }

private:
    HRESULT invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep) {
        const UINT n = params ? params->cArgs : 0;
        if (n && !params->rgvarg) return E_INVALIDARG;
        HostArgs args(*this, n ? params->rgvarg : nullptr, n);
        Variant value;
        ExcepInfo info;
        HResult hr = FTarget->invokeArgs(id, flags, args, value, info);
        if (hr == kDISP_E_EXCEPTION) {
            fillExcepInfo(excep, info.scode, info.description, info.source);
            return hr;
        }
        if (hr != kS_OK) return hr;
        if (result) {
            V_VT(result) = VT_EMPTY;  // what VariantInit does, without a call into the system
            toVariant(value, *result);
        }
        return S_OK;
    }

    // The host's arguments, read and written where DISPPARAMS keeps them (last argument first).
    // all() fills the vector of the previous call, kept for its capacity: a heap allocation costs
    // more than the rest of the bridge. A nested call (a callback into this object while a call
    // runs) finds it taken and uses a fresh one. Calls come on the object's apartment thread
    // only, so the flag needs no atomic exchange (a locked instruction on every call); it is
    // atomic so that a host breaking that rule cannot make it a data race as well.
    class HostArgs final : public CallArgs {
    public:
        HostArgs(TComDispatch& owner, VARIANT* host, UINT count) : FOwner(owner), FHost(host), FCount(count) {}
        ~HostArgs() {
            if (!FAll) return;
            FAll->clear();  // values and the objects they hold go now, the capacity stays
            if (FAll == &FOwner.FArgs) FOwner.FArgsTaken.store(false, std::memory_order_relaxed);
        }
        HostArgs(const HostArgs&) = delete;
        HostArgs& operator=(const HostArgs&) = delete;

        size_t size() const override { return FCount; }
        Variant get(size_t i) const override { return i < FCount ? hostArgument(slot(i)) : Variant(); }
        void put(size_t i, Variant&& value) override {
            if (i < FCount) writeBack(slot(i), value);
        }
        std::vector<Variant>& all() override {
            if (!FAll) {
                FAll = &FFresh;
                if (!FOwner.FArgsTaken.load(std::memory_order_relaxed)) {
                    FOwner.FArgsTaken.store(true, std::memory_order_relaxed);
                    FAll = &FOwner.FArgs;
                }
            }
            FAll->clear();
            if (FAll->capacity() == 0) FAll->reserve(FCount);  // only the first call and a nested one
            for (UINT i = 0; i < FCount; ++i) FAll->push_back(hostArgument(slot(i)));
            return *FAll;
        }

    private:
        VARIANT& slot(size_t i) const { return FHost[FCount - 1 - i]; }
        TComDispatch& FOwner;
        VARIANT* FHost;
        UINT FCount;
        std::vector<Variant> FFresh;
        std::vector<Variant>* FAll = nullptr;
    };

    std::atomic<ULONG> FRefs{1};
    std::shared_ptr<DispatchTarget> FTarget;
    std::vector<Variant> FArgs;
    std::atomic<bool> FArgsTaken{false};
};

std::atomic<long> gObjects{0};
std::atomic<long> gLocks{0};

}  // namespace

void objectCreated() { ++gObjects; }
void objectDestroyed() { --gObjects; }
void lockServer(bool lock) {
    if (lock) ++gLocks;
    else if (gLocks > 0) --gLocks;
}
long liveObjectCount() { return gObjects; }
long serverLockCount() { return gLocks; }

ComPtr<IDispatch> createDispatchBridge(std::shared_ptr<DispatchTarget> target) {
    if (!target) return {};
    auto obj = std::make_unique<TComDispatch>(std::move(target));
    return ComPtr<IDispatch>::attach(obj.release());
}

}  // namespace fr::com
