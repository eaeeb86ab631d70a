// The fiscal methods as a host calls them: registration, InData checks, OutData layouts.
#include <gtest/gtest.h>

#include <cmath>

#include "RecordingFR.h"
#include "automation/DateTime.h"
#include "dispatch/uEquipmentErrors.h"
#include "platform/Platform.h"

using namespace fr;
using fr::test::TRecordingFR;

namespace {

template <class FR>
struct FRHost {
    std::shared_ptr<FR> fr = TBaseObject::create<FR>();
    DispatchObject obj{fr};
    Variant out;

    int32_t call(const std::u16string& name, const Variant& inData = Variant()) {
        std::vector<Arg> args{Arg(inData), Arg(Variant(), true), Arg(Variant(0))};
        const bool ok = obj.call(name, args).toBool();
        out = args[1].value;
        return ok ? 0 : out.array().at(0).toInt();
    }
    std::string description() const { return u8(out.array().at(1).toText()); }
};

Variant vec(std::initializer_list<Variant> items) { return Variant(VariantArray::vector(items)); }

// A [columns x rows] table filled column-first from the given rows.
Variant table(const std::vector<std::vector<Variant>>& rows, uint32_t columns) {
    VariantArray a = VariantArray::matrix(columns, static_cast<uint32_t>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size() && c < columns; ++c)
            a.at({static_cast<int32_t>(c), static_cast<int32_t>(r)}) = rows[r][c];
    return Variant(std::move(a));
}

std::vector<Variant> item(const char16_t* name, int32_t dept, Variant tax = Variant()) {
    std::vector<Variant> row(19);
    row[0] = Variant(name);
    row[3] = Variant(dept);
    row[4] = Variant::currency(1000000);
    row[5] = Variant(1.0);
    row[7] = Variant::currency(0);
    row[8] = Variant::currency(0);
    row[9] = Variant::currency(0);
    row[10] = tax;
    return row;
}
Variant goods() { return table({item(u"Хлеб", 1)}, 19); }
Variant payments() { return table({{Variant(0), Variant::currency(1000000)}}, 4); }
Variant common(bool fiscal) {
    return vec({Variant(0), Variant(fiscal), Variant(), Variant::currency(0), Variant::currency(1000000)});
}

const double kDate = encodeDateTime(2024, 3, 1, 18, 5, 9, 0);

}  // namespace

TEST(FiscalMethods, TheTwentyOneFollowTheGenericMethods) {
    FRHost<TBaseFR> h;
    const char16_t* names[] = {u"OpenDay", u"PrintReceipt", u"Encash", u"PrintXReport", u"PrintExtReport",
                               u"PrintZReport", u"PrintTemplateDocument", u"GetCountersInfo", u"GetLastDocInfo",
                               u"OpenDrawer", u"GetFPStateInfo", u"GetDateTime", u"SetDateTime", u"PrintText",
                               u"UploadTemplate", u"DownloadTemplate", u"PrintEGAISSubReport",
                               u"PrintSettlementsCurrentStatus", u"CheckUnsentDocuments", u"PrintDocumentCopy",
                               u"PrintCorrectionReceipt"};
    ASSERT_EQ(h.fr->MethodList().size(), 31u);
    for (int i = 0; i < 21; ++i) {
        int32_t id = -1;
        EXPECT_EQ(h.fr->getIDsOfNames(asciiUpperCase(names[i]), id), kS_OK);
        EXPECT_EQ(id, 10 + i) << u8(names[i]);
        EXPECT_TRUE(h.fr->MethodList()[static_cast<size_t>(id)].IsPublic);
        EXPECT_TRUE(h.fr->MethodList()[static_cast<size_t>(id)].IsSpecific);
    }
    EXPECT_EQ(u8(h.fr->DeviceInfo().TypeName), "FiscalPrinter");
    EXPECT_EQ(h.fr->LineLen(), 48);
    EXPECT_EQ(h.fr->MinDept(), -1);
    EXPECT_EQ(h.fr->MaxPaymentType(), -1);
    const auto& settings = h.fr->Settings().items();
    ASSERT_EQ(settings.size(), 13u);
    const char* ids[] = {"MaxReceiptRowLength", "MaxSlipRowLength", "SlipRows", "HeaderText", "FooterText",
                         "FullCutCode", "PartialCutCode", "INN", "KPP", "CutString"};
    for (size_t i = 0; i < 10; ++i) EXPECT_EQ(u8(settings[3 + i].ID), ids[i]);
    EXPECT_EQ(settings[3].Value, Variant(48));
    EXPECT_EQ(settings[8].Value, Variant(21));
}

TEST(FiscalMethods, OperationsNotOverriddenAnswer1003) {
    FRHost<TBaseFR> h;
    for (const char16_t* m : {u"OpenDay", u"PrintXReport", u"GetCountersInfo", u"GetLastDocInfo", u"OpenDrawer",
                              u"GetFPStateInfo", u"GetDateTime", u"PrintSettlementsCurrentStatus",
                              u"CheckUnsentDocuments"}) {
        EXPECT_EQ(h.call(m), 1003) << u8(m);
        EXPECT_EQ(h.description(), "Команда не поддерживается устройством");
    }
}

// Each case: the method, its InData, the code, and the operation's record when it was called.
TEST(FiscalMethods, InDataChecks) {
    const Variant oneDim = vec({Variant(u"a")});
    struct Case {
        const char* what;
        const char16_t* method;
        Variant in;
        int32_t code;
        std::string called;  // empty: the operation must not be reached
    };
    const Case cases[] = {
        {"receipt", u"PrintReceipt", vec({goods(), payments(), common(true)}), 0, "PrintReceipt"},
        {"receipt, one-dimensional ItemTable", u"PrintReceipt", vec({oneDim, payments(), common(true)}), 1004, ""},
        {"receipt, one-dimensional PaymentTable", u"PrintReceipt", vec({goods(), oneDim, common(true)}), 1004, ""},
        {"receipt, two-dimensional CommonParameters", u"PrintReceipt", vec({goods(), payments(), payments()}), 1004, ""},
        {"receipt, one-element CommonParameters", u"PrintReceipt", vec({goods(), payments(), vec({Variant(0)})}), 1004, ""},
        {"receipt, fiscal flag not a Boolean", u"PrintReceipt",
         vec({goods(), payments(), vec({Variant(0), Variant(u"нет")})}), 1004, ""},
        {"receipt, a text for a table", u"PrintReceipt", vec({Variant(u"x"), payments(), common(true)}), 1004, ""},
        {"receipt, two elements", u"PrintReceipt", vec({goods(), payments()}), 1004, ""},
        {"InData not an array", u"Encash", Variant(5), 1004, ""},
        {"InData two-dimensional", u"Encash", payments(), 1004, ""},
        {"encash", u"Encash", vec({Variant(1), Variant(12.5)}), 0, "Encash(1,125000)"},
        {"encash, Boolean type and currency sum", u"Encash", vec({Variant(true), Variant::currency(5)}), 0, "Encash(-1,5)"},
        {"encash, Sum as text", u"Encash", vec({Variant(1), Variant(u"12")}), 1004, ""},
        {"encash, type a Double", u"Encash", vec({Variant(1.0), Variant(12.5)}), 1004, ""},
        {"encash, negative Sum", u"Encash", vec({Variant(0), Variant(-1.0)}), 1004, ""},
        {"encash, Sum beyond currency", u"Encash", vec({Variant(0), Variant(1e300)}), 1004, ""},
        {"set time", u"SetDateTime", vec({Variant::date(kDate)}), 0, "SetDateTime"},
        {"set time, date as text", u"SetDateTime", vec({Variant(u"01.03.2024 18:05:09")}), 1004, ""},
        {"set time, date as Double", u"SetDateTime", vec({Variant(kDate)}), 1004, ""},
        {"set time, nothing", u"SetDateTime", Variant(), 1004, ""},
        {"text", u"PrintText", vec({Variant(u"Строка")}), 0, "PrintText(false,0)"},
        {"text, all given", u"PrintText", vec({Variant(u"Строка"), Variant(true), Variant(1)}), 0, "PrintText(true,1)"},
        {"text, a number", u"PrintText", vec({Variant(5)}), 1004, ""},
        {"template document", u"PrintTemplateDocument", vec({oneDim, Variant(3), Variant(1)}), 0,
         "PrintTemplateDocument(3,1,false)"},
        {"template document, number as text", u"PrintTemplateDocument", vec({oneDim, Variant(u"3"), Variant(1)}), 1004, ""},
        {"upload", u"UploadTemplate", vec({Variant(2), Variant(u"Чек"), oneDim}), 0, "UploadTemplate(2,Чек)"},
        {"upload, no array", u"UploadTemplate", vec({Variant(2), Variant(u"Чек"), Variant(u"x")}), 1004, ""},
        {"download, number as text", u"DownloadTemplate", vec({Variant(u"2")}), 1004, ""},
        {"open day", u"OpenDay", vec({Variant(u"7"), Variant(u"Иванова")}), 0, "OpenDay(7,Иванова)"},
        {"open day, nothing given", u"OpenDay", Variant(), 0, "OpenDay(,)"},
        {"open day, cashier an array", u"OpenDay", vec({Variant(u"7"), oneDim}), 1004, ""},
        {"X report reads element 1 only", u"PrintXReport", vec({oneDim, Variant(u"Петрова")}), 0,
         "PrintXReport(Петрова)"},
        {"X report, cashier an array (read unguarded)", u"PrintXReport", vec({Variant(), oneDim}), 1001, ""},
        {"ext report", u"PrintExtReport", vec({Variant(2), Variant(), Variant(), Variant(5), Variant(12)}), 0,
         "PrintExtReport(2,5,12,0)"},
        {"ext report, no type", u"PrintExtReport", Variant(), 1004, ""},
        {"ext report, type not a number", u"PrintExtReport", vec({Variant(u"abc")}), 1004, ""},
        {"ext report, date not a date", u"PrintExtReport", vec({Variant(1), Variant(u"вчера")}), 1004, ""},
        {"EGAIS, four elements", u"PrintEGAISSubReport", vec({Variant(u"1"), Variant(u"2"), Variant(3), Variant(u"q")}),
         1004, ""},
        {"EGAIS, RecNum not a number", u"PrintEGAISSubReport",
         vec({Variant(u"1"), Variant(u"2"), Variant(u"x"), Variant(u"q"), Variant(u"f")}), 1004, ""},
        {"document copy, no number (read unguarded)", u"PrintDocumentCopy", Variant(), 1001, ""},
        {"correction, two elements (read unguarded)", u"PrintCorrectionReceipt", vec({Variant(1), Variant(2.0)}), 1001, ""},
    };
    for (const auto& c : cases) {
        FRHost<TRecordingFR> h;
        EXPECT_EQ(h.call(c.method, c.in), c.code) << c.what;
        if (c.code == 1004) {
            EXPECT_EQ(h.description(), "Ошибка входных параметров команды") << c.what;
        }
        EXPECT_EQ(h.fr->calls, c.called.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.called})
            << c.what;
    }
}

TEST(FiscalMethods, OutDataLayouts) {
    FRHost<TRecordingFR> h;
    const double before = platform::nowLocal();
    ASSERT_EQ(h.call(u"OpenDay"), 0);
    // An operation that leaves the fiscal result gives the defaults: -1, -1, -1 and now.
    const VariantArray& r = h.out.array();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r.at(0), Variant(-1));
    EXPECT_EQ(r.at(1), Variant(-1));
    EXPECT_EQ(r.at(2), Variant(-1));
    ASSERT_EQ(r.at(3).type(), VarType::Date);
    EXPECT_GE(r.at(3).rawReal(), before);
    EXPECT_LE(r.at(3).rawReal(), platform::nowLocal());

    ASSERT_EQ(h.call(u"GetLastDocInfo"), 0);
    ASSERT_EQ(h.out.array().size(), 6u);
    EXPECT_TRUE(h.out.array().at(4).isEmpty());
    EXPECT_TRUE(h.out.array().at(5).isEmpty());
    h.fr->recType = 0;
    h.fr->recSum = 123400;
    ASSERT_EQ(h.call(u"GetLastDocInfo"), 0);
    EXPECT_EQ(h.out.array().at(4), Variant(0));
    EXPECT_EQ(h.out.array().at(5), Variant::currency(123400));

    ASSERT_EQ(h.call(u"CheckUnsentDocuments"), 0);
    EXPECT_EQ(h.out, vec({Variant(0)}));
    h.fr->unsentCount = 3;
    h.fr->unsentDate = kDate;
    ASSERT_EQ(h.call(u"CheckUnsentDocuments"), 0);
    EXPECT_EQ(h.out, vec({Variant(3), Variant::date(kDate)}));

    ASSERT_EQ(h.call(u"DownloadTemplate", vec({Variant(2)})), 0);
    EXPECT_EQ(h.out, vec({Variant(u"Шаблон"), vec({Variant(1)})}));

    // A failure: the operation's own text reaches the host; OutData is the error array only.
    h.fr->answer = 3001;
    h.fr->answerText = u"Бумага кончилась";
    EXPECT_EQ(h.call(u"OpenDay"), 3001);
    EXPECT_EQ(h.out, vec({Variant(3001), Variant(u"Бумага кончилась")}));
    h.fr->answerText.clear();
    EXPECT_EQ(h.call(u"PrintXReport"), 3001);
    EXPECT_EQ(h.description(), "Нет бумаги");
}

TEST(FiscalMethods, ExtReportDatesDefaultToNow) {
    FRHost<TRecordingFR> h;
    const double before = platform::nowLocal();
    ASSERT_EQ(h.call(u"PrintExtReport", vec({Variant(1)})), 0);
    EXPECT_GE(h.fr->lastBeginDate, before);
    EXPECT_GE(h.fr->lastEndDate, before);
    ASSERT_EQ(h.call(u"PrintExtReport", vec({Variant(1), Variant::date(kDate), Variant::date(kDate + 1)})), 0);
    EXPECT_EQ(h.fr->lastBeginDate, kDate);
    EXPECT_EQ(h.fr->lastEndDate, kDate + 1);
}

TEST(FiscalMethods, EGAISTakesINNAndKPPFromTheSettingsWhenEmpty) {
    FRHost<TRecordingFR> h;
    h.fr->SetSettingValue(u"INN", Variant(u"7701234567"));
    h.fr->SetSettingValue(u"KPP", Variant(u"770101001"));
    ASSERT_EQ(h.call(u"PrintEGAISSubReport", vec({Variant(u""), Variant(), Variant(41), Variant(u"qr"), Variant(u"fp")})), 0);
    EXPECT_EQ(h.fr->calls.back(), "PrintEGAISSubReport(7701234567,770101001,41,qr,fp)");
    // RecNum goes by reference: the operation's value comes back.
    EXPECT_EQ(h.out.array().at(1), Variant(42));
    EXPECT_EQ(h.out.array().at(0), Variant(-1));

    ASSERT_EQ(h.call(u"PrintEGAISSubReport",
                     vec({Variant(u"5000000000"), Variant(u"500001001"), Variant(1), Variant(u"qr"), Variant(u"fp")})),
              0);
    EXPECT_EQ(h.fr->calls.back(), "PrintEGAISSubReport(5000000000,500001001,1,qr,fp)");
}

TEST(FiscalMethods, ReceiptTablesAreRangeCheckedOnlyForAFiscalReceipt) {
    FRHost<TRecordingFR> h;
    h.fr->SetMinDept(1);
    h.fr->SetMaxDept(16);
    const Variant twoRows = table({item(u"Хлеб", 1), item(u"Молоко", 17)}, 19);
    EXPECT_EQ(h.call(u"PrintReceipt", vec({twoRows, payments(), common(true)})), 3013);
    EXPECT_EQ(h.description(), "Номер отдела вне допустимого диапазона\r\nПозиция в чеке: 2) Молоко");
    EXPECT_TRUE(h.fr->calls.empty());

    EXPECT_EQ(h.call(u"PrintReceipt", vec({twoRows, payments(), common(false)})), 0);
    EXPECT_EQ(h.fr->calls, std::vector<std::string>{"PrintReceipt"});

    h.fr->calls.clear();
    h.fr->SetMinDept(-1);
    h.fr->SetMinPaymentType(0);
    h.fr->SetMaxPaymentType(0);
    const Variant card = table({{Variant(0), Variant::currency(1)}, {Variant(3), Variant::currency(1)}}, 4);
    EXPECT_EQ(h.call(u"PrintReceipt", vec({twoRows, card, common(true)})), 3012);
    EXPECT_EQ(h.description(), "Номер оплаты вне допустимого диапазона");
    EXPECT_TRUE(h.fr->calls.empty());
}

TEST(FiscalMethods, DeviceTestPrintsTheDeviceInformation) {
    auto p = TBaseObject::create<TRecordingFR>();
    std::u16string d;
    EXPECT_TRUE(p->DeviceTest(d));
    EXPECT_EQ(u8(d), "Нет ошибок");
    EXPECT_EQ(p->calls, std::vector<std::string>{"PrintText(false,0)"});
    EXPECT_EQ(p->printed, p->DeviceInfo().DeveloperName + u"\r\n" + p->DeviceInfo().ModelName + u"\r\n" +
                              p->GetDeviceVersion());
    p->answer = 3001;
    EXPECT_FALSE(p->DeviceTest(d));
    EXPECT_EQ(u8(d), "Нет бумаги");
}
