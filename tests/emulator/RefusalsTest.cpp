// Refusals: each leaves a code and a Russian text in the error state and changes nothing, saved
// or held in memory.
#include "EmuTestSupport.h"

#include "uEmuDevice.h"
#include "uEmuErrors.h"

namespace fr::emu::test {
namespace {

struct Step {
    std::u16string name;
    std::vector<Variant> args;
};
struct RefusalCase {
    const char* what;
    std::vector<Step> before;  // made after start/OpenPort, each must succeed
    Step refused;
    int32_t code;
    bool connect = true;
};

Variant i4(int32_t v) { return Variant(v); }
const Step kOpenShift{u"printNullReceipt", {}};
const Step kBeginSale{u"beginFiscalReceipt", {i4(0), Variant(u"Кассир")}};
Step item(const char* price, int32_t tax = 0) {
    return {u"printRecItem", {Variant(u"Товар"), money(price), Variant(1.0), i4(tax), money("0"), Variant(0.0)}};
}
Step pay(const char* amount, int32_t type) { return {u"printRecTotal", {money(amount), i4(type)}}; }
const Step kEnd{u"endFiscalReceipt", {}};

Variant callWith(Session& s, const Step& step) {
    std::vector<Arg> a;
    for (const auto& v : step.args) a.emplace_back(v, true);
    return s.object().call(step.name, a);
}

const std::vector<RefusalCase>& cases() {
    static const std::vector<RefusalCase> c = {
        {"item outside a receipt", {kOpenShift}, item("10"), ecReceiptNotOpen},
        {"total outside a receipt", {kOpenShift}, pay("10", 0), ecReceiptNotOpen},
        {"end outside a receipt", {kOpenShift}, kEnd, ecReceiptNotOpen},
        {"void outside a receipt", {kOpenShift}, {u"printRecVoid", {}}, ecReceiptNotOpen},
        {"receipt begun twice", {kOpenShift, kBeginSale, item("10")}, kBeginSale, ecReceiptOpen},
        {"receipt while a non-fiscal document is open", {kOpenShift, {u"beginNonFiscal", {}}}, kBeginSale, ecDocumentOpen},
        {"sale on a closed shift", {}, kBeginSale, ecShiftClosed},
        {"deposit on a closed shift", {}, {u"printRecCash", {money("10")}}, ecShiftClosed},
        {"Z report on a closed shift", {}, {u"printZReport", {}}, ecShiftClosed},
        {"payment short of the total", {kOpenShift, kBeginSale, item("100"), pay("99.99", 0)}, kEnd, ecPaymentShort},
        {"receipt without items", {kOpenShift, kBeginSale}, kEnd, ecNoItems},
        {"item after a payment", {kOpenShift, kBeginSale, item("100"), pay("50", 0)}, item("1"), ecItemsAfterPayment},
        {"card payment above the total", {kOpenShift, kBeginSale, item("100")}, pay("100.01", 3), ecNonCashExceedsTotal},
        {"withdrawal above the cash", {kOpenShift, {u"printRecCash", {money("100")}}}, {u"printRecCash", {money("-100.01")}}, ecNotEnoughCash},
        {"cash refund above the cash",
         {kOpenShift, {u"beginFiscalReceipt", {i4(1), Variant(u"")}}, item("10"), pay("10", 0)}, kEnd, ecNotEnoughCash},
        {"zero deposit", {kOpenShift}, {u"printRecCash", {money("0")}}, ecBadAmount},
        {"discount above the item",
         {kOpenShift, kBeginSale},
         {u"printRecItem", {Variant(u"Товар"), money("10"), Variant(1.0), i4(0), money("-10.01"), Variant(0.0)}},
         ecDiscountTooLarge},
        {"zero quantity", {kOpenShift, kBeginSale},
         {u"printRecItem", {Variant(u"Товар"), money("10"), Variant(0.0), i4(0), money("0"), Variant(0.0)}}, ecBadParameter},
        {"quantity that is not a number", {kOpenShift, kBeginSale},
         {u"printRecItem", {Variant(u"Товар"), money("10"), Variant(u"abc"), i4(0), money("0"), Variant(0.0)}}, ecBadParameter},
        {"negative price", {kOpenShift, kBeginSale}, item("-1"), ecBadAmount},
        {"price beyond a billion", {kOpenShift, kBeginSale}, item("1000000001"), ecBadAmount},
        {"tax group 6", {kOpenShift, kBeginSale}, item("10", 6), ecBadTaxGroup},
        {"payment type 4", {kOpenShift, kBeginSale, item("10")}, pay("10", 4), ecBadPaymentType},
        {"receipt type 2", {kOpenShift}, {u"beginFiscalReceipt", {i4(2), Variant(u"")}}, ecBadReceiptType},
        {"non-fiscal line outside a non-fiscal document", {}, {u"printNonFiscalText", {Variant(u"текст")}}, ecNonFiscalNotOpen},
        {"end of a non-fiscal document never begun", {}, {u"endNonFiscal", {}}, ecNonFiscalNotOpen},
        {"report kind 1", {}, {u"printReport", {i4(1)}}, ecBadReportKind},
        {"periodic report backwards", {}, {u"printPeriodicReport", {i4(2), Variant(u"5"), Variant(u"3")}}, ecBadPeriod},
        {"periodic report with a bad date", {}, {u"printPeriodicReport", {i4(0), Variant(u"320124"), Variant(u"010224")}}, ecBadPeriod},
        {"time of four digits", {}, {u"SetTime", {Variant(u"0930")}}, ecBadTime},
        {"time 25:00:00", {}, {u"SetTime", {Variant(u"250000")}}, ecBadTime},
        {"EAN-13 with letters", {kOpenShift, kBeginSale}, {u"printBarCode", {Variant(u"46070A1234567"), i4(1)}}, ecBadBarcode},
        {"text outside any document", {}, {u"printText", {Variant(u"текст")}}, ecReceiptNotOpen},
        {"call before start", {}, {u"printXReport", {}}, ecNotStarted, false},
    };
    return c;
}

class Refusals : public EmuTest {};

TEST_F(Refusals, EachRefusalReportsItsCodeAndChangesNothing) {
    for (const auto& c : cases()) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(FDir);
        std::filesystem::create_directories(FDir);
        Session s(FDir);
        if (c.connect) s.connect();
        for (const auto& step : c.before) {
            callWith(s, step);
            ASSERT_EQ(s.lastError(), 0) << utf16ToUtf8(step.name) << ": " << utf16ToUtf8(s.lastErrorText());
        }
        const TEmuState before = saved();
        // The folder's device is the one the session uses: an open receipt lives only there.
        const auto device = TEmuDevice::open(FDir);
        const TEmuOpenDocument open = device->openDocument();
        callWith(s, c.refused);
        EXPECT_EQ(s.lastError(), c.code);
        EXPECT_FALSE(s.lastErrorText().empty());
        EXPECT_NE(s.lastErrorText(), emuCodeText(ecOk));
        EXPECT_EQ(saved(), before);
        EXPECT_TRUE(device->openDocument() == open) << "the open document changed";
    }
}

TEST_F(Refusals, PortMustBeOpenAfterStart) {
    Session s(FDir);
    s.ok(u"start", {i4(100)});
    s.call(u"printXReport");
    EXPECT_EQ(s.lastError(), ecPortNotOpen);
    s.ok(u"OpenPortEx", {Variant(u"192.168.0.10"), i4(7778)});
    s.ok(u"printXReport");
    s.ok(u"closePort");
    s.call(u"Cash");
    EXPECT_EQ(s.lastError(), ecPortNotOpen);
}

TEST_F(Refusals, ExpiredShiftNeedsZReport) {
    Session s(FDir);
    s.connect();
    s.ok(u"printNullReceipt");
    s.ok(u"printRecCash", {money("10")});
    advance(1.0 - 1.0 / 86400);  // one second short of a day: still alive
    s.ok(u"printRecCash", {money("10")});
    advance(1.0 / 86400);
    for (const Step& step : {kBeginSale, Step{u"printRecCash", {money("10")}}, kOpenShift}) {
        callWith(s, step);
        EXPECT_EQ(s.lastError(), ecShiftExpired) << utf16ToUtf8(step.name);
    }
    // The driver turns 3002 into its own message; our text says the same.
    EXPECT_EQ(s.lastErrorText(), u"Длительность смены превысила 24 часа. Необходимо снять Z-отчет");
    s.ok(u"printXReport");
    s.ok(u"printZReport");
    s.ok(u"printNullReceipt");
    s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"")});
}

TEST_F(Refusals, ShortPaymentKeepsReceiptOpenUntilVoided) {
    Session s(FDir);
    s.connect();
    s.ok(u"printNullReceipt");
    const TEmuState before = saved();
    callWith(s, kBeginSale);
    callWith(s, item("100"));
    callWith(s, pay("60", 0));
    s.call(u"endFiscalReceipt");
    ASSERT_EQ(s.lastError(), ecPaymentShort);
    // The receipt is still open: a further payment completes it...
    s.ok(u"printRecTotal", {money("40"), i4(1)});
    s.ok(u"endFiscalReceipt");
    EXPECT_EQ(saved().shift.sales, 10000);
    EXPECT_EQ(saved().cash, before.cash + 6000);
    // ...and a voided one leaves no trace: the next receipt takes the number it would have had.
    const TEmuState beforeVoid = saved();
    callWith(s, kBeginSale);
    callWith(s, item("5"));
    s.ok(u"printRecVoid");
    TEmuState afterVoid = saved();
    EXPECT_GT(afterVoid.tapeEnd, beforeVoid.tapeEnd);  // the annulled receipt is on paper
    afterVoid.tapeEnd = beforeVoid.tapeEnd;
    afterVoid.lastTapeDocument = beforeVoid.lastTapeDocument;
    EXPECT_EQ(afterVoid, beforeVoid);
    callWith(s, kBeginSale);
    callWith(s, item("5"));
    callWith(s, pay("5", 0));
    s.ok(u"endFiscalReceipt");
    EXPECT_EQ(s.ok(u"LastReceiptNum").toInt(), 2);
    EXPECT_EQ(saved().shift.salesCount, 2);
}

}  // namespace
}  // namespace fr::emu::test
