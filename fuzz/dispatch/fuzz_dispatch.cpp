// Feeds the portable Invoke random argument lists (every type code, nested arrays with random
// bounds, missing elements), random DISPIDs and flags, and the input readers random indexes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "automation/Errors.h"
#include "support/FuzzVariant.h"
#include "support/TestDispatchClass.h"

namespace {

using namespace fr;
using namespace fr::fuzz;

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
