// Feeds the portable Invoke random argument lists (every type code, nested arrays with random
// bounds, missing elements), random DISPIDs and flags, and the input readers random indexes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "automation/Errors.h"
#include "support/TestDispatchClass.h"

namespace {

using namespace fr;

constexpr VarType kScalarTypes[] = {
    VarType::Empty, VarType::Null, VarType::I2, VarType::I4, VarType::R4, VarType::R8, VarType::CY,
    VarType::Date, VarType::BStr, VarType::Dispatch, VarType::Error, VarType::Bool, VarType::Unknown,
    VarType::Decimal, VarType::I1, VarType::UI1, VarType::UI2, VarType::UI4, VarType::I8, VarType::UI8,
    VarType::Int, VarType::UInt,
};

Variant makeScalar(FuzzedDataProvider& in, VarType t) {
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

Variant makeValue(FuzzedDataProvider& in, int depth) {
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

int32_t pickDispId(FuzzedDataProvider& in, const TBaseObject& obj) {
    switch (in.ConsumeIntegralInRange<int>(0, 5)) {
        case 0: return in.ConsumeIntegral<int32_t>();
        case 1: return 65535 + in.ConsumeIntegralInRange<int32_t>(-2, 4);
        case 2: return 100000 + in.ConsumeIntegralInRange<int32_t>(-1, 1);
        default: return in.ConsumeIntegralInRange<int32_t>(-1, static_cast<int32_t>(obj.MethodList().size()));
    }
}

void readAll(FuzzedDataProvider& in, const Variant& a) {
    int32_t i = in.ConsumeIntegralInRange<int32_t>(-4, 8), j = in.ConsumeIntegralInRange<int32_t>(-4, 8);
    // A present element that does not convert raises the ordinary error; that is its contract.
    try { ItemAsString(a, i, u"d"); } catch (const EError&) {}
    try { ItemAsInteger(a, i, 0); } catch (const EError&) {}
    try { ItemAsInteger2(a, i, j, 0); } catch (const EError&) {}
    try { ItemAsDate(a, i); } catch (const EError&) {}
    try { ItemAsBoolean(a, i, false); } catch (const EError&) {}
    ItemExists2(a, i, j);
    auto type = kScalarTypes[in.ConsumeIntegralInRange<size_t>(0, std::size(kScalarTypes) - 1)];
    try { ValueOrDefault(a, type, Variant()); } catch (const EError&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    auto obj = test::TTestDispatchObject::New();
    if (in.ConsumeBool()) obj->InstallExtensionHandler();
    int calls = in.ConsumeIntegralInRange<int>(1, 4);
    for (int k = 0; k < calls && in.remaining_bytes(); ++k) {
        if (in.ConsumeBool()) {
            std::string name = in.ConsumeRandomLengthString(12);
            int32_t id = 0;
            obj->getIDsOfNames(std::u16string(name.begin(), name.end()), id);
        }
        std::vector<Variant> args(in.ConsumeIntegralInRange<size_t>(0, 5));
        for (auto& a : args) a = makeValue(in, 0);
        int32_t dispid = pickDispId(in, *obj);
        uint16_t flags = in.ConsumeBool() ? kDISPATCH_METHOD : in.ConsumeIntegral<uint16_t>();
        Variant result;
        ExcepInfo excep;
        HResult hr = obj->invoke(dispid, flags, args, result, excep);
        if (hr == kDISP_E_EXCEPTION && (!excep.filled || excep.scode != 1001)) __builtin_trap();
        if (!args.empty()) readAll(in, args[0]);
    }
    return 0;
}
