#include "dispatch/uInputReaders.h"

#include "platform/Platform.h"

namespace fr {

namespace {

// The element, or null when it is not present. Indexes below the lower bound count as absent:
// reading them would fail rather than give a value.
const Variant* item1(const Variant& a, int32_t i) {
    if (!a.isArray()) return nullptr;
    const VariantArray& arr = a.array();
    if (arr.dimCount() != 1 || !arr.contains({i})) return nullptr;
    const Variant& v = arr.at({i});
    return v.isEmptyOrNull() ? nullptr : &v;
}

const Variant* item2(const Variant& a, int32_t i, int32_t j) {
    if (!a.isArray()) return nullptr;
    const VariantArray& arr = a.array();
    if (arr.dimCount() != 2 || !arr.contains({i, j})) return nullptr;
    const Variant& v = arr.at({i, j});
    return v.isEmptyOrNull() ? nullptr : &v;
}

bool fits(const Variant& v, VarType type) {
    if (v.isEmptyOrNull() || v.isArray()) return false;
    switch (type) {
        case VarType::I1: case VarType::I2: case VarType::I4: case VarType::I8: case VarType::Int:
        case VarType::UI1: case VarType::UI2: case VarType::UI4: case VarType::UI8: case VarType::UInt:
            return v.isOrdinal();
        case VarType::R4: case VarType::R8: case VarType::CY: case VarType::Decimal:
            return v.isNumeric();
        case VarType::Date: return v.type() == VarType::Date;
        case VarType::Bool: return v.type() == VarType::Bool;
        case VarType::BStr: return v.isText();
        default: return true;
    }
}

}  // namespace

bool ItemExists(const Variant& A, int32_t I) { return item1(A, I) != nullptr; }

bool ItemExists2(const Variant& A, int32_t I, int32_t J) { return item2(A, I, J) != nullptr; }

std::u16string ItemAsString(const Variant& A, int32_t I, const std::u16string& Default) {
    const Variant* v = item1(A, I);
    return v ? v->toText() : Default;
}

int32_t ItemAsInteger(const Variant& A, int32_t I, int32_t Default) {
    const Variant* v = item1(A, I);
    return v ? v->toInt() : Default;
}

int32_t ItemAsInteger2(const Variant& A, int32_t I, int32_t J, int32_t Default) {
    const Variant* v = item2(A, I, J);
    return v ? v->toInt() : Default;
}

double ItemAsDate(const Variant& A, int32_t I) {
    const Variant* v = item1(A, I);
    return v ? v->toDate() : platform::nowLocal();
}

bool ItemAsBoolean(const Variant& A, int32_t I, bool Default) {
    const Variant* v = item1(A, I);
    return v ? v->toBool() : Default;
}

Variant ValueOrDefault(const Variant& V, VarType Type, const Variant& Default) {
    return (fits(V, Type) ? V : Default).convertTo(Type);
}

}  // namespace fr
