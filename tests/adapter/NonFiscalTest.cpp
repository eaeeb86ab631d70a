// Free text, template documents and the EGAIS slip over the scripted universal driver.
#include <gtest/gtest.h>

#include "../templates/TemplateBuilder.h"
#include "DriverHost.h"
#include "automation/DateTime.h"
#include "platform/Platform.h"

using namespace fr;
using namespace fr::test;

namespace {
// Records the destination PrintText is given.
class TDestinationRecordingDriver : public TDriverFR {
public:
    std::vector<int32_t> destinations;
    int32_t PrintText(const std::u16string& Text, bool NoCut, int32_t PrintDestination,
                      std::u16string& ResultDescription) override {
        destinations.push_back(PrintDestination);
        return TDriverFR::PrintText(Text, NoCut, PrintDestination, ResultDescription);
    }
};
}  // namespace

TEST(NonFiscal, PrintTextSplitsLinesAndDocuments) {
    struct Case {
        const char* what;
        std::u16string text;
        int32_t code;
        Seq calls;
        std::function<void(fr::test::FakeUniversalDriver&)> script = nullptr;
        std::string description = "";
    };
    const Case cases[] = {
        {"a form feed starts a second document", u"A\r\n\f\r\nB", 0,
         {"beginNonFiscal()", "printNonFiscalText(&A)", "endNonFiscal()", "beginNonFiscal()", "printNonFiscalText(&B)",
          "endNonFiscal()"}},
        {"empty", u"", 0, {}},
        {"an empty line is printed", u"A\r\n\r\nB", 0,
         {"beginNonFiscal()", "printNonFiscalText(&A)", "printNonFiscalText(&)", "printNonFiscalText(&B)", "endNonFiscal()"}},
        {"CR and LF alone, a break at the end", u"A\rB\nC\r\n", 0,
         {"beginNonFiscal()", "printNonFiscalText(&A)", "printNonFiscalText(&B)", "printNonFiscalText(&C)", "endNonFiscal()"}},
        {"no paper: the error, the document still ended", u"A\r\nB", 3001,
         {"beginNonFiscal()", "printNonFiscalText(&A)", "endNonFiscal()"},
         [](auto& f) { f.errors[u"printNonFiscalText"] = {3001, u"Нет бумаги", u""}; }, "Нет бумаги"},
        {"the document cannot begin", u"A", 25, {"beginNonFiscal()"},
         [](auto& f) { f.errors[u"beginNonFiscal"] = {25, u"Открыт другой документ", u""}; }, "Открыт другой документ [25]"},
        {"the end refused", u"A", 24, {"beginNonFiscal()", "printNonFiscalText(&A)", "endNonFiscal()"},
         [](auto& f) { f.errors[u"endNonFiscal"] = {24, u"Нефискальный документ не открыт", u""}; }},
        {"the second document cannot begin", u"A\r\n\x01\r\nB", 25,
         {"beginNonFiscal()", "printNonFiscalText(&A)", "endNonFiscal()", "beginNonFiscal()"},
         [](auto& f) { f.errorsAt[{u"beginNonFiscal", 2}] = {25, u"Открыт другой документ", u""}; }},
        {"an error escapes", u"A\r\nB", 1001, {"beginNonFiscal()", "printNonFiscalText(&A)", "endNonFiscal()"},
         [](auto& f) { f.raises[u"printNonFiscalText"] = u"Сбой связи"; }, "Сбой связи"},
    };
    for (const auto& c : cases) {
        DriverHost<> h;
        if (c.script) c.script(*h.fake);
        EXPECT_EQ(h.call(u"PrintText", inData({Variant(c.text)})), c.code) << c.what;
        EXPECT_EQ(h.fake->sequence(), c.calls) << c.what;
        if (!c.description.empty()) {
            EXPECT_EQ(h.description(), c.description) << c.what;
        }
    }
    DriverHost<> none;
    none.installed = false;
    EXPECT_EQ(none.call(u"PrintText", inData({Variant(u"A")})), 1006);
    EXPECT_EQ(none.description(), "Библиотека не найдена");
}

TEST(NonFiscal, TemplateDocumentInTheReceiptWidth) {
    using namespace fr::templates::test;
    DriverHost<TDestinationRecordingDriver> h;
    std::u16string d;
    ASSERT_TRUE(h.open(d)) << u8(d);
    h.driver->SetSettingValue(u"MaxReceiptRowLength", Variant(24));
    h.driver->SetSettingValue(u"MaxSlipRowLength", Variant(60));
    const Variant tmpl = sections({S{u"Итог", {CS{.columns = {CF{.resizable = true, .length = 5, .fields = {
                                                 F{.name = u"Сумма", .prefix = u"ИТОГО: "}}}}}}}});
    ASSERT_EQ(h.call(u"UploadTemplate", inData({Variant(41), Variant(u"итог"), tmpl})), 0);
    ASSERT_EQ(h.call(u"DownloadTemplate", inData({Variant(41)})), 0);
    EXPECT_EQ(h.out, inData({Variant(u"итог"), tmpl}));
    h.fake->calls.clear();
    const Variant values = data({{u"ИТОГ", {{u"СУММА", Variant(u"12.50")}}}});
    for (int destination : {0, 1}) {
        h.fake->calls.clear();
        EXPECT_EQ(h.call(u"PrintTemplateDocument", inData({values, Variant(41), Variant(destination)})), 0);
        EXPECT_EQ(h.fake->sequence(),
                  (Seq{"beginNonFiscal()", "printNonFiscalText(&ИТОГО: 12.50" + sp(12) + ")", "endNonFiscal()"}))
            << destination;
    }
    // The host's destination reaches PrintText, though it changes neither the width nor the tape.
    EXPECT_EQ(h.driver->destinations, (std::vector<int32_t>{0, 1}));
    h.fake->calls.clear();
    EXPECT_EQ(h.call(u"PrintTemplateDocument", inData({values, Variant(42), Variant(0)})), 3007);
    EXPECT_EQ(h.description(), "Шаблон не найден");
    EXPECT_EQ(h.call(u"PrintTemplateDocument", inData({values, Variant(0), Variant(0)})), 3007);
    EXPECT_TRUE(h.fake->sequence().empty());
}

TEST(NonFiscal, EGAISSlip) {
    DriverHost<> h;
    h.fake->values[u"SN"] = Variant(u"9900012345");
    h.fake->values[u"SmenNum"] = Variant(12);
    h.fake->values[u"LastReceiptNum"] = Variant(26);
    h.fake->values[u"GetTime"] = Variant(u"093015");
    ASSERT_EQ(h.call(u"Enable"), 0);
    h.fake->calls.clear();
    const std::u16string qr(100, u'q');
    const double before = platform::nowLocal();
    ASSERT_EQ(h.call(u"PrintEGAISSubReport", inData({Variant(u"7701234567"), Variant(u"770101001"), Variant(25),
                                                   Variant(qr), Variant(u"подпись")})),
              0);
    const Seq calls = h.fake->sequence();
    ASSERT_EQ(calls.size(), 16u);
    // The slip's date is when it was made, to the minute.
    const std::string date = calls[4].substr(calls[4].find("ДАТА:") + std::string("ДАТА:").size(), 14);
    EXPECT_TRUE(date == u8(formatDateTime(u"dd.mm.yy hh:nn", before, processFormatSettings())) ||
                date == u8(formatDateTime(u"dd.mm.yy hh:nn", platform::nowLocal(), processFormatSettings())))
        << date;
    auto line = [](const std::string& s) { return "printNonFiscalText(" + s + ")"; };
    const Seq expected = Seq{"SmenNum()",
                             "beginNonFiscal()",
                             line("ИНН:7701234567" + sp(13) + "КПП:770101001"),
                             line("КАССА:9900012345" + sp(14) + "СМЕНА:0012"),
                             line("ЧЕК:0025" + sp(13) + "ДАТА:" + date),
                             line(" "),
                             line(std::string(40, 'q')),
                             line(std::string(40, 'q')),
                             line(std::string(20, 'q')),
                             line(" "),
                             line("подпись"),
                             line(" "),
                             "endNonFiscal()"} +
                         kFiscalParams;
    EXPECT_EQ(calls, expected);
    // The fiscal result read back after printing: the last receipt's number replaces the host's.
    EXPECT_EQ(h.out.array().at(0), Variant(12));
    EXPECT_EQ(h.out.array().at(1), Variant(26));

    // A line refused: the document is ended, the error answered, nothing read back.
    DriverHost<> f;
    f.fake->errorsAt[{u"printNonFiscalText", 3}] = {3001, u"Нет бумаги", u""};
    EXPECT_EQ(f.call(u"PrintEGAISSubReport", inData({Variant(u"1"), Variant(u"2"), Variant(3), Variant(u"q"),
                                                   Variant(u"f")})),
              3001);
    EXPECT_EQ(f.description(), "Нет бумаги");
    const Seq failed = f.fake->sequence();
    EXPECT_EQ(failed.back(), "endNonFiscal()");
    EXPECT_EQ(failed.size(), 6u);  // SmenNum, begin, three lines (the third refused), end
}

TEST(NonFiscal, EGAISSlipIsPrintedWhateverTheShiftNumberLeaves) {
    struct Case {
        const char* what;
        Variant shift;
        FakeUniversalDriver::ErrorState state;
        std::string shown;
    };
    const Case cases[] = {
        {"an older error still in the state", Variant(12), {61, u"Смена превысила 24 часа", u""}, "СМЕНА:0012"},
        {"no number: the shift printed empty", Variant(), {}, "СМЕНА:"},
    };
    for (const auto& c : cases) {
        DriverHost<> h;
        h.fake->values[u"SmenNum"] = c.shift;
        h.fake->errors[u"SmenNum"] = c.state;
        EXPECT_EQ(h.call(u"PrintEGAISSubReport", inData({Variant(u"1"), Variant(u"2"), Variant(3), Variant(u"q"),
                                                       Variant(u"f")})),
                  0)
            << c.what;
        const Seq calls = h.fake->sequence();
        ASSERT_GT(calls.size(), 3u) << c.what;
        EXPECT_EQ(calls[1], "beginNonFiscal()") << c.what;
        // The second line: the till at the left, the shift at the right edge.
        EXPECT_EQ(calls[3].rfind("printNonFiscalText(КАССА:", 0), 0u) << calls[3];
        EXPECT_EQ(calls[3].substr(calls[3].size() - c.shown.size() - 1), c.shown + ")") << calls[3];
    }
}
