// A whole working day through the automation face, checked against exact counters, cash, the
// fiscal memory and the printed tape.
#include "EmuTestSupport.h"

namespace fr::emu::test {
namespace {

Variant i4(int32_t v) { return Variant(v); }
Variant r8(double v) { return Variant(v); }

// The lines of the document with the given number, from its first header line to the blank line.
std::vector<std::u16string> documentLines(const std::vector<std::u16string>& tape, const std::u16string& label) {
    for (size_t i = 2; i < tape.size(); ++i)
        if (tape[i].rfind(label + u" ", 0) == 0) {
            size_t end = i;
            while (end < tape.size() && !tape[end].empty()) ++end;
            return {tape.begin() + static_cast<long>(i - 2), tape.begin() + static_cast<long>(end + 1)};
        }
    return {};
}

class DayScenario : public EmuTest {};

TEST_F(DayScenario, CountersCashTapeAndZReport) {
    Session s(FDir);
    s.connect();
    const std::u16string sn = s.ok(u"SN").toText();
    ASSERT_EQ(sn.size(), kSerialDigits);
    const std::u16string snLine = u"ЗН ККТ" + std::u16string(48 - 6 - sn.size(), u' ') + sn;

    s.ok(u"printNullReceipt");  // opens shift 1
    EXPECT_EQ(s.ok(u"SmenNum").toInt(), 1);
    EXPECT_EQ(s.ok(u"LastReceiptNum").toInt(), 0);
    s.ok(u"printRecCash", {money("1000")});

    advance(75.0 / 1440);  // 10:15
    s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"Иванов")});
    s.ok(u"printRecItem", {Variant(u"Хлеб"), money("45.50"), r8(2), i4(0), money("0"), r8(0)});
    s.ok(u"printRecItem", {Variant(u"Молоко"), money("89.90"), r8(1.5), i4(1), money("-5"), r8(0)});
    s.ok(u"printRecItem", {Variant(u"Сыр"), money("300"), r8(0.25), i4(-1), money("0"), r8(-10)});
    s.ok(u"printRecTotal", {money("300"), i4(0)});
    s.ok(u"endFiscalReceipt");
    EXPECT_EQ(s.ok(u"Cash"), money("1288.35"));
    EXPECT_EQ(s.ok(u"LastReceiptNum").toInt(), 1);

    s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"Иванов")});
    s.ok(u"printRecItem", {Variant(u"Кофе"), money("250"), r8(1), i4(0), money("0"), r8(0)});
    s.ok(u"printRecTotal", {money("100"), i4(0)});
    s.ok(u"printRecTotal", {money("150"), i4(3)});
    s.ok(u"endFiscalReceipt");

    s.ok(u"beginFiscalReceipt", {i4(1), Variant(u"Петрова")});
    s.ok(u"printRecItem", {Variant(u"Хлеб"), money("45.50"), r8(1), i4(0), money("0"), r8(0)});
    s.ok(u"printRecTotal", {money("45.50"), i4(0)});
    s.ok(u"endFiscalReceipt");

    // A cancelled receipt leaves the counters as they were.
    s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"Иванов")});
    s.ok(u"printRecItem", {Variant(u"Торт"), money("999"), r8(1), i4(0), money("0"), r8(0)});
    s.ok(u"printRecTotal", {money("1000"), i4(0)});
    s.ok(u"printRecVoid");

    s.ok(u"printRecCash", {money("-342.85")});
    s.ok(u"beginNonFiscal");
    s.ok(u"printNonFiscalText", {Variant(u"Спасибо за покупку!")});
    s.ok(u"endNonFiscal");

    TEmuState mid = saved();
    EXPECT_EQ(mid.documentNumber, 7);
    EXPECT_EQ(mid.receiptNumber, 3);
    EXPECT_EQ(mid.cash, 100000);
    const TEmuShiftTotals& t = mid.shift;
    EXPECT_EQ(t.salesCount, 2);
    EXPECT_EQ(t.sales, 53835);
    EXPECT_EQ(t.returnsCount, 1);
    EXPECT_EQ(t.returns, 4550);
    EXPECT_EQ(t.deposits, 100000);
    EXPECT_EQ(t.withdrawals, 34285);
    EXPECT_EQ(t.salePayments, (std::array<Money, 4>{38835, 0, 0, 15000}));
    EXPECT_EQ(t.returnPayments, (std::array<Money, 4>{4550, 0, 0, 0}));
    EXPECT_EQ(t.saleTaxes, (std::array<Money, 7>{6750, 34100, 12985, 0, 0, 0, 0}));
    EXPECT_EQ(t.returnTaxes, (std::array<Money, 7>{0, 4550, 0, 0, 0, 0, 0}));
    ASSERT_EQ(t.cashiers.size(), 2u);
    EXPECT_EQ(t.cashiers[0], (TEmuCashierTotals{u"Иванов", 2, 0, 53835, 0}));
    EXPECT_EQ(t.cashiers[1], (TEmuCashierTotals{u"Петрова", 0, 1, 0, 4550}));

    s.ok(u"printXReport");
    advance(8.0 / 24);
    s.ok(u"printZReport");
    TEmuState end = saved();
    EXPECT_FALSE(end.shiftOpen);
    EXPECT_EQ(end.shift, TEmuShiftTotals{});
    EXPECT_EQ(end.receiptNumber, 0);
    EXPECT_EQ(end.documentNumber, 9);
    EXPECT_EQ(end.cash, 100000);
    EXPECT_EQ(end.grandSales, 53835);
    ASSERT_EQ(end.fiscalMemory.size(), 1u);
    const TEmuFiscalRecord& z = end.fiscalMemory[0];
    EXPECT_EQ(z.shiftNumber, 1);
    EXPECT_EQ(z.receipts, 3);
    EXPECT_EQ(z.sales, 53835);
    EXPECT_EQ(z.returns, 4550);
    EXPECT_EQ(z.deposits, 100000);
    EXPECT_EQ(z.withdrawals, 34285);
    EXPECT_EQ(z.cashAtClose, 100000);
    EXPECT_EQ(z.documentNumber, 9);
    EXPECT_EQ(s.ok(u"SmenNum").toInt(), 1);
    EXPECT_EQ(s.ok(u"LastReceiptNum").toInt(), 0);

    // The next shift gets the next number and starts from zero.
    s.ok(u"printNullReceipt");
    EXPECT_EQ(s.ok(u"SmenNum").toInt(), 2);

    const auto paper = tape();
    const std::vector<std::u16string> receipt1 = {
        u"       ЭМУЛЯТОР ФИСКАЛЬНОГО РЕГИСТРАТОРА",
        snLine,
        u"ДОК. 3                          01.03.2024 10:15",
        u"------------------------------------------------",
        u"КАССОВЫЙ ЧЕК                              ПРИХОД",
        u"СМЕНА 1                                    ЧЕК 1",
        u"КАССИР                                    Иванов",
        u"Хлеб",
        u"  2 X 45.50                               =91.00",
        u"  НДС 20%",
        u"Молоко",
        u"  1.500 X 89.90                          =134.85",
        u"  СКИДКА                                   =5.00",
        u"  НДС 10%",
        u"Сыр",
        u"  0.250 X 300.00                          =75.00",
        u"  СКИДКА                                   =7.50",
        u"  БЕЗ НДС",
        u"------------------------------------------------",
        u"ИТОГ                                     =288.35",
        u"НАЛИЧНЫМИ                                =300.00",
        u"СДАЧА                                     =11.65",
        u"СУММА БЕЗ НДС                             =67.50",
        u"СУММА НДС 20%                             =15.17",
        u"СУММА НДС 10%                             =11.80",
        u"================================================",
        u"",
    };
    EXPECT_EQ(documentLines(paper, u"ДОК. 3"), receipt1);

    const std::vector<std::u16string> voided = {
        u"       ЭМУЛЯТОР ФИСКАЛЬНОГО РЕГИСТРАТОРА",
        snLine,
        u"АННУЛИРОВАНИЕ                   01.03.2024 10:15",
        u"------------------------------------------------",
        u"КАССОВЫЙ ЧЕК                              ПРИХОД",
        u"КАССИР                                    Иванов",
        u"Торт",
        u"  1 X 999.00                             =999.00",
        u"  НДС 20%",
        u"------------------------------------------------",
        u"            *** ЧЕК АННУЛИРОВАН ***",
        u"================================================",
        u"",
    };
    EXPECT_EQ(documentLines(paper, u"АННУЛИРОВАНИЕ"), voided);

    const std::vector<std::u16string> nonFiscal = {
        u"       ЭМУЛЯТОР ФИСКАЛЬНОГО РЕГИСТРАТОРА",
        snLine,
        u"ДОК. 7                          01.03.2024 10:15",
        u"------------------------------------------------",
        u"Спасибо за покупку!",
        u"------------------------------------------------",
        u"             НЕФИСКАЛЬНЫЙ ДОКУМЕНТ",
        u"================================================",
        u"",
    };
    EXPECT_EQ(documentLines(paper, u"ДОК. 7"), nonFiscal);

    const auto zReport = documentLines(paper, u"ДОК. 9");
    ASSERT_GE(zReport.size(), 20u);
    EXPECT_EQ(zReport[2], u"ДОК. 9                          01.03.2024 18:15");
    EXPECT_EQ(std::vector<std::u16string>(zReport.begin() + 4, zReport.end() - 2),
              (std::vector<std::u16string>{
                  u"             ОТЧЁТ О ЗАКРЫТИИ СМЕНЫ",
                  u"СМЕНА                                          1",
                  u"ОТКРЫТА                         01.03.2024 09:00",
                  u"ЗАКРЫТА                         01.03.2024 18:15",
                  u"ЧЕКОВ ЗА СМЕНУ                                 3",
                  u"ЧЕКОВ ПРИХОДА                                  2",
                  u"ПРИХОД                                   =538.35",
                  u"ЧЕКОВ ВОЗВРАТА ПРИХОДА                         1",
                  u"ВОЗВРАТ ПРИХОДА                           =45.50",
                  u"ВНЕСЕНИЙ                                       1",
                  u"ВНЕСЕНО                                 =1000.00",
                  u"ВЫПЛАТ                                         1",
                  u"ВЫПЛАЧЕНО                                =342.85",
                  u"НАЛИЧНЫХ В КАССЕ                        =1000.00",
                  u"НЕОБНУЛЯЕМЫЙ ИТОГ ПРИХОДА                =538.35",
                  u"НЕОБНУЛЯЕМЫЙ ИТОГ ВОЗВРАТА                =45.50",
                  u"ЗАПИСЬ ФИСКАЛЬНОЙ ПАМЯТИ                       1",
              }));
}

TEST_F(DayScenario, ReportsFromFiscalMemory) {
    Session s(FDir);
    s.connect();
    for (int day = 0; day < 3; ++day) {
        s.ok(u"printNullReceipt");
        s.ok(u"beginFiscalReceipt", {i4(0), Variant(u"")});
        s.ok(u"printRecItem", {Variant(u"Чай"), money("100"), r8(day + 1), i4(0)});
        s.ok(u"printRecTotal", {money("500"), i4(0)});
        s.ok(u"endFiscalReceipt");
        s.ok(u"printZReport");
        advance(1);
    }
    // By shift numbers 2..3, and by closing dates 02.03.24..31.03.24: shifts 2 and 3 again.
    for (auto [kind, from, to] : {std::tuple{2, u"2", u"3"}, std::tuple{0, u"020324", u"310324"}}) {
        s.ok(u"printPeriodicReport", {i4(kind), Variant(from), Variant(to)});
        auto paper = tape();
        auto last = std::find(paper.rbegin(), paper.rend(), u"              ПЕРИОДИЧЕСКИЙ ОТЧЁТ");
        ASSERT_NE(last, paper.rend());
        std::vector<std::u16string> body(last.base(), paper.end());
        EXPECT_EQ(std::vector<std::u16string>(body.begin() + 1, body.begin() + 11),
                  (std::vector<std::u16string>{
                      u"СМЕНА 2                               02.03.2024",
                      u"  ПРИХОД                                 =200.00",
                      u"  ВОЗВРАТ ПРИХОДА                          =0.00",
                      u"СМЕНА 3                               03.03.2024",
                      u"  ПРИХОД                                 =300.00",
                      u"  ВОЗВРАТ ПРИХОДА                          =0.00",
                      u"------------------------------------------------",
                      u"СМЕН                                           2",
                      u"ПРИХОД                                   =500.00",
                      u"ВОЗВРАТ ПРИХОДА                            =0.00",
                  }));
    }
    for (int kind : {0, 3, 5, 6}) s.ok(u"printReport", {i4(kind)});
    EXPECT_EQ(saved().documentNumber, 3 * 3 + 2 + 4);
}

TEST_F(DayScenario, DeviceClockFollowsSetTimeAcrossRestarts) {
    {
        Session s(FDir);
        s.connect();
        EXPECT_EQ(s.ok(u"GetTime").toText(), u"090000");
        s.ok(u"SetTime", {Variant(u"183005")});
        EXPECT_EQ(s.ok(u"GetTime").toText(), u"183005");
    }
    advance(10.0 / 86400);
    Session again(FDir);
    again.connect();
    EXPECT_EQ(again.ok(u"GetTime").toText(), u"183015");
}

}  // namespace
}  // namespace fr::emu::test
