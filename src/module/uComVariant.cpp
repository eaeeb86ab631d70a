// VARIANT <-> Variant. Scalars map one to one by VARTYPE; SAFEARRAY data is laid out first index
// fastest, exactly as VariantArray stores it, so elements are copied in storage order.
#include <new>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "module/uComBridge.h"
#include "module/uComInternal.h"

namespace fr::com {

namespace {

// Deep enough for any sane host; a cycle of VARIANT references must not hang us.
constexpr int kMaxRefDepth = 64;

[[noreturn]] void unsupported(VARTYPE vt) {
    throw EVariantError(u"Тип значения не поддерживается (VARTYPE " + u16(std::to_string(vt)) + u")");
}

bool isArrayElementType(VARTYPE vt) {
    switch (vt) {
        case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BSTR:
        case VT_DISPATCH: case VT_ERROR: case VT_BOOL: case VT_VARIANT: case VT_UNKNOWN: case VT_DECIMAL:
        case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
            return true;
        default: return false;
    }
}

Variant objectVariant(VARTYPE vt, IUnknown* p) {
    std::shared_ptr<AutomationObject> obj;
    if (p) obj = std::make_shared<ComAutomationObject>(p);
    return vt == VT_DISPATCH ? Variant(std::move(obj)) : Variant::unknown(std::move(obj));
}

Variant arrayFromSafeArray(VARTYPE elementVt, const SAFEARRAY* psaConst);

}  // namespace

std::u16string_view bstrView(BSTR b) {
    if (!b) return {};
    return {reinterpret_cast<const char16_t*>(b), SysStringLen(b)};
}

std::u16string bstrToText(BSTR b) { return std::u16string(bstrView(b)); }

BSTR allocBstr(std::u16string_view s) {
    BSTR b = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(s.data()), static_cast<UINT>(s.size()));
    if (!b) throw std::bad_alloc();
    return b;
}

Variant readScalar(VARTYPE vt, const void* p) {
    switch (vt) {
        case VT_EMPTY: return Variant();
        case VT_NULL: return Variant::null();
        case VT_I2: return Variant::ofInt(VarType::I2, *static_cast<const SHORT*>(p));
        case VT_I4: return Variant(static_cast<int32_t>(*static_cast<const LONG*>(p)));
        case VT_R4: return Variant::ofReal4(*static_cast<const FLOAT*>(p));
        case VT_R8: return Variant(*static_cast<const DOUBLE*>(p));
        case VT_CY: return Variant::currency(static_cast<const CY*>(p)->int64);
        case VT_DATE: return Variant::date(*static_cast<const DATE*>(p));
        case VT_BSTR: return Variant(bstrView(*static_cast<const BSTR*>(p)));
        case VT_DISPATCH: return objectVariant(VT_DISPATCH, *static_cast<IDispatch* const*>(p));
        case VT_ERROR: return Variant::error(*static_cast<const SCODE*>(p));
        case VT_BOOL: return Variant(*static_cast<const VARIANT_BOOL*>(p) != VARIANT_FALSE);
        case VT_VARIANT: return fromVariant(*static_cast<const VARIANT*>(p));
        case VT_UNKNOWN: return objectVariant(VT_UNKNOWN, *static_cast<IUnknown* const*>(p));
        case VT_DECIMAL: {
            const auto& d = *static_cast<const DECIMAL*>(p);
            Decimal dec;
            dec.scale = d.scale;
            dec.negative = (d.sign & DECIMAL_NEG) != 0;
            dec.hi32 = d.Hi32;
            dec.lo64 = d.Lo64;
            return Variant::decimal(dec);
        }
        case VT_I1: return Variant::ofInt(VarType::I1, *static_cast<const signed char*>(p));
        case VT_UI1: return Variant::ofInt(VarType::UI1, *static_cast<const BYTE*>(p));
        case VT_UI2: return Variant::ofInt(VarType::UI2, *static_cast<const USHORT*>(p));
        case VT_UI4: return Variant::ofInt(VarType::UI4, *static_cast<const ULONG*>(p));
        case VT_I8: return Variant::ofInt(VarType::I8, *static_cast<const LONGLONG*>(p));
        case VT_UI8: return Variant::ofUInt64(*static_cast<const ULONGLONG*>(p));
        case VT_INT: return Variant::ofInt(VarType::Int, *static_cast<const INT*>(p));
        case VT_UINT: return Variant::ofInt(VarType::UInt, *static_cast<const UINT*>(p));
        default: unsupported(vt);
    }
}

void writeScalar(VARTYPE vt, void* p, const Variant& value) {
    // `value` already has type vt (callers convert first); owned resources are fresh references.
    switch (vt) {
        case VT_EMPTY: case VT_NULL: break;
        case VT_I2: *static_cast<SHORT*>(p) = static_cast<SHORT>(value.rawInt()); break;
        case VT_I4: *static_cast<LONG*>(p) = static_cast<LONG>(value.rawInt()); break;
        case VT_R4: *static_cast<FLOAT*>(p) = static_cast<FLOAT>(value.rawReal()); break;
        case VT_R8: case VT_DATE: *static_cast<DOUBLE*>(p) = value.rawReal(); break;
        case VT_CY: static_cast<CY*>(p)->int64 = value.rawInt(); break;
        case VT_BSTR: *static_cast<BSTR*>(p) = allocBstr(value.rawText()); break;
        case VT_DISPATCH: *static_cast<IDispatch**>(p) = dispatchOf(value.object()).detach(); break;
        case VT_UNKNOWN: *static_cast<IUnknown**>(p) = unknownOf(value.object()).detach(); break;
        case VT_ERROR: *static_cast<SCODE*>(p) = static_cast<SCODE>(value.rawInt()); break;
        case VT_BOOL: *static_cast<VARIANT_BOOL*>(p) = value.rawBool() ? VARIANT_TRUE : VARIANT_FALSE; break;
        case VT_VARIANT: toVariant(value, *static_cast<VARIANT*>(p)); break;
        case VT_DECIMAL: {
            auto& d = *static_cast<DECIMAL*>(p);
            const Decimal& dec = value.rawDecimal();
            d.scale = dec.scale;
            d.sign = dec.negative ? DECIMAL_NEG : 0;
            d.Hi32 = dec.hi32;
            d.Lo64 = dec.lo64;
            break;
        }
        case VT_I1: *static_cast<signed char*>(p) = static_cast<signed char>(value.rawInt()); break;
        case VT_UI1: *static_cast<BYTE*>(p) = static_cast<BYTE>(value.rawInt()); break;
        case VT_UI2: *static_cast<USHORT*>(p) = static_cast<USHORT>(value.rawInt()); break;
        case VT_UI4: *static_cast<ULONG*>(p) = static_cast<ULONG>(value.rawInt()); break;
        case VT_I8: *static_cast<LONGLONG*>(p) = value.rawInt(); break;
        case VT_UI8: *static_cast<ULONGLONG*>(p) = value.rawUInt(); break;
        case VT_INT: *static_cast<INT*>(p) = static_cast<INT>(value.rawInt()); break;
        case VT_UINT: *static_cast<UINT*>(p) = static_cast<UINT>(value.rawInt()); break;
        default: unsupported(vt);
    }
}

namespace {

class ArrayDataLock {
public:
    explicit ArrayDataLock(SAFEARRAY* psa) : FPsa(psa) {
        if (FAILED(SafeArrayAccessData(psa, &FData))) throw EVariantError(u"Массив недоступен");
    }
    ~ArrayDataLock() { SafeArrayUnaccessData(FPsa); }
    ArrayDataLock(const ArrayDataLock&) = delete;
    ArrayDataLock& operator=(const ArrayDataLock&) = delete;
    char* data() const { return static_cast<char*>(FData); }

private:
    SAFEARRAY* FPsa;
    void* FData = nullptr;
};

size_t elementSize(VARTYPE vt) {
    switch (vt) {
        case VT_I1: case VT_UI1: return 1;
        case VT_I2: case VT_UI2: case VT_BOOL: return 2;
        case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
        case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
        case VT_BSTR: case VT_DISPATCH: case VT_UNKNOWN: return sizeof(void*);
        case VT_DECIMAL: return sizeof(DECIMAL);
        case VT_VARIANT: return sizeof(VARIANT);
        default: unsupported(vt);
    }
}

Variant arrayFromSafeArray(VARTYPE elementVt, const SAFEARRAY* psaConst) {
    if (!psaConst) return Variant(VariantArray());
    auto* psa = const_cast<SAFEARRAY*>(psaConst);  // the API takes non-const pointers to read
    if (!isArrayElementType(elementVt)) unsupported(elementVt);
    if (SafeArrayGetElemsize(psa) != elementSize(elementVt))
        throw EVariantError(u"Размер элемента массива не соответствует его типу");
    UINT dims = SafeArrayGetDim(psa);
    std::vector<ArrayBound> bounds;
    for (UINT d = 1; d <= dims; ++d) {
        LONG lo = 0, hi = -1;
        if (FAILED(SafeArrayGetLBound(psa, d, &lo)) || FAILED(SafeArrayGetUBound(psa, d, &hi)))
            throw EVariantError(u"Неверная размерность массива");
        int64_t count = static_cast<int64_t>(hi) - lo + 1;
        bounds.push_back({lo, static_cast<uint32_t>(count < 0 ? 0 : count)});
    }
    if (dims == 0) return Variant(VariantArray());
    VarType et = elementVt == VT_VARIANT ? VarType::Variant : static_cast<VarType>(elementVt);
    VariantArray a(std::move(bounds), et);
    if (a.size() == 0) return Variant(std::move(a));
    ArrayDataLock lock(psa);
    size_t step = elementSize(elementVt);
    auto& items = a.items();
    for (size_t i = 0; i < items.size(); ++i) items[i] = readScalar(elementVt, lock.data() + i * step);
    return Variant(std::move(a));
}

// Destroys a half-built array when filling it fails.
class SafeArrayHolder {
public:
    explicit SafeArrayHolder(SAFEARRAY* psa) : FPsa(psa) {}
    ~SafeArrayHolder() {
        if (FPsa) SafeArrayDestroy(FPsa);
    }
    SafeArrayHolder(const SafeArrayHolder&) = delete;
    SafeArrayHolder& operator=(const SafeArrayHolder&) = delete;
    SAFEARRAY* get() const { return FPsa; }
    SAFEARRAY* release() { return std::exchange(FPsa, nullptr); }

private:
    SAFEARRAY* FPsa;
};

VARTYPE elementVartypeOf(const VariantArray& a) {
    auto vt = static_cast<VARTYPE>(a.elementType());
    if (a.elementType() == VarType::Variant || !isArrayElementType(vt)) return VT_VARIANT;
    return vt;
}

void arrayToVariant(const VariantArray& a, VARIANT& out) {
    VARTYPE et = elementVartypeOf(a);
    if (!a.hasData()) {  // an array variable that was never dimensioned
        V_VT(&out) = VT_ARRAY | et;
        V_ARRAY(&out) = nullptr;
        return;
    }
    std::vector<SAFEARRAYBOUND> sab;
    for (const auto& b : a.bounds()) sab.push_back({b.count, b.lowerBound});
    SafeArrayHolder holder(SafeArrayCreate(et, static_cast<UINT>(sab.size()), sab.data()));
    if (!holder.get()) throw std::bad_alloc();
    if (a.size()) {
        ArrayDataLock lock(holder.get());
        size_t step = elementSize(et);
        const auto& items = a.items();
        for (size_t i = 0; i < items.size(); ++i) {
            void* slot = lock.data() + i * step;
            if (et == VT_VARIANT) writeScalar(et, slot, items[i]);
            else if (static_cast<VARTYPE>(items[i].type()) == et && !items[i].isArray()) writeScalar(et, slot, items[i]);
            else writeScalar(et, slot, items[i].convertTo(static_cast<VarType>(et)));
        }
    }
    V_VT(&out) = VT_ARRAY | et;
    V_ARRAY(&out) = holder.release();
}

}  // namespace

namespace detail {

Variant fromVariantGeneral(const VARIANT& v) {
    const VARIANT* cur = &v;
    for (int depth = 0; V_VT(cur) == (VT_BYREF | VT_VARIANT); ++depth) {
        if (depth == kMaxRefDepth) throw EVariantError(u"Слишком длинная цепочка ссылок");
        cur = V_VARIANTREF(cur);
        if (!cur) return Variant();
    }
    VARTYPE vt = V_VT(cur);
    if (vt & VT_BYREF) {
        if (!V_BYREF(cur)) throw EVariantError(u"Пустая ссылка на значение");
        VARTYPE base = vt & ~VT_BYREF;
        if (base & VT_ARRAY) return arrayFromSafeArray(base & VT_TYPEMASK, *V_ARRAYREF(cur));
        if (base == VT_EMPTY || base == VT_NULL || base == VT_VARIANT) unsupported(vt);
        return readScalar(base, V_BYREF(cur));
    }
    if (vt & VT_ARRAY) return arrayFromSafeArray(vt & VT_TYPEMASK, V_ARRAY(cur));
    if (vt == VT_DECIMAL) return readScalar(vt, &V_DECIMAL(cur));
    if (vt == VT_VARIANT) unsupported(vt);  // a VARIANT cannot hold a VARIANT by value
    return readScalar(vt, &V_I8(cur));
}

void toVariantGeneral(const Variant& v, VARIANT& out) {
    if (v.isArray()) {
        arrayToVariant(v.array(), out);
        return;
    }
    auto vt = static_cast<VARTYPE>(v.type());
    if (vt == VT_VARIANT) vt = VT_EMPTY;
    if (!isArrayElementType(vt) && vt != VT_EMPTY && vt != VT_NULL) unsupported(vt);
    if (vt == VT_DECIMAL) {
        writeScalar(vt, &V_DECIMAL(&out), v);  // DECIMAL overlays the type field: set it last
    } else {
        writeScalar(vt, &V_I8(&out), v);
    }
    V_VT(&out) = vt;
}

}  // namespace detail

}  // namespace fr::com
