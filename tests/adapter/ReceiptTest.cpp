// Receipts over the scripted universal driver: the fiscal call sequences, cancellation on every
// failure, and the text receipt's lines. Tax groups are named by the default settings: 1 "10%",
// 2 "18%"; payment type 0 "Наличные".
#include <gtest/gtest.h>

#include <cmath>

#include "DriverHost.h"

using namespace fr;
using namespace fr::test;

namespace {

Variant cy(double v) { return Variant::currency(std::llround(v * 10000)); }

struct Goods {
    std::u16string name = u"Хлеб";
    double price = 10, quantity = 2;
    int32_t tax = 1;
    double taxAmount = 0, discount = 0, value2 = 0;
    std::u16string barcode, extra;
    int32_t tax2 = -1;
    double tax2Amount = 0;
    Variant quantityCell() const { return Variant(quantity); }
};

Variant table(const std::vector<std::vector<Variant>>& rows, uint32_t columns) {
    VariantArray a = VariantArray::matrix(columns, static_cast<uint32_t>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size() && c < columns; ++c)
            a.at({static_cast<int32_t>(c), static_cast<int32_t>(r)}) = rows[r][c];
    return Variant(std::move(a));
}

std::vector<Variant> row(const Goods& g) {
    std::vector<Variant> r(19);
    r[0] = Variant(g.name);
    r[1] = Variant(g.barcode);
    r[3] = Variant(1);
    r[4] = cy(g.price);
    r[5] = g.quantityCell();
    r[7] = cy(g.discount);
    r[8] = cy(g.value2);
    r[9] = cy(0);
    r[10] = Variant(g.tax);
    r[11] = cy(g.taxAmount);
    r[13] = Variant(g.tax2);
    r[14] = cy(g.tax2Amount);
    r[17] = Variant(g.extra);
    return r;
}
Variant goods(const std::vector<Goods>& gs) {
    std::vector<std::vector<Variant>> rows;
    for (const auto& g : gs) rows.push_back(row(g));
    return table(rows, 19);
}

struct Payment {
    int32_t type;
    double amount;
    std::u16string extra, name;
};
Variant payments(const std::vector<Payment>& ps) {
    std::vector<std::vector<Variant>> rows;
    for (const auto& p : ps) rows.push_back({Variant(p.type), cy(p.amount), Variant(p.extra), Variant(p.name)});
    return table(rows, 4);
}

Variant common(bool fiscal, double total, int32_t type = 0, const std::u16string& header = u"",
               const std::u16string& totalLine = u"") {
    std::vector<Variant> c(13);
    c[0] = Variant(type);
    c[1] = Variant(fiscal);
    c[3] = cy(0);
    c[4] = cy(total);
    c[6] = Variant(header);
    c[7] = Variant(totalLine);
    c[12] = Variant(u"Иванова");
    return Variant(VariantArray::vector(c));
}

Variant receipt(const Variant& items, const Variant& pays, const Variant& common) {
    return inData({items, pays, common});
}


const std::string kBegin = "beginFiscalReceipt(&0,&Иванова)";
const std::string kBread = "printRecItem(&Хлеб,&10,&2,&1,0,0)";
const std::string kMilk = "printRecItem(&Молоко,&80,&1,&2,0,0)";

}  // namespace

TEST(Receipt, FiscalCallSequences) {
    Goods bread, milk{.name = u"Молоко", .price = 80, .quantity = 1, .tax = 2};
    struct Case {
        const char* what;
        Variant in;
        int32_t code;
        Seq calls;
        std::function<void(fr::test::FakeUniversalDriver&)> script = nullptr;
        std::string description = "";
    };
    auto sale = [&](std::vector<Goods> gs, std::vector<Payment> ps, int32_t type = 0) {
        return receipt(goods(gs), payments(ps), common(true, 100, type));
    };
    Variant unconvertible = goods({bread, milk});
    unconvertible.array().at({5, 1}) = Variant(u"abc");
    const Case cases[] = {
        {"a sale", sale({bread, milk}, {{0, 50}, {3, 50}}), 0,
         kCounters + Seq{kBegin, kBread, kMilk, "printRecTotal(&50,&0)", "printRecTotal(&50,&3)", "endFiscalReceipt()"} +
             kFiscalParams},
        {"a return", sale({bread}, {{0, 20}}, 1), 0,
         kCounters + Seq{"beginFiscalReceipt(&1,&Иванова)", kBread, "printRecTotal(&20,&0)", "endFiscalReceipt()"} +
             kFiscalParams},
        {"the second item rejected", sale({bread, milk}, {{0, 100}}), 30,
         kCounters + Seq{kBegin, kBread, kMilk, "printRecVoid()"},
         [](auto& f) { f.errorsAt[{u"printRecItem", 2}] = {30, u"Недопустимая налоговая группа", u""}; },
         "Недопустимая налоговая группа [30]"},
        {"the second quantity does not convert", receipt(unconvertible, payments({{0, 100}}), common(true, 100)), 1004,
         kCounters + Seq{kBegin, kBread, "printRecVoid()"}},
        {"payment type 4, after every item", sale({bread, milk}, {{0, 10}, {4, 90}}), 3012,
         kCounters + Seq{kBegin, kBread, kMilk, "printRecTotal(&10,&0)", "printRecVoid()"}, nullptr,
         "Номер оплаты вне допустимого диапазона"},
        {"payment type -1", sale({bread}, {{-1, 20}}), 3012, kCounters + Seq{kBegin, kBread, "printRecVoid()"}},
        {"the receipt cannot begin", sale({bread}, {{0, 20}}), 10, kCounters + Seq{kBegin, "printRecVoid()"},
         [](auto& f) { f.errors[u"beginFiscalReceipt"] = {10, u"Смена не открыта", u""}; }},
        // A refused end is checked with the register too: it may have made the receipt anyway.
        {"the end refused", sale({bread}, {{0, 5}}), 22,
         kCounters + Seq{kBegin, kBread, "printRecTotal(&5,&0)", "endFiscalReceipt()"} + kCounters +
             Seq{"printRecVoid()"},
         [](auto& f) { f.errors[u"endFiscalReceipt"] = {22, u"Сумма оплаты меньше итога чека", u""}; }},
        {"an error escapes after a successful item", sale({bread, milk}, {{0, 100}}), 1001,
         kCounters + Seq{kBegin, kBread, kMilk, "printRecVoid()"},
         [](auto& f) { f.raisesAt[{u"printRecItem", 2}] = u"Сбой связи"; }, "Сбой связи"},
        // After the end: the register is asked again, shows no new receipt, and the receipt is
        // cancelled in case the end never reached it.
        {"an error escapes reading the end's state", sale({bread}, {{0, 20}}), 1001,
         kCounters + Seq{kBegin, kBread, "printRecTotal(&20,&0)", "endFiscalReceipt()"} + kCounters +
             Seq{"printRecVoid()"},
         [](auto& f) { f.raisesAt[{u"LastError", 11}] = u"Сбой связи"; }, "Сбой связи"},
        {"receipt type 2", sale({bread}, {{0, 20}}, 2), 1004, {}},
    };
    for (const auto& c : cases) {
        DriverHost<> h;
        answerFiscalParams(*h.fake);
        if (c.script) c.script(*h.fake);
        EXPECT_EQ(h.call(u"PrintReceipt", c.in), c.code) << c.what;
        EXPECT_EQ(h.fake->sequence(), c.calls) << c.what;
        if (!c.description.empty()) {
            EXPECT_EQ(h.description(), c.description) << c.what;
        }
        if (c.code == 0) {
            EXPECT_EQ(h.out.array().at(0), Variant(7)) << c.what;
            EXPECT_EQ(h.out.array().at(1), Variant(3)) << c.what;
        }
    }
}

TEST(Receipt, FiscalItemArguments) {
    struct Case {
        Goods g;
        std::string call;
    };
    const Case cases[] = {
        // Line breaks become blanks; the name is cut to the line length (10 here).
        {{.name = u"Хлеб\r\nржаной нарезной", .tax = 1}, "printRecItem(&Хлеб  ржан,&10,&2,&1,0,0)"},
        // A discount amount excludes the second value; both go negated.
        {{.discount = 5, .value2 = 10}, "printRecItem(&Хлеб,&10,&2,&1,-5,0)"},
        {{.discount = 0, .value2 = 10}, "printRecItem(&Хлеб,&10,&2,&1,0,-10)"},
        {{.discount = -3.5}, "printRecItem(&Хлеб,&10,&2,&1,3.5,0)"},
        {{.quantity = 1.5}, "printRecItem(&Хлеб,&10,&1.5,&1,0,0)"},
    };
    for (const auto& c : cases) {
        DriverHost<> h;
        h.driver->SetSettingValue(u"MaxReceiptRowLength", Variant(10));
        h.driver->LoadDriverSettings();
        ASSERT_EQ(h.call(u"PrintReceipt", receipt(goods({c.g}), payments({{0, 20}}), common(true, 20))), 0);
        ASSERT_GE(h.fake->sequence().size(), 2u);
        EXPECT_EQ(h.fake->sequence()[kCounters.size() + 1], c.call);
        const auto item = h.fake->callsOf(u"printRecItem").at(0);
        EXPECT_EQ(item.args.at(1).type(), VarType::CY);
        EXPECT_EQ(item.args.at(4).type(), VarType::CY);
        EXPECT_EQ(item.args.at(5).type(), VarType::R8);
    }
}

TEST(Receipt, ExtraTextAndBarcodesInBothPaths) {
    struct Case {
        bool printBarcode;
        std::u16string barcode;
        int32_t barcodeType;
        Seq fiscalAfterItem, textAfterItem;
    };
    const Case cases[] = {
        {false, u"4600000000017", 0, {}, {}},
        {true, u"   ", 0, {}, {}},                      // blank: the register would refuse it
        {true, u"", 1, {}, {}},
        {true, u" 4600000000017 ", 1, {"printBarCode(&4600000000017,1)"}, {"printNonFiscalText(4600000000017)"}},
        {true, u"46000017", 0, {"printBarCode(&46000017,0)"}, {"printBarCode(46000017,0)"}},
    };
    for (const auto& c : cases) {
        Goods g{.tax = -1, .barcode = c.barcode, .extra = u"подарок"};
        for (bool fiscal : {true, false}) {
            DriverHost<> h;
            h.driver->SetSettingValue(u"PrintBarcode", Variant(c.printBarcode));
            h.driver->SetSettingValue(u"BarcodeType", Variant(c.barcodeType));
            ASSERT_EQ(h.call(u"PrintReceipt", receipt(goods({g}), payments({{0, 20}}), common(fiscal, 20))), 0);
            Seq got;
            const Seq all = h.fake->sequence();
            if (fiscal) {
                // After the counters and the item: its extra text, then the barcode, then the payment.
                const size_t at = kCounters.size() + 2;
                EXPECT_EQ(all.at(at), "printText(&подарок)");
                got.assign(all.begin() + at + 1, all.begin() + at + 1 + static_cast<long>(c.fiscalAfterItem.size()));
                EXPECT_EQ(got, c.fiscalAfterItem) << u8(c.barcode);
                EXPECT_EQ(all.at(at + 1 + c.fiscalAfterItem.size()), "printRecTotal(&20,&0)");
            } else {
                // Name, quantity, extra text, then the barcode line.
                EXPECT_EQ(all.at(3), "printNonFiscalText(подарок)");
                got.assign(all.begin() + 4, all.begin() + 4 + static_cast<long>(c.textAfterItem.size()));
                EXPECT_EQ(got, c.textAfterItem) << u8(c.barcode);
                EXPECT_EQ(all.at(4 + c.textAfterItem.size()), "printNonFiscalText(" + std::string(40, '=') + ")");
            }
        }
    }
}

TEST(Receipt, TextReceiptLines) {
    DriverHost<> h;
    answerFiscalParams(*h.fake);
    h.driver->SetSettingValue(u"PrintBarcode", Variant(true));
    h.driver->SetSettingValue(u"MaxReceiptRowLength", Variant(40));
    h.driver->LoadDriverSettings();  // the line length, the tax and payment names
    Goods bread{.taxAmount = 1.82, .discount = 5, .barcode = u" 46000017 "};
    Goods milk{.name = u"Молоко", .price = 80, .quantity = 1.5, .tax = -1, .discount = -3.5,
               .extra = u"пакет\r\nсвежее", .tax2 = 2, .tax2Amount = 18.31};
    const Variant in = receipt(goods({bread, milk}),
                               payments({{0, 100, u"наличными", u""}, {3, 50, u"", u"Карта МИР"}}),
                               common(false, 120, 0, u"Магазин", u" Спасибо "));
    ASSERT_EQ(h.call(u"PrintReceipt", in), 0);
    auto text = [](const std::string& s) { return "printNonFiscalText(" + s + ")"; };
    const Seq expected = Seq{"beginNonFiscal()",
                             text(sp(16) + "Магазин" + sp(17)),
                             text("Хлеб"),
                             text(" " + sp(30) + "2 X 10.00"),
                             text("10%" + sp(32) + "=1.82"),
                             text("СКИДКА" + sp(29) + "=5.00"),
                             "printBarCode(46000017,0)",
                             text("Молоко"),
                             text(" " + sp(26) + "1.500 X 80.00"),
                             text("18%" + sp(31) + "=18.31"),
                             text("пакет"),
                             text("свежее"),
                             text("НАЦЕНКА" + sp(28) + "=3.50"),
                             text(std::string(40, '=')),
                             text(sp(16) + "Спасибо" + sp(17)),
                             text("ИТОГ" + sp(9) + "=120.00"),
                             text(" Наличные" + sp(24) + "=100.00"),
                             text(" наличными"),
                             text(" Карта МИР" + sp(24) + "=50.00"),
                             text("СДАЧА" + sp(29) + "=30.00"),
                             text("10%" + sp(32) + "=1.82"),
                             text("18%" + sp(31) + "=18.31"),
                             "endNonFiscal()"} +
                         kFiscalParams;
    EXPECT_EQ(h.fake->sequence(), expected);
    EXPECT_EQ(h.out.array().at(0), Variant(7));
}

TEST(Receipt, TextReceiptFailuresCloseTheDocument) {
    struct Case {
        const char* what;
        Variant in;
        std::function<void(fr::test::FakeUniversalDriver&)> script;
        int32_t code;
        Seq calls;
        std::string description;
    };
    const Variant oneItem = goods({Goods{.tax = -1}});
    Variant unreadable = oneItem;
    unreadable.array().at({4, 0}) = Variant(u"дорого");
    Variant unreadablePayment = payments({{0, 20}});
    unreadablePayment.array().at({1, 0}) = Variant(u"двадцать");
    const Case cases[] = {
        {"a line refused", receipt(oneItem, payments({{0, 20}}), common(false, 20)),
         [](auto& f) { f.errorsAt[{u"printNonFiscalText", 2}] = {5, u"Недопустимое значение параметра", u""}; }, 5,
         {"beginNonFiscal()", "printNonFiscalText(Хлеб)", "printNonFiscalText(" + sp(31) + "2 X 10.00)", "endNonFiscal()"},
         "Недопустимое значение параметра [5]"},  // the refused line's text, not the end's
        // Rows are read before the document begins: a malformed one prints no empty document.
        {"an item unreadable", receipt(unreadable, payments({{0, 20}}), common(false, 20)), nullptr, 1004, {},
         "Ошибка входных параметров команды"},
        {"a payment unreadable", receipt(oneItem, unreadablePayment, common(false, 20)), nullptr, 1004, {},
         "Ошибка входных параметров команды"},
        {"the document cannot begin", receipt(oneItem, payments({{0, 20}}), common(false, 20)),
         [](auto& f) { f.errors[u"beginNonFiscal"] = {25, u"Открыт другой документ", u""}; }, 25, {"beginNonFiscal()"},
         "Открыт другой документ [25]"},
        {"an error escapes", receipt(oneItem, payments({{0, 20}}), common(false, 20)),
         [](auto& f) { f.raisesAt[{u"printNonFiscalText", 3}] = u"Сбой связи"; }, 1001,
         {"beginNonFiscal()", "printNonFiscalText(Хлеб)", "printNonFiscalText( " + sp(30) + "2 X 10.00)",
          "printNonFiscalText(" + std::string(40, '=') + ")", "endNonFiscal()"},
         "Сбой связи"},
        {"receipt type 5", receipt(oneItem, payments({{0, 20}}), common(false, 20, 5)), nullptr, 1004, {}, ""},
    };
    for (const auto& c : cases) {
        DriverHost<> h;
        answerFiscalParams(*h.fake);
        if (c.script) c.script(*h.fake);
        EXPECT_EQ(h.call(u"PrintReceipt", c.in), c.code) << c.what;
        EXPECT_EQ(h.fake->sequence(), c.calls) << c.what;
        if (!c.description.empty()) {
            EXPECT_EQ(h.description(), c.description) << c.what;
        }
    }
}
