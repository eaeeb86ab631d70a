// Shift, report, cash and clock operations over the scripted universal driver, called by name.
#include <gtest/gtest.h>

#include "DriverHost.h"
#include "adapter/uDeviceTime.h"
#include "automation/DateTime.h"
#include "dispatch/uEquipmentErrors.h"
#include "platform/Platform.h"

using namespace fr;
using namespace fr::test;

namespace {
// Today's date at a time of day, as the computer's clock gives the date.
double todayAt(int h, int m, int s) {
    const DateParts today = decodeDateTime(platform::nowLocal());
    return encodeDateTime(today.year, today.month, today.day, h, m, s, 0);
}
}  // namespace

TEST(DriverOperations, ShiftAndReportsAnswerTheFiscalResult) {
    struct Case {
        const char16_t* method;
        Variant in;
        Seq calls;
    };
    const double march1 = encodeDate(2024, 3, 1), march31 = encodeDate(2024, 3, 31);
    const Case cases[] = {
        {u"OpenDay", inData({Variant(u"1"), Variant(u"Иванова")}), Seq{"printNullReceipt()"}},
        {u"PrintXReport", Variant(), Seq{"printXReport()"}},
        {u"PrintZReport", Variant(), Seq{"printZReport()"}},
        {u"PrintExtReport", inData({Variant(1), Variant::date(march1), Variant::date(march31)}),
         Seq{"printPeriodicReport(0,&010324,&310324)"}},
        {u"PrintExtReport", inData({Variant(2), Variant(), Variant(), Variant(5), Variant(12)}),
         Seq{"printPeriodicReport(2,5,12)"}},
        {u"PrintExtReport", inData({Variant(3)}), Seq{"printReport(5)"}},
        {u"PrintExtReport", inData({Variant(4)}), Seq{"printReport(6)"}},
        {u"PrintExtReport", inData({Variant(5)}), Seq{"printReport(0)"}},
        {u"PrintExtReport", inData({Variant(8)}), Seq{"printReport(3)"}},
    };
    for (const auto& c : cases) {
        DriverHost<> h;
        answerFiscalParams(*h.fake);
        ASSERT_EQ(h.call(c.method, c.in), 0) << u8(c.method);
        EXPECT_EQ(h.fake->sequence(), c.calls + kFiscalParams) << u8(c.method);
        const VariantArray& a = h.out.array();
        ASSERT_EQ(a.size(), 4u);
        EXPECT_EQ(a.at(0), Variant(7));
        EXPECT_EQ(a.at(1), Variant(3));
        EXPECT_EQ(a.at(2), Variant(-1));
        EXPECT_EQ(a.at(3), Variant::date(todayAt(9, 30, 15)));
    }
}

TEST(DriverOperations, UnsupportedReportTypesAnswer1003WithoutACall) {
    for (int type : {0, 6, 7, 9, -1}) {
        DriverHost<> h;
        EXPECT_EQ(h.call(u"PrintExtReport", inData({Variant(type)})), 1003) << type;
        EXPECT_EQ(h.description(), "Команда не поддерживается устройством");
        EXPECT_TRUE(h.fake->sequence().empty()) << type;
    }
}

TEST(DriverOperations, UniversalDriverErrorsReachTheHost) {
    struct Case {
        const char16_t* method;
        Variant in;
        const char16_t* failing;
    };
    const Case cases[] = {
        {u"OpenDay", Variant(), u"printNullReceipt"},
        {u"PrintZReport", Variant(), u"printZReport"},
        {u"PrintExtReport", inData({Variant(3)}), u"printReport"},
        {u"Encash", inData({Variant(1), Variant(10.0)}), u"printRecCash"},
        {u"SetDateTime", inData({Variant::date(encodeDateTime(2024, 3, 1, 18, 5, 9, 0))}), u"SetTime"},
        {u"OpenDrawer", Variant(), u"openCashDrawer"},
    };
    for (const auto& c : cases) {
        DriverHost<> h;
        answerFiscalParams(*h.fake);
        h.fake->errors[c.failing] = {10, u"Смена не открыта", u""};
        EXPECT_EQ(h.call(c.method, c.in), 10) << u8(c.method);
        EXPECT_EQ(h.description(), "Смена не открыта [10]") << u8(c.method);
        EXPECT_TRUE(h.fake->callsOf(u"GetTime").empty()) << u8(c.method);  // no fiscal result after a failure
    }
}

TEST(DriverOperations, EncashChecksTheDrawerBeforeAWithdrawal) {
    struct Case {
        int32_t type;
        double sum;
        double cash;
        int32_t code;
        Seq calls;
        int32_t cashError = 0;  // the error state Cash leaves
    };
    const Case cases[] = {
        {0, 150.0, 100.0, 3017, kCounters},
        {0, 150.0, 100.0, 3, kCounters, 3},  // the drawer could not be read: that error, not a shortage
        {0, 150.0, 150.0, 0, kCounters + Seq{"printRecCash(-150)"} + kFiscalParams},
        {1, 150.0, 0.0, 0, kCounters + Seq{"printRecCash(&150)"} + kFiscalParams},
        {0, -10.0, 100.0, 1004, {}},  // the sign would turn a withdrawal into a deposit
        {1, -10.0, 100.0, 1004, {}},
    };
    for (const auto& c : cases) {
        DriverHost<> h;
        answerFiscalParams(*h.fake);
        h.fake->values[u"Cash"] = Variant::currency(static_cast<int64_t>(c.cash * 10000));
        if (c.cashError) h.fake->errors[u"Cash"] = {c.cashError, u"Связь с ККТ не установлена", u""};
        EXPECT_EQ(h.call(u"Encash", inData({Variant(c.type), Variant(c.sum)})), c.code) << c.type << " " << c.sum;
        EXPECT_EQ(h.fake->sequence(), c.calls) << c.type << " " << c.sum;
        if (c.code == 3017) {
            EXPECT_EQ(h.description(), "Недостаточно наличности в кассе");
        }
        if (c.cashError) {
            EXPECT_EQ(h.description(), "Связь с ККТ не установлена [3]");
        }
        for (const auto& call : h.fake->callsOf(u"printRecCash"))
            EXPECT_EQ(call.args.at(0).type(), VarType::CY);  // money goes as currency
    }
}

TEST(DriverOperations, CountersLastDocumentAndDrawer) {
    DriverHost<> h;
    answerFiscalParams(*h.fake);
    h.fake->values[u"Cash"] = Variant::currency(1234500);
    ASSERT_EQ(h.call(u"GetCountersInfo"), 0);
    const VariantArray& counters = h.out.array().at(0).array();
    ASSERT_EQ(counters.size(), 20u);
    for (int i = 0; i < 19; ++i) EXPECT_TRUE(counters.at(i).isEmpty()) << i;
    EXPECT_EQ(counters.at(19), Variant::currency(1234500));
    EXPECT_TRUE(h.out.array().at(1).isEmpty());
    EXPECT_EQ(h.fake->sequence(), Seq{"Cash()"});

    // A drawer that cannot be read is the register's error, not an empty drawer.
    h.fake->errors[u"Cash"] = {3, u"Связь с ККТ не установлена", u""};
    h.fake->values[u"Cash"] = Variant::currency(0);
    EXPECT_EQ(h.call(u"GetCountersInfo"), 3);
    EXPECT_EQ(h.description(), "Связь с ККТ не установлена [3]");
    h.fake->errors.clear();

    h.fake->calls.clear();
    ASSERT_EQ(h.call(u"GetLastDocInfo"), 0);
    EXPECT_EQ(h.fake->sequence(), kFiscalParams);
    const VariantArray& last = h.out.array();
    ASSERT_EQ(last.size(), 6u);
    EXPECT_EQ(last.at(0), Variant(7));
    EXPECT_EQ(last.at(2), Variant(-1));
    EXPECT_TRUE(last.at(4).isEmpty());
    EXPECT_TRUE(last.at(5).isEmpty());

    h.fake->calls.clear();
    EXPECT_EQ(h.call(u"OpenDrawer"), 0);
    EXPECT_EQ(h.fake->sequence(), Seq{"openCashDrawer()"});
    EXPECT_TRUE(h.out.isEmpty());
}

TEST(DriverOperations, TheClock) {
    DriverHost<> h;
    h.fake->values[u"GetTime"] = Variant(u"183005");
    ASSERT_EQ(h.call(u"GetDateTime"), 0);
    EXPECT_EQ(h.out.array().at(0), Variant::date(todayAt(18, 30, 5)));

    // A clock that cannot be read is reported, not replaced by the computer's.
    h.fake->errors[u"GetTime"] = {1, u"Ошибка", u"Часы ККТ неисправны"};
    EXPECT_EQ(h.call(u"GetDateTime"), 1);
    EXPECT_EQ(h.description(), "Часы ККТ неисправны [1]");

    // A well-formed answer that does not parse: the computer's time.
    h.fake->errors.clear();
    h.fake->values[u"GetTime"] = Variant(u"0930");
    const double before = platform::nowLocal();
    ASSERT_EQ(h.call(u"GetDateTime"), 0);
    const double got = h.out.array().at(0).rawReal();
    EXPECT_GE(got, before);
    EXPECT_LE(got, platform::nowLocal());

    h.fake->calls.clear();
    EXPECT_EQ(h.call(u"SetDateTime", inData({Variant::date(encodeDateTime(2024, 3, 1, 18, 5, 9, 0))})), 0);
    EXPECT_EQ(h.fake->sequence(), Seq{"SetTime(180509)"});
    EXPECT_TRUE(h.out.isEmpty());
}

TEST(DriverOperations, DeviceTimeWithTheComputersDate) {
    const double now = encodeDateTime(2024, 3, 1, 12, 0, 0, 0);
    struct Case {
        const char16_t* t;
        double expected;
    };
    const Case cases[] = {
        {u"093015", encodeDateTime(2024, 3, 1, 9, 30, 15, 0)},
        {u"000000", encodeDate(2024, 3, 1)},
        {u"235959", encodeDateTime(2024, 3, 1, 23, 59, 59, 0)},
        {u"0930", now},      // too short
        {u"", now},
        {u"2430 0", now},    // hour out of range
        {u"096015", now},    // minutes out of range
        {u"0930x5", now},    // not a number
    };
    for (const auto& c : cases) EXPECT_EQ(DeviceTimeToDateTime(c.t, now), c.expected) << u8(c.t);
}

TEST(DriverOperations, MethodsTheDriverDoesNotImplementAnswer1003) {
    const std::pair<const char16_t*, Variant> cases[] = {
        {u"GetFPStateInfo", Variant()},
        {u"PrintSettlementsCurrentStatus", Variant()},
        {u"CheckUnsentDocuments", Variant()},
        {u"PrintCorrectionReceipt", inData({Variant(0), Variant(1.5), Variant(0)})},
        {u"PrintDocumentCopy", inData({Variant(3)})},
    };
    for (const auto& [method, in] : cases) {
        DriverHost<> h;
        EXPECT_EQ(h.call(method, in), 1003) << u8(method);
        EXPECT_EQ(h.description(), "Команда не поддерживается устройством");
        EXPECT_TRUE(h.fake->sequence().empty());
    }
}

namespace {
// Records every conversion, so a test sees it made also when an error escapes.
class TConvertRecordingDriver : public TDriverFR {
public:
    std::vector<int32_t> converted;
    int32_t ConvertDrvError(int32_t code, std::u16string& d) override {
        converted.push_back(code);
        return TDriverFR::ConvertDrvError(code, d);
    }
};
}  // namespace

TEST(DriverOperations, AnErrorEscapingACallStillGoesThroughTheConversion) {
    struct Case {
        const char16_t* method;
        Variant in;
        const char16_t* raising;
    };
    const Case cases[] = {
        {u"OpenDay", Variant(), u"printNullReceipt"},
        {u"PrintXReport", Variant(), u"SmenNum"},
        {u"PrintExtReport", inData({Variant(4)}), u"LastError"},
        {u"Encash", inData({Variant(0), Variant(1.0)}), u"Cash"},
        {u"GetCountersInfo", Variant(), u"Cash"},
        {u"GetLastDocInfo", Variant(), u"GetTime"},
        {u"OpenDrawer", Variant(), u"openCashDrawer"},
    };
    for (const auto& c : cases) {
        DriverHost<TConvertRecordingDriver> h;
        answerFiscalParams(*h.fake);
        h.fake->values[u"Cash"] = Variant::currency(1000000);
        h.fake->raises[c.raising] = u"Сбой вызова";
        EXPECT_EQ(h.call(c.method, c.in), 1001) << u8(c.method);
        EXPECT_EQ(h.description(), "Сбой вызова") << u8(c.method);
        EXPECT_EQ(h.driver->converted, std::vector<int32_t>{0}) << u8(c.method);
    }
    // Enable: the code Connect gave is converted on the way out.
    DriverHost<TConvertRecordingDriver> h;
    h.fake->errors[u"start"] = {25, u"T", u""};
    h.fake->raises[u"SN"] = u"Сбой вызова";
    std::u16string d;
    EXPECT_ANY_THROW(h.driver->EnableDevice(d));
    EXPECT_EQ(u8(d), "T [25]");
}
