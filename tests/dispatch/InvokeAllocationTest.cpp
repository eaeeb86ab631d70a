// A call whose arguments are Empty, scalars or short text makes no heap allocation between the
// caller's argument vector and the handler and back: counted with a replaced global allocator
// (this program's own), not timed, so the result is the same on any machine.
#include <gtest/gtest.h>

#include "support/CountingAllocator.h"
#include "support/TestDispatchClass.h"

namespace fr {
namespace {

using test::allocationCount;
using test::TTestDispatchObject;

struct ArgsCase {
    const char* name;
    Variant inData;
    Variant timeOut;
};

// What hosts pass most: every scalar kind, and text up to the inline limit (Cyrillic, as 1C sends).
const std::vector<ArgsCase>& argsCases() {
    static const std::vector<ArgsCase> cases = {
        {"empty", Variant(), Variant(0)},
        {"null", Variant::null(), Variant(1000)},
        {"32-bit integer", Variant(42), Variant(-1)},
        {"16-bit integer, 16-bit TimeOut", Variant::ofInt(VarType::I2, 7), Variant::ofInt(VarType::I2, 5)},
        {"64-bit integer, Boolean TimeOut", Variant::ofInt(VarType::I8, INT64_MIN), Variant(true)},
        {"byte, unsigned TimeOut", Variant::ofInt(VarType::UI1, 255), Variant::ofInt(VarType::UI4, 30000)},
        {"Boolean", Variant(false), Variant(0)},
        {"real", Variant(2.5), Variant(0)},
        {"single", Variant::ofReal4(0.25f), Variant(0)},
        {"currency", Variant::currency(123456), Variant(0)},
        {"date", Variant::date(46000.5), Variant(0)},
        {"decimal", Variant::decimal(Decimal{2, true, 1, 5}), Variant(0)},
        {"error", Variant::error(0x80020004), Variant(0)},
        {"empty text", Variant(u""), Variant(0)},
        {"text of 15 characters", Variant(u"Строка из 15 зн"), Variant(0)},
    };
    return cases;
}

// Calls `method` with (InData, OutData, TimeOut) as the bridge hands them over, after one call
// that lets the object settle; returns the allocations of the second call.
long allocationsOfCall(TTestDispatchObject& object, const char16_t* method, const ArgsCase& c, Variant& outData) {
    int32_t dispid = -1;
    EXPECT_EQ(object.getIDsOfNames(method, dispid), kS_OK);
    std::vector<Variant> args{c.inData, Variant(), c.timeOut};
    Variant result;
    ExcepInfo excep;
    EXPECT_EQ(object.invoke(dispid, kDISPATCH_METHOD, args, result, excep), kS_OK);
    args = {c.inData, Variant(), c.timeOut};
    long before = allocationCount();
    HResult hr = object.invoke(dispid, kDISPATCH_METHOD, args, result, excep);
    long made = allocationCount() - before;
    EXPECT_EQ(hr, kS_OK);
    EXPECT_EQ(result, Variant(true));
    outData = args[1];
    return made;
}

TEST(InvokeAllocations, TextOfUpTo15CharactersIsHeldWithoutAllocation) {
    long before = allocationCount();
    Variant shortText(u"Строка из 15 зн");
    Variant copy = shortText;
    EXPECT_EQ(allocationCount() - before, 0);
    // Longer text takes one allocation: the counter counts (else every zero here proves nothing).
    before = allocationCount();
    Variant longText(u"Строка из 16 зна");
    EXPECT_EQ(allocationCount() - before, 1);
}

TEST(InvokeAllocations, PublicCallWithScalarsAndShortTextAllocatesNothing) {
    auto object = TTestDispatchObject::New();
    for (const ArgsCase& c : argsCases()) {
        SCOPED_TRACE(c.name);
        Variant outData;
        EXPECT_EQ(allocationsOfCall(*object, u"NoOp", c, outData), 0);
        // OutData written by the handler, the TimeOut converted on the way.
        EXPECT_EQ(allocationsOfCall(*object, u"EchoTimeOut", c, outData), 0);
        EXPECT_EQ(outData, Variant(c.timeOut.toInt()));
    }
}

TEST(InvokeAllocations, PrivateCallWithScalarsAndShortTextAllocatesNothing) {
    auto object = TTestDispatchObject::New();
    int32_t echo = -1;
    ASSERT_EQ(object->getIDsOfNames(u"Echo", echo), kS_OK);
    for (const ArgsCase& c : argsCases()) {
        SCOPED_TRACE(c.name);
        std::vector<Variant> args{c.inData, Variant(21)};
        Variant result;
        ExcepInfo excep;
        long before = allocationCount();
        HResult hr = object->invoke(echo, kDISPATCH_METHOD, args, result, excep);
        EXPECT_EQ(allocationCount() - before, 0);
        EXPECT_EQ(hr, kS_OK);
        EXPECT_EQ(result, c.inData);
        EXPECT_EQ(args[1], Variant(42));
    }
}

}  // namespace
}  // namespace fr
