// The whole path of a host's call, from IDispatch::Invoke through the bridge to the handler and
// back, makes no heap allocation when the arguments are Empty, scalars or text of up to 15
// characters, passed by value or by reference. Counted with this program's own allocator (the
// bridge is made here, so its allocations go through it), not timed.
#include <gtest/gtest.h>

#include "ComTestUtil.h"
#include "support/CountingAllocator.h"
#include "support/TestDispatchClass.h"

using namespace fr;
using namespace fr::com;
using namespace fr::e2e;

namespace {

ComApartment gApartment;

// A host VARIANT it owns, and the value the target must see for it.
struct HostValue {
    const char* name;
    VARIANT host;
    Variant seen;
};

std::vector<HostValue> hostValues() {
    auto make = [](VARTYPE vt, auto fill) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = vt;
        fill(v);
        return v;
    };
    return {
        {"empty", empty(), Variant()},
        {"null", make(VT_NULL, [](VARIANT&) {}), Variant::null()},
        {"32-bit integer", i4(-7), Variant(-7)},
        {"16-bit integer, widened", make(VT_I2, [](VARIANT& v) { V_I2(&v) = 300; }), Variant(300)},
        {"Boolean", make(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_TRUE; }), Variant(true)},
        {"real", make(VT_R8, [](VARIANT& v) { V_R8(&v) = 2.5; }), Variant(2.5)},
        {"currency", make(VT_CY, [](VARIANT& v) { V_CY(&v).int64 = 123456; }), Variant::currency(123456)},
        {"date", make(VT_DATE, [](VARIANT& v) { V_DATE(&v) = 46000.5; }), Variant::date(46000.5)},
        {"64-bit integer", make(VT_I8, [](VARIANT& v) { V_I8(&v) = -1; }), Variant::ofInt(VarType::I8, -1)},
        {"byte", make(VT_UI1, [](VARIANT& v) { V_UI1(&v) = 200; }), Variant::ofInt(VarType::UI1, 200)},
        {"text of 15 characters", make(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = SysAllocString(L"Строка из 15 зн"); }),
         Variant(u"Строка из 15 зн")},
    };
}

// Invokes method(arg, OutData by reference, TimeOut) twice and returns the allocations of the
// second call; the first lets the bridge keep its argument vector.
long allocationsOfCall(IDispatch* d, const wchar_t* method, const VARIANT& arg, VARIANT& outData, VARIANT timeOut,
                       VARIANT& result) {
    DISPID id = dispidOf(d, method);
    HostArgs args({arg, refTo(&outData), timeOut});
    EXPECT_EQ(args.invoke(d, id, DISPATCH_METHOD, &result), S_OK);
    VariantClear(&result);
    long before = test::allocationCount();
    HRESULT hr = args.invoke(d, id, DISPATCH_METHOD, &result);
    long made = test::allocationCount() - before;
    EXPECT_EQ(hr, S_OK);
    return made;
}

TEST(ComBridgeAllocations, CallsWithScalarsAndShortTextAllocateNothing) {
    ComPtr<IDispatch> bridge = createDispatchBridge(test::TTestDispatchObject::New());
    std::vector<HostValue> values = hostValues();
    for (HostValue& v : values) {
        for (bool byReference : {false, true}) {
            SCOPED_TRACE(std::string(v.name) + (byReference ? ", by reference" : ", by value"));
            // A script host passes its variables by reference.
            VARIANT arg = byReference ? refTo(&v.host) : v.host;
            VARIANT outData = empty();
            VARIANT result = empty();
            EXPECT_EQ(allocationsOfCall(bridge.get(), L"NoOp", arg, outData, i4(0), result), 0);
            EXPECT_EQ(fromVariant(result), Variant(true));
            VariantClear(&result);
            // OutData written back, a 16-bit TimeOut widened on the way.
            VARIANT timeOut;
            VariantInit(&timeOut);
            V_VT(&timeOut) = VT_I2;
            V_I2(&timeOut) = 250;
            EXPECT_EQ(allocationsOfCall(bridge.get(), L"EchoTimeOut", arg, outData, timeOut, result), 0);
            EXPECT_EQ(fromVariant(outData), Variant(250));
            VariantClear(&result);
            // The value the handler saw: Echo returns its first argument.
            EXPECT_EQ(allocationsOfCall(bridge.get(), L"Echo", arg, outData, i4(1), result), 0);
            EXPECT_EQ(fromVariant(result), v.seen);
            VariantClear(&result);
            VariantClear(&outData);
        }
        VariantClear(&v.host);
    }
}

TEST(ComBridgeAllocations, LongerTextTakesOneAllocation) {
    // The control: the counter sees the bridge's allocations, and the inline limit is where it is.
    ComPtr<IDispatch> bridge = createDispatchBridge(test::TTestDispatchObject::New());
    VARIANT arg;
    VariantInit(&arg);
    V_VT(&arg) = VT_BSTR;
    V_BSTR(&arg) = SysAllocString(L"Строка из 16 зна");
    VARIANT outData = empty();
    VARIANT result = empty();
    EXPECT_EQ(allocationsOfCall(bridge.get(), L"NoOp", arg, outData, i4(0), result), 1);
    VariantClear(&result);
    VariantClear(&arg);
}

}  // namespace
