// Reading receipt-table rows with their defaults, and the range checks of a fiscal receipt.
#include <gtest/gtest.h>

#include <functional>

#include "automation/Text.h"
#include "dispatch/uEquipmentErrors.h"
#include "fiscal/uReceiptTables.h"

using namespace fr;

namespace {

Variant column(std::vector<Variant> cells) { return Variant(VariantArray::vector(std::move(cells))); }

// One item row as a [columns x 1] table.
Variant itemTable(std::vector<Variant> cells) {
    VariantArray a = VariantArray::matrix(static_cast<uint32_t>(cells.size()), 1);
    for (size_t c = 0; c < cells.size(); ++c) a.at({static_cast<int32_t>(c), 0}) = cells[c];
    return Variant(std::move(a));
}

std::vector<Variant> goodItem() {
    return {Variant(u"Хлеб"), Variant(u"4600000000000"), Variant(), Variant(2), Variant(45.5), Variant(2.0),
            Variant(u"скидка"), Variant::currency(10000), Variant::currency(0), Variant::currency(0),
            Variant(1), Variant::currency(15000), Variant(), Variant(3), Variant::currency(500), Variant(),
            Variant(), Variant(u"строка 1\r\nстрока 2"), Variant()};
}

std::vector<Variant> firstColumns(size_t n) {
    std::vector<Variant> all = goodItem();
    all.resize(n);
    return all;
}

std::vector<Variant> with(std::vector<Variant> cells, size_t i, Variant v) {
    cells[i] = std::move(v);
    return cells;
}

}  // namespace

TEST(ReceiptTables, ItemRows) {
    struct Case {
        const char* what;
        std::vector<Variant> cells;
        int32_t maxColumn;
        int32_t code;
        std::function<void(const TItemRow&)> check;
    };
    const Case cases[] = {
        {"every column", goodItem(), 18, 0,
         [](const TItemRow& r) {
             EXPECT_EQ(u8(r.Name), "Хлеб");
             EXPECT_EQ(u8(r.Barcode), "4600000000000");
             EXPECT_EQ(r.Department, 2);
             EXPECT_EQ(r.Price, 455000);
             EXPECT_EQ(r.Quantity, 2.0);
             EXPECT_EQ(r.DiscountAmount, 10000);
             EXPECT_EQ(r.TaxGroup, 1);
             EXPECT_EQ(r.TaxAmount, 15000);
             EXPECT_EQ(r.TaxGroup2, 3);
             EXPECT_EQ(r.TaxAmount2, 500);
             EXPECT_EQ(u8(r.ExtraText), "строка 1\r\nстрока 2");
         }},
        {"a table of ten columns: 10 to 18 take their defaults",
         firstColumns(10), 18, 0,
         [](const TItemRow& r) {
             EXPECT_EQ(r.TaxGroup, -1);
             EXPECT_EQ(r.TaxGroup2, -1);
             EXPECT_EQ(r.TaxAmount, 0);
             EXPECT_EQ(u8(r.ExtraText), "");
         }},
        {"a number as barcode gives an empty barcode", with(goodItem(), 1, Variant(4600)), 18, 0,
         [](const TItemRow& r) { EXPECT_EQ(u8(r.Barcode), ""); }},
        {"a text tax group takes the default", with(goodItem(), 10, Variant(u"2")), 18, 0,
         [](const TItemRow& r) { EXPECT_EQ(r.TaxGroup, -1); }},
        {"Null in an optional column takes the default", with(goodItem(), 13, Variant::null()), 18, 0,
         [](const TItemRow& r) { EXPECT_EQ(r.TaxGroup2, -1); }},
        {"Empty in a required column reads as zero", with(goodItem(), 7, Variant()), 18, 0,
         [](const TItemRow& r) { EXPECT_EQ(r.DiscountAmount, 0); }},
        {"a numeric text converts in a required column", with(goodItem(), 3, Variant(u"7")), 18, 0,
         [](const TItemRow& r) { EXPECT_EQ(r.Department, 7); }},
        {"quantity \"abc\"", with(goodItem(), 5, Variant(u"abc")), 18, 1004,
         [](const TItemRow& r) { EXPECT_EQ(r.Department, 2); }},  // read before the failure: kept
        {"Null in a required column", with(goodItem(), 4, Variant::null()), 18, 1004, nullptr},
        {"a required column missing", firstColumns(9), 18, 1004,
         nullptr},
        {"columns past MaxColumn are not read", with(goodItem(), 10, Variant(5)), 9, 0,
         [](const TItemRow& r) { EXPECT_EQ(r.TaxGroup, -1); }},
    };
    for (const auto& c : cases) {
        TItemRow row;
        EXPECT_EQ(ReadItemRow(itemTable(c.cells), 0, ItemRowTargets(row), c.maxColumn), c.code) << c.what;
        if (c.check) c.check(row);
    }
}

TEST(ReceiptTables, PaymentRowsAndCommonParameters) {
    VariantArray p = VariantArray::matrix(2, 1);
    p.at({0, 0}) = Variant(3);
    p.at({1, 0}) = Variant(100.25);
    TPaymentRow pay;
    pay.PaymentName = u"не тронуто";
    EXPECT_EQ(ReadPaymentRow(Variant(p), 0, PaymentRowTargets(pay), 1), 0);
    EXPECT_EQ(pay.PaymentType, 3);
    EXPECT_EQ(pay.Amount, 1002500);
    EXPECT_EQ(u8(pay.PaymentName), "не тронуто");  // past MaxColumn
    EXPECT_EQ(ReadPaymentRow(Variant(p), 0, PaymentRowTargets(pay), 3), 0);
    EXPECT_EQ(u8(pay.PaymentName), "");  // past the table: the default

    struct Case {
        const char* what;
        std::vector<Variant> cells;
        int32_t code;
    };
    const Case cases[] = {
        {"five elements", {Variant(1), Variant(true), Variant(), Variant(0.0), Variant(12.5)}, 0},
        {"four elements: element 4 is required", {Variant(1), Variant(true), Variant(), Variant(0.0)}, 1004},
        {"fiscal flag a text", {Variant(1), Variant(u"да"), Variant(), Variant(0.0), Variant(12.5)}, 1004},
    };
    for (const auto& c : cases) {
        TCommonParameters cp;
        cp.CashierName = u"прежний";
        EXPECT_EQ(ReadCommonParameters(column(c.cells), CommonParametersTargets(cp), 21), c.code) << c.what;
        if (c.code == 0) {
            EXPECT_EQ(cp.ReceiptType, 1);
            EXPECT_TRUE(cp.Fiscal);
            EXPECT_EQ(cp.Total, 125000);
            EXPECT_EQ(u8(cp.CashierName), "прежний");  // a text past the end stays as it was
        }
    }
    std::vector<Variant> full(13);
    full[0] = Variant(0);
    full[1] = Variant(false);
    full[6] = Variant(u"Добро пожаловать");
    full[12] = Variant(u"Иванова");
    TCommonParameters cp;
    EXPECT_EQ(ReadCommonParameters(column(full), CommonParametersTargets(cp), 21), 0);
    EXPECT_EQ(u8(cp.HeaderLine), "Добро пожаловать");
    EXPECT_EQ(u8(cp.CashierName), "Иванова");
}

TEST(ReceiptTables, RangeChecks) {
    auto items = [](std::vector<std::vector<Variant>> rows, int32_t lowerRow = 0, uint32_t columns = 19) {
        VariantArray a({ArrayBound{0, columns}, ArrayBound{lowerRow, static_cast<uint32_t>(rows.size())}});
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < rows[r].size() && c < columns; ++c)
                a.at({static_cast<int32_t>(c), lowerRow + static_cast<int32_t>(r)}) = rows[r][c];
        return Variant(std::move(a));
    };
    // name, department, tax group, second tax group
    auto row = [](const char16_t* name, Variant dept, Variant tax = Variant(), Variant tax2 = Variant()) {
        std::vector<Variant> r(19);
        r[0] = Variant(name);
        r[3] = std::move(dept);
        r[10] = std::move(tax);
        r[13] = std::move(tax2);
        return r;
    };
    const TReceiptLimits none;
    TReceiptLimits depts;
    depts.MinDept = 1;
    depts.MaxDept = 16;
    TReceiptLimits taxes;
    taxes.MinTax = 0;
    taxes.MaxTax = 3;
    TReceiptLimits halfTaxes;  // one bound only: no check
    halfTaxes.MaxTax = 3;
    struct Case {
        const char* what;
        Variant table;
        TReceiptLimits limits;
        int32_t code;
        std::string description;
    };
    const Case cases[] = {
        {"no limits", items({row(u"А", Variant(99), Variant(40), Variant(50))}), none, 0, ""},
        {"department 17 in the second row", items({row(u"Хлеб", Variant(1)), row(u"Молоко", Variant(17))}), depts,
         3013, "Номер отдела вне допустимого диапазона\r\nПозиция в чеке: 2) Молоко"},
        {"department 0", items({row(u"Соль", Variant(0))}), depts, 3013,
         "Номер отдела вне допустимого диапазона\r\nПозиция в чеке: 1) Соль"},
        {"rows numbered from the lower bound", items({row(u"Соль", Variant(0))}, 1), depts, 3013,
         "Номер отдела вне допустимого диапазона\r\nПозиция в чеке: 2) Соль"},
        {"departments 1 and 16", items({row(u"А", Variant(1)), row(u"Б", Variant(16))}), depts, 0, ""},
        {"tax group -1 is never out of range", items({row(u"А", Variant(1), Variant(-1), Variant(-1))}), taxes, 0, ""},
        {"first tax group 4", items({row(u"Сок", Variant(1), Variant(4))}), taxes, 3010,
         "Налоговая группа вне допустимого диапазона\r\nПозиция в чеке: 1) Сок"},
        {"second tax group 7", items({row(u"Сок", Variant(1), Variant(2), Variant(7))}), taxes, 3010,
         "Налоговая группа вне допустимого диапазона\r\nПозиция в чеке: 1) Сок"},
        {"one bound set", items({row(u"Сок", Variant(1), Variant(9))}), halfTaxes, 0, ""},
        {"department not a number", items({row(u"Сыр", Variant(u"abc"))}), none, 1004,
         "Ошибка входных параметров команды\r\nПозиция в чеке: 1) Сыр"},
        {"tax group not a number", items({row(u"Сыр", Variant(1), Variant(u"x"))}), none, 1004,
         "Ошибка входных параметров команды\r\nПозиция в чеке: 1) Сыр"},
        {"an empty name", items({row(u"", Variant(1))}), none, 0, ""},
        {"no department column: the name still read", items({row(u"Сыр", Variant(1))}, 0, 3), none, 1004,
         "Ошибка входных параметров команды\r\nПозиция в чеке: 1) Сыр"},
    };
    for (const auto& c : cases) {
        std::u16string d;
        EXPECT_EQ(CheckItemTable(c.table, c.limits, d), c.code) << c.what;
        EXPECT_EQ(u8(d), c.description) << c.what;
    }

    auto pays = [](std::vector<Variant> types) {
        VariantArray a = VariantArray::matrix(2, static_cast<uint32_t>(types.size()));
        for (size_t r = 0; r < types.size(); ++r) a.at({0, static_cast<int32_t>(r)}) = types[r];
        return Variant(std::move(a));
    };
    TReceiptLimits payLimits;
    payLimits.MinPaymentType = 0;
    payLimits.MaxPaymentType = 2;
    struct PayCase {
        Variant table;
        TReceiptLimits limits;
        int32_t code;
    };
    const PayCase payCases[] = {
        {pays({Variant(0), Variant(9)}), none, 0},
        {pays({Variant(0), Variant(2)}), payLimits, 0},
        {pays({Variant(0), Variant(3)}), payLimits, 3012},
        {pays({Variant(u"нал")}), payLimits, 1004},
    };
    for (const auto& c : payCases) {
        std::u16string d;
        EXPECT_EQ(CheckPaymentTable(c.table, c.limits, d), c.code);
        EXPECT_EQ(u8(d), c.code ? u8(ResultCodeDescription(c.code)) : "");
    }
}
