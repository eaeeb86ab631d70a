// The wrappers over the host's equipment manager.
#include <gtest/gtest.h>

#include "FakeEquipmentManager.h"
#include "automation/Errors.h"
#include "automation/Text.h"
#include "device/uBaseDevice.h"

using namespace fr;
using fr::test::FakeEquipmentManager;

namespace {
struct Fixture {
    std::shared_ptr<TBaseDevice> device = TBaseObject::create<TBaseDevice>();
    std::shared_ptr<FakeEquipmentManager> manager = std::make_shared<FakeEquipmentManager>();
    // A generic method as the host calls it; what it asked of the manager is forgotten.
    void call(const std::u16string& name, std::vector<Variant> p) {
        Variant r;
        ExcepInfo e;
        int32_t id = -1;
        device->getIDsOfNames(name, id);
        ASSERT_EQ(device->invoke(id, kDISPATCH_METHOD, p, r, e), kS_OK);
        manager->calls.clear();
    }
    void init() { call(u"Init", {Variant(std::shared_ptr<AutomationObject>(manager)), Variant()}); }
    // Open hands the device its ID, which every later call on the manager passes first.
    void open(const std::u16string& deviceId) { call(u"Open", {Variant(deviceId), Variant()}); }
};
}  // namespace

TEST(EquipmentManager, EveryWrapperButWriteLogNeedsTheManager) {
    Fixture f;
    auto expectUnavailable = [](auto&& call) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const EError& e) {
            EXPECT_EQ(u8(e.message()), "Менеджер оборудования недоступен");
        }
    };
    expectUnavailable([&] { f.device->GetAppProperty(u"Language"); });
    expectUnavailable([&] { f.device->DataEvent(u"e", u"d"); });
    expectUnavailable([&] { f.device->ErrorEvent(u"e", u"d"); });
    expectUnavailable([&] { f.device->TaskState(5, u"d"); });
    expectUnavailable([&] { f.device->ShowMessageDlg(u"t", 0, 0, 0); });
    expectUnavailable([&] { f.device->InputDataDlg(u"c", u"", u"", u"", false, 0); });
    EXPECT_FALSE(f.device->WriteLog(u"n", u"t", 1));
}

TEST(EquipmentManager, CallsPassTheDeviceIdFirst) {
    Fixture f;
    f.init();
    f.open(u"касса-7");
    f.manager->properties[u"Language"] = u"ru";
    EXPECT_EQ(u8(f.device->GetAppProperty(u"Language")), "ru");
    EXPECT_EQ(f.device->GetAppProperty(u"Absent"), u"");
    EXPECT_TRUE(f.device->DataEvent(u"Barcode", u"123"));
    EXPECT_EQ(f.device->ShowMessageDlg(u"Вопрос?", 1, 2, 0), 6);
    EXPECT_EQ(u8(f.device->InputDataDlg(u"c", u"d", u"e", u"", true, 10)), "введено");
    EXPECT_EQ(u8(f.manager->calls[2]), "DataEvent(касса-7,Barcode,123,)");
    ASSERT_EQ(f.manager->calls.size(), 5u);
    for (const auto& c : f.manager->calls) EXPECT_NE(u8(c).find("(касса-7,"), std::string::npos) << u8(c);
}

TEST(EquipmentManager, WriteLogReachesTheHostOnlyWithTheEventLogOn) {
    Fixture f;
    f.init();
    EXPECT_TRUE(f.device->TaskState(50, u"печать"));  // the host's answer
    EXPECT_EQ(f.manager->calls.size(), 1u);  // TaskState only; WriteLog stayed inside
    f.device->SetEventLogEnabled(true);
    f.manager->calls.clear();
    EXPECT_TRUE(f.device->TaskState(50, u"печать"));
    ASSERT_EQ(f.manager->calls.size(), 2u);
    EXPECT_EQ(u8(f.manager->calls[1]), "WriteLog(,TaskState,Percent=50; Description=печать; Result=True,1)");
}
