// The automation face as the driver meets it: created by ProgID, called by name, the error state
// describing the call made just before.
#include "EmuTestSupport.h"

#include "automation/Errors.h"
#include "uEmuErrors.h"

namespace fr::emu::test {
namespace {

Variant i4(int32_t v) { return Variant(v); }

class Automation : public EmuTest {};

TEST_F(Automation, CreatedByProgIdAndCalledByAnyCase) {
    registerEmulatorClass();
    auto fr = CreateOleObject(u"vornlex.fiscalprinter");
    fr->callWith(u"START", {i4(100)});
    fr->callWith(u"openport", {Variant(u"com3"), i4(0)});
    EXPECT_EQ(fr->call(u"lasterror").toInt(), 0);
    fr->call(u"PrintNullReceipt");
    EXPECT_EQ(fr->call(u"LastError").toInt(), 0);
    EXPECT_EQ(fr->call(u"smennum").toInt(), 1);
    // It works in FR_EMULATOR_DIR.
    EXPECT_TRUE(std::filesystem::exists(FDir / "state.json"));
    EXPECT_THROW(fr->call(u"printSomething"), EOleError);
    EXPECT_THROW(fr->callWith(u"printXReport", {i4(1)}), EOleError);  // no such argument
    EXPECT_THROW(fr->setProperty(u"Cash", Variant::currency(0)), EOleError);
}

TEST_F(Automation, ErrorStateDescribesTheCallJustBefore) {
    Session s(FDir);
    s.connect();
    s.call(u"printZReport");  // shift closed
    EXPECT_EQ(s.lastError(), ecShiftClosed);
    // Reading the error state does not change it.
    EXPECT_EQ(s.lastError(), ecShiftClosed);
    EXPECT_EQ(s.lastErrorText(), u"Смена не открыта");
    EXPECT_EQ(s.lastErrorExText(), u"Смена не открыта");
    s.call(u"SmenNum");  // an unchecked getter succeeds and clears it
    EXPECT_EQ(s.lastError(), 0);
    EXPECT_EQ(s.lastErrorText(), u"Ошибок нет");
    // Methods return the code too.
    EXPECT_EQ(s.call(u"printZReport").toInt(), ecShiftClosed);
}

TEST_F(Automation, ByReferenceArgumentsComeBackUnchanged) {
    Session s(FDir);
    s.connect();
    s.ok(u"printNullReceipt");
    std::vector<Arg> begin{Arg(i4(0), true), Arg(Variant(u"Иванов"), true)};
    s.object().call(u"beginFiscalReceipt", begin);
    std::vector<Arg> item{Arg(Variant(u"Хлеб"), true), Arg(money("10"), true), Arg(Variant(2.0), true),
                          Arg(i4(0), true), Arg(money("-1"), false), Arg(Variant(0.0), false)};
    s.object().call(u"printRecItem", item);
    EXPECT_EQ(s.lastError(), 0);
    EXPECT_EQ(begin[1].value, Variant(u"Иванов"));
    EXPECT_EQ(item[0].value, Variant(u"Хлеб"));
    EXPECT_EQ(item[1].value, money("10"));
}

TEST_F(Automation, ModelCodes) {
    struct Case {
        int32_t model;
        int32_t startCode;
        int32_t openCode;
    };
    const Case cases[] = {{100, 0, 0}, {0, 0, 1}, {2, 0, 1}, {7, 0, 1}, {8, 4, 2}, {99, 4, 2}, {-1, 4, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        Session s(FDir);
        s.call(u"start", {i4(c.model)});
        EXPECT_EQ(s.lastError(), c.startCode);
        for (const char16_t* open : {u"OpenPort", u"OpenPortEx"}) {
            if (std::u16string(open) == u"OpenPort") s.call(open, {Variant(u"COM1"), i4(6)});
            else s.call(open, {Variant(u"10.0.0.1"), i4(7778)});
            EXPECT_EQ(s.lastError(), c.openCode);
            if (c.openCode == 1) {
                const std::string ex = utf16ToUtf8(s.lastErrorExText());
                EXPECT_NE(ex.find("универсальный драйвер"), std::string::npos) << ex;
            }
        }
    }
}

TEST_F(Automation, ObjectsOnOneFolderShareTheRegister) {
    Session a(FDir), b(FDir);
    a.connect();
    b.connect();
    a.ok(u"printNullReceipt");
    a.ok(u"beginFiscalReceipt", {i4(0), Variant(u"")});
    b.call(u"beginFiscalReceipt", {i4(0), Variant(u"")});
    EXPECT_EQ(b.lastError(), ecReceiptOpen);
    EXPECT_EQ(a.lastError(), 0);  // each object keeps its own error state
    EXPECT_EQ(b.ok(u"SmenNum").toInt(), 1);
}

}  // namespace
}  // namespace fr::emu::test
