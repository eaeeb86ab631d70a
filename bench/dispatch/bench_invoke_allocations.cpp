// Heap allocations per public call NoOp(InData, OutData, TimeOut) in the portable Invoke (the part
// between the COM bridge and the handler), counted with a replaced global allocator, for the
// argument kinds a host passes most: Empty, scalars, and text of up to 15 characters. Aim: none.
// Text longer than that and arrays are shown for comparison.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "support/TestDispatchClass.h"


#include "support/CountingAllocator.h"

namespace {
using fr::Variant;

struct Case {
    const char* what;
    Variant inData;
};

int main2() {
    auto object = fr::test::TTestDispatchObject::New();
    int32_t noOp = -1;
    object->getIDsOfNames(u"NoOp", noOp);
    const Case cases[] = {
        {"Empty", Variant()},
        {"32-bit integer", Variant(42)},
        {"real", Variant(2.5)},
        {"Boolean", Variant(true)},
        {"date", Variant::date(46000.5)},
        {"text, 15 characters", Variant(u"Строка из 15 зн")},
        {"text, 40 characters", Variant(u"Строка длиннее пятнадцати знаков, 40 зн.")},
        {"array of 3", Variant(fr::VariantArray::vector({Variant(1), Variant(u"a"), Variant()}))},
    };
    // The time includes making the arguments.
    std::printf("%-22s %14s %10s\n", "InData", "allocs/call", "ns/call");
    const int calls = 200000;
    std::vector<Variant> args(3);
    Variant result;
    fr::ExcepInfo excep;
    for (const Case& c : cases) {
        long allocations = 0;
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < calls; ++i) {
            // The arguments as the bridge hands them over (InData, OutData, TimeOut), made before
            // the count starts.
            args[0] = c.inData;
            args[1] = Variant();
            args[2] = Variant(0);
            long before = fr::test::allocationCount();
            if (object->invoke(noOp, fr::kDISPATCH_METHOD, args, result, excep) != fr::kS_OK) return 1;
            allocations += fr::test::allocationCount() - before;
        }
        double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() / calls;
        std::printf("%-22s %14.2f %10.1f\n", c.what, static_cast<double>(allocations) / calls, ns);
    }
    return 0;
}
}  // namespace

int main() { return main2(); }
