// Late binding over a portable target: DISPIDs cached, by-reference arguments carried back,
// CreateOleObject's lookup order.
#include <gtest/gtest.h>

#include "automation/AutomationObject.h"
#include "automation/Errors.h"
#include "automation/Text.h"

using namespace fr;

namespace {
class CountingTarget : public DispatchTarget {
public:
    int lookups = 0;
    HResult getIDsOfNames(const std::u16string& name, int32_t& id) override {
        ++lookups;
        if (sameTextAscii(name, u"Twice")) { id = 1; return kS_OK; }
        id = -1;
        return kDISP_E_UNKNOWNNAME;
    }
    HResult invoke(int32_t, uint16_t, std::vector<Variant>& args, Variant& result, ExcepInfo& e) override {
        if (args.empty()) {
            e = {1001, u"Test", u"нет аргументов", true};
            return kDISP_E_EXCEPTION;
        }
        args[0] = Variant(args[0].toInt() * 2);
        result = Variant(true);
        return kS_OK;
    }
};
}  // namespace

TEST(DispatchObject, CachesDispidAndWritesBackByRef) {
    auto target = std::make_shared<CountingTarget>();
    DispatchObject obj(target);
    std::vector<Arg> args{Arg(Variant(21), true)};
    EXPECT_EQ(obj.call(u"Twice", args), Variant(true));
    EXPECT_EQ(args[0].value, Variant(42));
    std::vector<Arg> byValue{Arg(Variant(1))};
    obj.call(u"Twice", byValue);
    EXPECT_EQ(byValue[0].value, Variant(1));
    EXPECT_EQ(target->lookups, 1);
}

TEST(DispatchObject, ErrorsBecomeOleErrorsWithTheDescription) {
    DispatchObject obj(std::make_shared<CountingTarget>());
    EXPECT_THROW(obj.call(u"Missing"), EOleError);
    try {
        obj.call(u"Twice");
        FAIL();
    } catch (const EOleError& e) {
        EXPECT_EQ(u8(e.message()), "нет аргументов");
    }
}

TEST(CreateOleObject, HookThenRegistryThenFailure) {
    registerInProcessClass(u"Test.Registered", [](const std::u16string&) {
        return std::make_shared<DispatchObject>(std::make_shared<CountingTarget>());
    });
    EXPECT_NE(CreateOleObject(u"test.registered"), nullptr);
    EXPECT_THROW(CreateOleObject(u"Test.Absent"), EOleError);
    {
        auto fake = std::make_shared<DispatchObject>(std::make_shared<CountingTarget>());
        ScopedOleFactoryHook hook([&](const std::u16string&) { return fake; });
        EXPECT_EQ(CreateOleObject(u"Test.Absent"), fake);
    }
    EXPECT_THROW(CreateOleObject(u"Test.Absent"), EOleError);
}
