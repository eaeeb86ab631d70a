#include "automation/Variant.h"

#include <cmath>
#include <memory>

#include "automation/Errors.h"
#include "automation/Text.h"

namespace fr {

double Decimal::toDouble() const {
    double v = static_cast<double>(hi32) * 18446744073709551616.0 + static_cast<double>(lo64);
    v /= std::pow(10.0, scale);
    return negative ? -v : v;
}

// ---- storage ----

// What every call makes, moves and drops a handful of: one cache line and a little.
static_assert(sizeof(Variant) <= 40);

void Variant::copyResource(const Variant& o) {
    switch (o.FStorage) {
        case Storage::SharedText: std::construct_at(&FData.sharedText, o.FData.sharedText); break;
        case Storage::Object: std::construct_at(&FData.object, o.FData.object); break;
        case Storage::Array: std::construct_at(&FData.array, std::make_unique<VariantArray>(*o.FData.array)); break;
        default: break;
    }
}

void Variant::takeResource(Variant& o) noexcept {
    switch (o.FStorage) {
        case Storage::SharedText: std::construct_at(&FData.sharedText, std::move(o.FData.sharedText)); break;
        case Storage::Object: std::construct_at(&FData.object, std::move(o.FData.object)); break;
        case Storage::Array: std::construct_at(&FData.array, std::move(o.FData.array)); break;
        default: break;
    }
}

void Variant::releaseResource() noexcept {
    switch (FStorage) {
        case Storage::SharedText: std::destroy_at(&FData.sharedText); break;
        case Storage::Object: std::destroy_at(&FData.object); break;
        case Storage::Array: std::destroy_at(&FData.array); break;
        default: break;
    }
}

Variant& Variant::assignResource(const Variant& o) {
    if (this == &o) return *this;
    // Copy first: o may live inside what this Variant holds (an element of its array).
    Variant copy(o);
    *this = std::move(copy);
    return *this;
}

Variant& Variant::moveAssignResource(Variant& o) noexcept {
    if (this == &o) return *this;
    if (holdsResource()) {
        // o may live inside what this Variant holds: take it out before letting go.
        Variant taken(std::move(o));
        releaseResource();
        FStorage = Storage::Number;
        FData.plain = Plain();
        return *this = std::move(taken);
    }
    FType = o.FType;
    FStorage = o.FStorage;
    takeResource(o);
    o.clearMovedFrom();
    return *this;
}

Variant::Variant(std::u16string_view v) : FType(VarType::BStr) {
    if (v.size() <= kInlineTextLength) {
        FStorage = Storage::InlineText;
        FData.plain.inlineText = InlineText{};
        v.copy(FData.plain.inlineText.chars, v.size());
        FData.plain.inlineText.length = static_cast<uint8_t>(v.size());
        return;
    }
    auto chars = std::make_shared_for_overwrite<char16_t[]>(v.size());
    v.copy(chars.get(), v.size());
    std::construct_at(&FData.sharedText, SharedText{std::move(chars), v.size()});
    FStorage = Storage::SharedText;
}

Variant::Variant(VariantArray a) : FType(a.elementType()) {
    std::construct_at(&FData.array, std::make_unique<VariantArray>(std::move(a)));
    FStorage = Storage::Array;
}

Variant::Variant(std::shared_ptr<AutomationObject> object) : FType(VarType::Dispatch) {
    std::construct_at(&FData.object, std::move(object));
    FStorage = Storage::Object;
}

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
    v.FData.plain.number.integer = value;
    return v;
}

Variant Variant::ofUInt64(uint64_t value) {
    Variant v;
    v.FType = VarType::UI8;
    v.FData.plain.number.integer = static_cast<int64_t>(value);
    return v;
}

Variant Variant::ofReal4(float value) {
    Variant v;
    v.FType = VarType::R4;
    v.FData.plain.number.real = value;
    return v;
}

Variant Variant::currency(int64_t scaled) {
    Variant v;
    v.FType = VarType::CY;
    v.FData.plain.number.integer = scaled;
    return v;
}

Variant Variant::date(double serial) {
    Variant v;
    v.FType = VarType::Date;
    v.FData.plain.number.real = serial;
    return v;
}

Variant Variant::error(int32_t scode) {
    Variant v;
    v.FType = VarType::Error;
    v.FData.plain.number.integer = scode;
    return v;
}

Variant Variant::decimal(const Decimal& value) {
    Variant v;
    v.FType = VarType::Decimal;
    v.FStorage = Storage::Decimal;
    v.FData.plain.decimal = value;
    return v;
}

Variant Variant::unknown(std::shared_ptr<AutomationObject> object) {
    Variant v(std::move(object));
    v.FType = VarType::Unknown;
    return v;
}

const Decimal& Variant::rawDecimal() const {
    static const Decimal kNone;
    return FStorage == Storage::Decimal ? FData.plain.decimal : kNone;
}

const std::shared_ptr<AutomationObject>& Variant::object() const {
    static const std::shared_ptr<AutomationObject> kNone;
    return FStorage == Storage::Object ? FData.object : kNone;
}

const VariantArray& Variant::array() const {
    if (!isArray()) throw EVariantError(u"Значение не является массивом");
    return *FData.array;
}

VariantArray& Variant::array() {
    if (!isArray()) throw EVariantError(u"Значение не является массивом");
    return *FData.array;
}

bool Variant::operator==(const Variant& o) const {
    if (FType != o.FType || isArray() != o.isArray()) return false;
    if (isArray()) return *FData.array == *o.FData.array;
    switch (FType) {
        case VarType::Empty: case VarType::Null: return true;
        case VarType::R4: case VarType::R8: case VarType::Date:
            return rawReal() == o.rawReal() || (std::isnan(rawReal()) && std::isnan(o.rawReal()));
        case VarType::BStr: return rawText() == o.rawText();
        case VarType::Dispatch: case VarType::Unknown: return object() == o.object();
        case VarType::Decimal: return rawDecimal() == o.rawDecimal();
        case VarType::Bool: return (rawInt() != 0) == (o.rawInt() != 0);
        default: return rawInt() == o.rawInt();
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
