#include "uEmuDocuments.h"

#include <cmath>

#include "automation/Text.h"
#include "uEmuMoney.h"

namespace fr::emu {

namespace {
const TEmuTaxGroup kTaxGroups[kTaxSlots] = {
    {u"БЕЗ НДС", -1}, {u"НДС 20%", 20}, {u"НДС 10%", 10}, {u"НДС 18%", 18},
    {u"НДС 0%", 0},   {u"НДС 20/120", 20}, {u"НДС 10/110", 10},
};
const char16_t* const kPaymentNames[kPaymentTypes] = {u"НАЛИЧНЫМИ", u"КРЕДИТОМ", u"ЧЕКОМ", u"КАРТОЙ"};

std::u16string eq(Money m) { return u"=" + moneyText(m); }

void add(TEmuLines& l, size_t w, const std::u16string& left, const std::u16string& right) {
    l.push_back(pairLine(w, left, right));
}
size_t widthOf(const TEmuState& s) { return static_cast<size_t>(s.tapeWidth); }
}  // namespace

const TEmuTaxGroup& taxGroup(int32_t group) { return kTaxGroups[group + 1]; }
const char16_t* paymentName(int32_t type) { return kPaymentNames[type]; }

Money taxIncluded(Money turnover, int rate) {
    if (rate <= 0) return 0;
    long double t = static_cast<long double>(turnover) * rate / (100 + rate);
    return static_cast<Money>(std::llroundl(t));
}

TEmuLines documentHeader(const TEmuState& s, const std::u16string& label, double time) {
    const size_t w = widthOf(s);
    TEmuLines l;
    l.push_back(centerLine(w, u"ЭМУЛЯТОР ФИСКАЛЬНОГО РЕГИСТРАТОРА"));
    add(l, w, u"ЗН ККТ", s.serialNumber);
    add(l, w, label, tapeDateTime(time));
    l.push_back(ruleLine(w, u'-'));
    return l;
}

std::string documentText(size_t w, const TEmuLines& lines) {
    std::string out;
    for (const auto& line : lines) out += utf16ToUtf8(line) + "\n";
    out += utf16ToUtf8(ruleLine(w, u'=')) + "\n\n";
    return out;
}

TEmuLines receiptBody(const TEmuState& s, const TEmuReceipt& r, bool voided) {
    const size_t w = widthOf(s);
    TEmuLines l;
    add(l, w, u"КАССОВЫЙ ЧЕК", r.type == 0 ? u"ПРИХОД" : u"ВОЗВРАТ ПРИХОДА");
    if (!voided) add(l, w, u"СМЕНА " + num(s.shiftNumber), u"ЧЕК " + num(s.receiptNumber));
    if (!r.cashier.empty()) add(l, w, u"КАССИР", r.cashier);
    for (const auto& line : r.lines) {
        if (!line.isItem) {
            addWrapped(l, w, line.text);
            continue;
        }
        const TEmuItem& it = line.item;
        addWrapped(l, w, it.name);
        add(l, w, u"  " + quantityText(it.quantityMilli) + u" X " + moneyText(moneyFromCurrency(it.price)), eq(it.gross));
        if (it.adjustment != 0)
            add(l, w, it.adjustment < 0 ? u"  СКИДКА" : u"  НАДБАВКА", eq(it.adjustment < 0 ? -it.adjustment : it.adjustment));
        add(l, w, u"  " + std::u16string(taxGroup(it.taxGroup).name), u"");
    }
    l.push_back(ruleLine(w, u'-'));
    if (voided) {
        l.push_back(centerLine(w, u"*** ЧЕК АННУЛИРОВАН ***"));
        return l;
    }
    const Money total = r.total();
    add(l, w, u"ИТОГ", eq(total));
    for (const auto& [type, amount] : r.payments) add(l, w, paymentName(type), eq(amount));
    if (r.paid() > total) add(l, w, u"СДАЧА", eq(r.paid() - total));
    std::array<Money, kTaxSlots> turnover{};
    std::array<bool, kTaxSlots> used{};
    for (const auto& line : r.lines)
        if (line.isItem) {
            turnover[line.item.taxGroup + 1] += line.item.sum();
            used[line.item.taxGroup + 1] = true;
        }
    for (int g = -1; g < kTaxSlots - 1; ++g) {
        if (!used[g + 1]) continue;
        const TEmuTaxGroup& tg = taxGroup(g);
        if (tg.rate < 0) add(l, w, u"СУММА БЕЗ НДС", eq(turnover[g + 1]));
        else add(l, w, u"СУММА " + std::u16string(tg.name), eq(taxIncluded(turnover[g + 1], tg.rate)));
    }
    return l;
}

TEmuLines shiftReportBody(const TEmuState& s, bool zReport, double now) {
    const size_t w = widthOf(s);
    TEmuLines l;
    l.push_back(centerLine(w, zReport ? u"ОТЧЁТ О ЗАКРЫТИИ СМЕНЫ" : u"ОТЧЁТ БЕЗ ГАШЕНИЯ"));
    const TEmuShiftTotals& t = s.shift;
    if (s.shiftOpen) {
        add(l, w, u"СМЕНА", num(s.shiftNumber));
        add(l, w, u"ОТКРЫТА", tapeDateTime(s.shiftOpenedAt));
        if (zReport) add(l, w, u"ЗАКРЫТА", tapeDateTime(now));
    } else {
        add(l, w, u"СМЕНА " + num(s.shiftNumber), u"ЗАКРЫТА");
    }
    add(l, w, u"ЧЕКОВ ЗА СМЕНУ", num(s.receiptNumber));
    add(l, w, u"ЧЕКОВ ПРИХОДА", num(t.salesCount));
    add(l, w, u"ПРИХОД", eq(t.sales));
    add(l, w, u"ЧЕКОВ ВОЗВРАТА ПРИХОДА", num(t.returnsCount));
    add(l, w, u"ВОЗВРАТ ПРИХОДА", eq(t.returns));
    add(l, w, u"ВНЕСЕНИЙ", num(t.depositsCount));
    add(l, w, u"ВНЕСЕНО", eq(t.deposits));
    add(l, w, u"ВЫПЛАТ", num(t.withdrawalsCount));
    add(l, w, u"ВЫПЛАЧЕНО", eq(t.withdrawals));
    add(l, w, u"НАЛИЧНЫХ В КАССЕ", eq(s.cash));
    add(l, w, u"НЕОБНУЛЯЕМЫЙ ИТОГ ПРИХОДА", eq(s.grandSales));
    add(l, w, u"НЕОБНУЛЯЕМЫЙ ИТОГ ВОЗВРАТА", eq(s.grandReturns));
    return l;
}

TEmuLines fiscalRecordsBody(const TEmuState& s, const std::vector<const TEmuFiscalRecord*>& records) {
    const size_t w = widthOf(s);
    TEmuLines l;
    Money sales = 0, returns = 0;
    for (const TEmuFiscalRecord* r : records) {
        add(l, w, u"СМЕНА " + num(r->shiftNumber), tapeDate(r->closedAt));
        add(l, w, u"  ПРИХОД", eq(r->sales));
        add(l, w, u"  ВОЗВРАТ ПРИХОДА", eq(r->returns));
        sales += r->sales;
        returns += r->returns;
    }
    if (records.empty()) l.push_back(centerLine(w, u"ЗАПИСЕЙ НЕТ"));
    l.push_back(ruleLine(w, u'-'));
    add(l, w, u"СМЕН", num(static_cast<long long>(records.size())));
    add(l, w, u"ПРИХОД", eq(sales));
    add(l, w, u"ВОЗВРАТ ПРИХОДА", eq(returns));
    return l;
}

TEmuLines cashiersReportBody(const TEmuState& s) {
    const size_t w = widthOf(s);
    const TEmuShiftTotals& t = s.shift;
    TEmuLines l;
    l.push_back(centerLine(w, u"ОТЧЁТ ПО КАССИРАМ"));
    for (const auto& c : t.cashiers) {
        addWrapped(l, w, c.name);
        add(l, w, u"  ЧЕКОВ ПРИХОДА " + num(c.salesCount), eq(c.sales));
        add(l, w, u"  ЧЕКОВ ВОЗВРАТА " + num(c.returnsCount), eq(c.returns));
    }
    if (t.cashiers.empty()) l.push_back(centerLine(w, u"ЗАПИСЕЙ НЕТ"));
    return l;
}

TEmuLines taxReportBody(const TEmuState& s) {
    const size_t w = widthOf(s);
    const TEmuShiftTotals& t = s.shift;
    TEmuLines l;
    l.push_back(centerLine(w, u"ОТЧЁТ ПО НАЛОГАМ"));
    for (int g = -1; g < kTaxSlots - 1; ++g) {
        const TEmuTaxGroup& tg = taxGroup(g);
        const Money sale = t.saleTaxes[g + 1], ret = t.returnTaxes[g + 1];
        if (sale == 0 && ret == 0) continue;
        l.push_back(tg.name);
        add(l, w, u"  ОБОРОТ ПРИХОДА", eq(sale));
        add(l, w, u"  ОБОРОТ ВОЗВРАТА", eq(ret));
        if (tg.rate >= 0) add(l, w, u"  НАЛОГ", eq(taxIncluded(sale, tg.rate) - taxIncluded(ret, tg.rate)));
    }
    return l;
}

TEmuLines paymentsReportBody(const TEmuState& s) {
    const size_t w = widthOf(s);
    const TEmuShiftTotals& t = s.shift;
    TEmuLines l;
    l.push_back(centerLine(w, u"ОТЧЁТ ПО ВИДАМ ОПЛАТЫ"));
    for (int p = 0; p < kPaymentTypes; ++p) {
        l.push_back(paymentName(p));
        add(l, w, u"  ПРИХОД", eq(t.salePayments[p]));
        add(l, w, u"  ВОЗВРАТ ПРИХОДА", eq(t.returnPayments[p]));
    }
    return l;
}

}  // namespace fr::emu
