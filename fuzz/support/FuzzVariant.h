#pragma once
// Random Variants for the fuzz targets: every type code, nested arrays with random bounds.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <iterator>
#include <vector>

#include "automation/Variant.h"

namespace fr::fuzz {

constexpr VarType kScalarTypes[] = {
    VarType::Empty, VarType::Null, VarType::I2, VarType::I4, VarType::R4, VarType::R8, VarType::CY,
    VarType::Date, VarType::BStr, VarType::Dispatch, VarType::Error, VarType::Bool, VarType::Unknown,
    VarType::Decimal, VarType::I1, VarType::UI1, VarType::UI2, VarType::UI4, VarType::I8, VarType::UI8,
    VarType::Int, VarType::UInt,
};

inline Variant makeScalar(FuzzedDataProvider& in, VarType t) {
    switch (t) {
        case VarType::Empty: return Variant();
        case VarType::Null: return Variant::null();
        case VarType::I1: return Variant::ofInt(t, in.ConsumeIntegral<int8_t>());
        case VarType::I2: return Variant::ofInt(t, in.ConsumeIntegral<int16_t>());
        case VarType::I4: case VarType::Int: return Variant::ofInt(t, in.ConsumeIntegral<int32_t>());
        case VarType::I8: return Variant::ofInt(t, in.ConsumeIntegral<int64_t>());
        case VarType::UI1: return Variant::ofInt(t, in.ConsumeIntegral<uint8_t>());
        case VarType::UI2: return Variant::ofInt(t, in.ConsumeIntegral<uint16_t>());
        case VarType::UI4: case VarType::UInt: return Variant::ofInt(t, in.ConsumeIntegral<uint32_t>());
        case VarType::UI8: return Variant::ofUInt64(in.ConsumeIntegral<uint64_t>());
        case VarType::R4: return Variant::ofReal4(in.ConsumeFloatingPoint<float>());
        case VarType::R8: return Variant(in.ConsumeFloatingPoint<double>());
        case VarType::CY: return Variant::currency(in.ConsumeIntegral<int64_t>());
        case VarType::Date: return Variant::date(in.ConsumeFloatingPoint<double>());
        case VarType::BStr: {
            std::string bytes = in.ConsumeRandomLengthString(24);
            return Variant(std::u16string(bytes.begin(), bytes.end()));
        }
        case VarType::Dispatch: return Variant(std::shared_ptr<AutomationObject>());
        case VarType::Unknown: return Variant::unknown(nullptr);
        // A missing optional argument arrives as VT_ERROR DISP_E_PARAMNOTFOUND.
        case VarType::Error:
            return Variant::error(in.ConsumeBool() ? static_cast<int32_t>(0x80020004u) : in.ConsumeIntegral<int32_t>());
        case VarType::Bool: return Variant(in.ConsumeBool());
        case VarType::Decimal: {
            Decimal d;
            d.scale = in.ConsumeIntegralInRange<uint8_t>(0, 28);
            d.negative = in.ConsumeBool();
            d.hi32 = in.ConsumeIntegral<uint32_t>();
            d.lo64 = in.ConsumeIntegral<uint64_t>();
            return Variant::decimal(d);
        }
        default: return Variant();
    }
}

inline Variant makeValue(FuzzedDataProvider& in, int depth) {
    if (depth < 3 && in.ConsumeIntegralInRange<int>(0, 5) == 0) {
        int dims = in.ConsumeIntegralInRange<int>(1, 3);
        std::vector<ArrayBound> bounds;
        size_t total = 1;
        for (int i = 0; i < dims; ++i) {
            ArrayBound b{in.ConsumeIntegralInRange<int32_t>(-3, 3), in.ConsumeIntegralInRange<uint32_t>(0, 4)};
            if (in.ConsumeIntegralInRange<int>(0, 15) == 0) b.lowerBound = in.ConsumeIntegral<int32_t>();
            total *= b.count;
            bounds.push_back(b);
        }
        // Arrays whose last index would overflow are not something a host can build; keep them valid.
        for (auto& b : bounds)
            if (b.count && static_cast<int64_t>(b.lowerBound) + b.count - 1 > INT32_MAX) b.lowerBound = 0;
        VariantArray a(bounds);
        for (auto& item : a.items()) item = makeValue(in, depth + 1);
        (void)total;
        return Variant(std::move(a));
    }
    return makeScalar(in, kScalarTypes[in.ConsumeIntegralInRange<size_t>(0, std::size(kScalarTypes) - 1)]);
}

}  // namespace fr::fuzz
