// Injected faults from the folder's faults file.
#include "EmuTestSupport.h"

#include "uEmuErrors.h"

namespace fr::emu::test {
namespace {

Variant i4(int32_t v) { return Variant(v); }

class Faults : public EmuTest {
protected:
    void faults(const std::string& text) { writeFile(FDir / "faults.txt", text); }
    void item(Session& s) {
        s.call(u"printRecItem", {Variant(u"Товар"), money("10"), Variant(1.0), i4(0)});
    }
};

TEST_F(Faults, NthCallFailsWithGivenCodeAndText) {
    faults("# the second item jams\nfail printRecItem 2 25 Ошибка печатающего устройства\n");
    Session s(FDir);
    s.connect();
    s.ok(u"printNullReceipt");
    s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"")});
    item(s);
    EXPECT_EQ(s.lastError(), 0);
    item(s);
    EXPECT_EQ(s.lastError(), 25);
    EXPECT_EQ(s.lastErrorText(), u"Ошибка печатающего устройства");
    item(s);
    EXPECT_EQ(s.lastError(), 0);
    // The failed call did nothing: two items were taken.
    s.ok(u"printRecTotal", {money("20"), i4(3)});
    s.ok(u"endFiscalReceipt");
    EXPECT_EQ(saved().shift.sales, 2000);
}

TEST_F(Faults, CodeOneCarriesItsTextAsExtendedAndStarFailsEveryCall) {
    faults("fail GETTIME * 1 Часы ККТ неисправны\nfail start 1 7\n");
    Session s(FDir);
    s.call(u"start", {i4(100)});
    EXPECT_EQ(s.lastError(), 7);
    EXPECT_EQ(s.lastErrorText(), u"Ошибка 7");
    s.connect();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.call(u"GetTime").toText(), u"");
        EXPECT_EQ(s.lastError(), 1);
        EXPECT_EQ(s.lastErrorText(), emuCodeText(ecSeeExtended));
        EXPECT_EQ(s.lastErrorExText(), u"Часы ККТ неисправны");
    }
}

TEST_F(Faults, PaperOutStopsPrintingButNotCancellingOrReading) {
    Session s(FDir);
    s.connect();
    s.ok(u"printNullReceipt");
    s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"")});
    item(s);
    faults("paper-out\n");
    const TEmuState before = saved();
    s.call(u"endFiscalReceipt");
    EXPECT_EQ(s.lastError(), ecPaperOut);
    s.call(u"printXReport");
    EXPECT_EQ(s.lastError(), ecPaperOut);
    s.call(u"printText", {Variant(u"строка")});
    EXPECT_EQ(s.lastError(), ecPaperOut);
    EXPECT_EQ(s.lastErrorText(), u"Нет бумаги");
    s.ok(u"GetTime");
    s.ok(u"Cash");
    s.ok(u"openCashDrawer");
    s.ok(u"printRecVoid");
    EXPECT_EQ(saved().documentNumber, before.documentNumber);
    // New paper: printing goes on.
    faults("");
    s.ok(u"printXReport");
}

TEST_F(Faults, EditingTheFileStartsCountingAfreshAndBadRulesAreReported) {
    Session s(FDir);
    s.connect();
    s.ok(u"printXReport");
    s.ok(u"printXReport");
    faults("fail printXReport 2 44\n");
    s.ok(u"printXReport");
    s.call(u"printXReport");
    EXPECT_EQ(s.lastError(), 44);

    const std::vector<std::string> bad = {"fail printXReport\n", "fail printXReport 0 5\n",
                                          "fail printXReport 1 0\n", "# ok\npaper out\n"};
    for (const auto& text : bad) {
        SCOPED_TRACE(text);
        faults(text);
        s.call(u"Cash");
        EXPECT_EQ(s.lastError(), 1);
        EXPECT_NE(utf16ToUtf8(s.lastErrorExText()).find("faults.txt"), std::string::npos);
    }
    faults("");
    s.ok(u"Cash");
}

}  // namespace
}  // namespace fr::emu::test
