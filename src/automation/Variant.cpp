#include "automation/Variant.h"

#include <cmath>

#include "automation/Errors.h"
#include "automation/Text.h"

namespace fr {

double Decimal::toDouble() const {
    double v = static_cast<double>(hi32) * 18446744073709551616.0 + static_cast<double>(lo64);
    v /= std::pow(10.0, scale);
    return negative ? -v : v;
}

Variant::Variant(const Variant& o)
    : FType(o.FType), FInt(o.FInt), FReal(o.FReal), FText(o.FText), FDecimal(o.FDecimal), FObject(o.FObject),
      FArray(o.FArray ? std::make_unique<VariantArray>(*o.FArray) : nullptr) {}

Variant::Variant(Variant&& o) noexcept = default;
Variant::~Variant() = default;

Variant& Variant::operator=(const Variant& o) {
    if (this != &o) {
        Variant copy(o);
        *this = std::move(copy);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& o) noexcept = default;

Variant::Variant(bool v) : FType(VarType::Bool), FInt(v ? -1 : 0) {}
Variant::Variant(int32_t v) : FType(VarType::I4), FInt(v) {}
Variant::Variant(double v) : FType(VarType::R8), FReal(v) {}
Variant::Variant(std::u16string v) : FType(VarType::BStr), FText(std::move(v)) {}
Variant::Variant(const char16_t* v) : FType(VarType::BStr), FText(v ? v : u"") {}
Variant::Variant(VariantArray a) : FType(a.elementType()), FArray(std::make_unique<VariantArray>(std::move(a))) {}
Variant::Variant(std::shared_ptr<AutomationObject> object) : FType(VarType::Dispatch), FObject(std::move(object)) {}

Variant Variant::null() {
    Variant v;
    v.FType = VarType::Null;
    return v;
}

Variant Variant::ofInt(VarType type, int64_t value) {
    Variant v;
    auto fits = [&](int64_t lo, int64_t hi) {
        if (value < lo || value > hi) throw EVariantError(u"Значение вне диапазона типа");
    };
    switch (type) {
        case VarType::I1: fits(INT8_MIN, INT8_MAX); break;
        case VarType::I2: fits(INT16_MIN, INT16_MAX); break;
        case VarType::I4: case VarType::Int: fits(INT32_MIN, INT32_MAX); break;
        case VarType::I8: break;
        case VarType::UI1: fits(0, UINT8_MAX); break;
        case VarType::UI2: fits(0, UINT16_MAX); break;
        case VarType::UI4: case VarType::UInt: fits(0, UINT32_MAX); break;
        case VarType::UI8: fits(0, INT64_MAX); break;
        default: throw EVariantError(u"Тип не является целым");
    }
    v.FType = type;
    v.FInt = value;
    return v;
}

Variant Variant::ofUInt64(uint64_t value) {
    Variant v;
    v.FType = VarType::UI8;
    v.FInt = static_cast<int64_t>(value);
    return v;
}

Variant Variant::ofReal4(float value) {
    Variant v;
    v.FType = VarType::R4;
    v.FReal = value;
    return v;
}

Variant Variant::currency(int64_t scaled) {
    Variant v;
    v.FType = VarType::CY;
    v.FInt = scaled;
    return v;
}

Variant Variant::date(double serial) {
    Variant v;
    v.FType = VarType::Date;
    v.FReal = serial;
    return v;
}

Variant Variant::error(int32_t scode) {
    Variant v;
    v.FType = VarType::Error;
    v.FInt = scode;
    return v;
}

Variant Variant::decimal(const Decimal& value) {
    Variant v;
    v.FType = VarType::Decimal;
    v.FDecimal = value;
    return v;
}

Variant Variant::unknown(std::shared_ptr<AutomationObject> object) {
    Variant v;
    v.FType = VarType::Unknown;
    v.FObject = std::move(object);
    return v;
}

bool Variant::isSignedInteger() const {
    if (FArray) return false;
    switch (FType) {
        case VarType::I1: case VarType::I2: case VarType::I4: case VarType::I8: case VarType::Int: return true;
        default: return false;
    }
}

bool Variant::isUnsignedInteger() const {
    if (FArray) return false;
    switch (FType) {
        case VarType::UI1: case VarType::UI2: case VarType::UI4: case VarType::UI8: case VarType::UInt: return true;
        default: return false;
    }
}

bool Variant::isOrdinal() const { return isInteger() || (!FArray && FType == VarType::Bool); }

bool Variant::isNumeric() const {
    if (FArray) return false;
    return isInteger() || FType == VarType::R4 || FType == VarType::R8 || FType == VarType::CY ||
           FType == VarType::Decimal;
}

const VariantArray& Variant::array() const {
    if (!FArray) throw EVariantError(u"Значение не является массивом");
    return *FArray;
}

VariantArray& Variant::array() {
    if (!FArray) throw EVariantError(u"Значение не является массивом");
    return *FArray;
}

bool Variant::operator==(const Variant& o) const {
    if (FType != o.FType || isArray() != o.isArray()) return false;
    if (FArray) return *FArray == *o.FArray;
    switch (FType) {
        case VarType::Empty: case VarType::Null: return true;
        case VarType::R4: case VarType::R8: case VarType::Date:
            return FReal == o.FReal || (std::isnan(FReal) && std::isnan(o.FReal));
        case VarType::BStr: return FText == o.FText;
        case VarType::Dispatch: case VarType::Unknown: return FObject == o.FObject;
        case VarType::Decimal: return FDecimal == o.FDecimal;
        case VarType::Bool: return (FInt != 0) == (o.FInt != 0);
        default: return FInt == o.FInt;
    }
}

// ---- VariantArray ----

VariantArray::VariantArray(std::vector<ArrayBound> bounds, VarType elementType)
    : FBounds(std::move(bounds)), FElementType(elementType) {
    size_t n = FBounds.empty() ? 0 : 1;
    for (const auto& b : FBounds) n *= b.count;
    FItems.resize(n);
}

VariantArray VariantArray::vector(std::initializer_list<Variant> items) {
    return vector(std::vector<Variant>(items));
}

VariantArray VariantArray::vector(std::vector<Variant> items) {
    VariantArray a({{0, static_cast<uint32_t>(items.size())}});
    a.FItems = std::move(items);
    return a;
}

VariantArray VariantArray::matrix(uint32_t count1, uint32_t count2) {
    return VariantArray({{0, count1}, {0, count2}});
}

int32_t VariantArray::lowBound(int dim) const {
    if (dim < 1 || dim > dimCount()) throw EVariantError(u"Неверная размерность массива");
    return FBounds[dim - 1].lowerBound;
}

int32_t VariantArray::highBound(int dim) const {
    if (dim < 1 || dim > dimCount()) throw EVariantError(u"Неверная размерность массива");
    const auto& b = FBounds[dim - 1];
    return static_cast<int32_t>(static_cast<int64_t>(b.lowerBound) + b.count - 1);
}

bool VariantArray::contains(std::initializer_list<int32_t> index) const {
    if (index.size() != FBounds.size()) return false;
    size_t d = 0;
    for (int32_t i : index) {
        const auto& b = FBounds[d++];
        int64_t rel = static_cast<int64_t>(i) - b.lowerBound;
        if (rel < 0 || rel >= static_cast<int64_t>(b.count)) return false;
    }
    return true;
}

size_t VariantArray::offset(std::initializer_list<int32_t> index) const {
    if (!contains(index)) throw EVariantError(u"Индекс массива вне границ");
    size_t off = 0, stride = 1, d = 0;
    for (int32_t i : index) {
        const auto& b = FBounds[d++];
        off += static_cast<size_t>(static_cast<int64_t>(i) - b.lowerBound) * stride;
        stride *= b.count;
    }
    return off;
}

const Variant& VariantArray::at(std::initializer_list<int32_t> index) const { return FItems[offset(index)]; }
Variant& VariantArray::at(std::initializer_list<int32_t> index) { return FItems[offset(index)]; }

bool VariantArray::operator==(const VariantArray& o) const {
    return FBounds == o.FBounds && FElementType == o.FElementType && FItems == o.FItems;
}

}  // namespace fr
