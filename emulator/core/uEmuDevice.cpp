#include "uEmuDevice.h"

#include <cmath>
#include <map>

#include "automation/DateTime.h"
#include "automation/Text.h"
#include "uEmuClock.h"
#include "uEmuErrors.h"

namespace fr::emu {

namespace fs = std::filesystem;
using Guard = std::lock_guard<std::mutex>;

namespace {
constexpr int64_t kMaxQuantityMilli = 99'999'999;  // 99 999.999
constexpr double kShiftLength = 1.0;               // a day, in OLE date units

std::mutex& registryLock() {
    static std::mutex m;
    return m;
}
std::map<std::string, std::weak_ptr<TEmuDevice>>& registry() {
    static std::map<std::string, std::weak_ptr<TEmuDevice>> r;
    return r;
}

std::string folderKey(const fs::path& folder) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(folder, ec), ec);
    return utf16ToUtf8(p.lexically_normal().u16string());
}

bool isDigits(const std::u16string& s) {
    for (char16_t c : s)
        if (c < u'0' || c > u'9') return false;
    return !s.empty();
}

// "ddmmyy" as a date at midnight.
bool parseShortDate(const std::u16string& s, double& out) {
    if (s.size() != 6 || !isDigits(s)) return false;
    auto two = [&](size_t i) { return (s[i] - u'0') * 10 + (s[i + 1] - u'0'); };
    return tryEncodeDateTime(2000 + two(4), two(2), two(0), 0, 0, 0, 0, out);
}

bool parseCount(const std::u16string& s, int32_t& out) {
    std::u16string t = trim(s);
    if (!isDigits(t) || t.size() > 9) return false;
    out = std::stoi(utf16ToUtf8(t));
    return true;
}

Money checkedAmount(int64_t currency) {
    Money m = moneyFromCurrency(currency);
    if (m <= 0 || m > kMaxMoney) throw EEmuError(ecBadAmount);
    return m;
}

TEmuCashierTotals& cashierTotals(TEmuShiftTotals& t, const std::u16string& name) {
    for (auto& c : t.cashiers)
        if (c.name == name) return c;
    t.cashiers.push_back({name});
    return t.cashiers.back();
}
}  // namespace

std::shared_ptr<TEmuDevice> TEmuDevice::open(const fs::path& folder) {
    const std::string key = folderKey(folder);
    std::lock_guard g(registryLock());
    if (auto existing = registry()[key].lock()) return existing;
    auto device = std::make_shared<TEmuDevice>(folder);
    registry()[key] = device;
    return device;
}

TEmuDevice::TEmuDevice(const fs::path& folder) : FStore(folder), FState(FStore.load()) {}

void TEmuDevice::reload() {
    Guard g(FLock);
    FState = FStore.load();
}

TEmuState TEmuDevice::state() const {
    Guard g(FLock);
    return FState;
}
std::u16string TEmuDevice::serialNumber() const {
    Guard g(FLock);
    return FState.serialNumber;
}
Money TEmuDevice::cash() const {
    Guard g(FLock);
    return FState.cash;
}
int32_t TEmuDevice::shiftNumber() const {
    Guard g(FLock);
    return FState.shiftNumber;
}
int32_t TEmuDevice::lastReceiptNumber() const {
    Guard g(FLock);
    return FState.receiptNumber;
}
double TEmuDevice::deviceTime() const {
    Guard g(FLock);
    return emuComputerNow() + FState.clockOffset;
}
bool TEmuDevice::receiptOpen() const {
    Guard g(FLock);
    return FState.open.receipt.has_value();
}
bool TEmuDevice::nonFiscalOpen() const {
    Guard g(FLock);
    return FState.open.nonFiscal.has_value();
}
TEmuOpenDocument TEmuDevice::openDocument() const {
    Guard g(FLock);
    return FState.open;
}

void TEmuDevice::requireNoDocument() const {
    if (FState.open.receipt) throw EEmuError(ecReceiptOpen);
    if (FState.open.nonFiscal) throw EEmuError(ecDocumentOpen, u"Открыт нефискальный документ");
}

void TEmuDevice::requireLiveShift(double now) const {
    if (!FState.shiftOpen) throw EEmuError(ecShiftClosed);
    if (now - FState.shiftOpenedAt >= kShiftLength) throw EEmuError(ecShiftExpired);
}

void TEmuDevice::commitDocument(TEmuState& next, const std::u16string& label, const TEmuLines& body, double now) {
    TEmuLines lines = documentHeader(next, label, now);
    lines.insert(lines.end(), body.begin(), body.end());
    FStore.commit(FState, next, documentText(width(), lines));
    FState = std::move(next);
}

void TEmuDevice::commitState(TEmuState& next) {
    FStore.commit(FState, next, {});
    FState = std::move(next);
}

void TEmuDevice::setTime(int hour, int minute, int second) {
    Guard g(FLock);
    double time = 0;
    if (!tryEncodeDateTime(2000, 1, 1, hour, minute, second, 0, time)) throw EEmuError(ecBadTime);
    const double computer = emuComputerNow();
    const double today = std::floor(computer + FState.clockOffset);
    TEmuState next = FState;
    next.clockOffset = today + encodeTime(hour, minute, second, 0) - computer;
    commitState(next);
}

void TEmuDevice::printNullReceipt() {
    Guard g(FLock);
    requireNoDocument();
    const double now = emuComputerNow() + FState.clockOffset;
    TEmuState next = FState;
    next.documentNumber++;
    TEmuLines body;
    if (!FState.shiftOpen) {
        next.shiftNumber++;
        next.shiftOpen = true;
        next.shiftOpenedAt = now;
        next.receiptNumber = 0;
        next.shift = {};
        body.push_back(pairLine(width(), u"ОТКРЫТИЕ СМЕНЫ", num(next.shiftNumber)));
        body.push_back(pairLine(width(), u"НАЛИЧНЫХ В КАССЕ", u"=" + moneyText(next.cash)));
    } else {
        requireLiveShift(now);
        body.push_back(centerLine(width(), u"НУЛЕВОЙ ЧЕК"));
        body.push_back(pairLine(width(), u"СМЕНА", num(next.shiftNumber)));
        body.push_back(pairLine(width(), u"ИТОГ", u"=0.00"));
    }
    commitDocument(next, u"ДОК. " + num(next.documentNumber), body, now);
}

void TEmuDevice::openCashDrawer() {
    Guard g(FLock);
    // A drawer opens whatever is printing; nothing to remember.
}

void TEmuDevice::printXReport() {
    Guard g(FLock);
    requireNoDocument();
    const double now = emuComputerNow() + FState.clockOffset;
    TEmuState next = FState;
    next.documentNumber++;
    commitDocument(next, u"ДОК. " + num(next.documentNumber), shiftReportBody(next, false, now), now);
}

void TEmuDevice::printZReport() {
    Guard g(FLock);
    requireNoDocument();
    if (!FState.shiftOpen) throw EEmuError(ecShiftClosed);
    const double now = emuComputerNow() + FState.clockOffset;
    TEmuState next = FState;
    next.documentNumber++;
    TEmuLines body = shiftReportBody(next, true, now);
    const TEmuShiftTotals& t = next.shift;
    TEmuFiscalRecord rec;
    rec.shiftNumber = next.shiftNumber;
    rec.openedAt = next.shiftOpenedAt;
    rec.closedAt = now;
    rec.receipts = next.receiptNumber;
    rec.salesCount = t.salesCount;
    rec.sales = t.sales;
    rec.returnsCount = t.returnsCount;
    rec.returns = t.returns;
    rec.deposits = t.deposits;
    rec.withdrawals = t.withdrawals;
    rec.cashAtClose = next.cash;
    rec.grandSales = next.grandSales;
    rec.grandReturns = next.grandReturns;
    rec.documentNumber = next.documentNumber;
    next.fiscalMemory.push_back(rec);
    body.push_back(pairLine(width(), u"ЗАПИСЬ ФИСКАЛЬНОЙ ПАМЯТИ", num(static_cast<long long>(next.fiscalMemory.size()))));
    next.shiftOpen = false;
    next.receiptNumber = 0;
    next.shift = {};
    commitDocument(next, u"ДОК. " + num(next.documentNumber), body, now);
}

void TEmuDevice::printPeriodicReport(int32_t kind, const std::u16string& from, const std::u16string& to) {
    Guard g(FLock);
    requireNoDocument();
    std::vector<const TEmuFiscalRecord*> records;
    TEmuLines body;
    body.push_back(centerLine(width(), u"ПЕРИОДИЧЕСКИЙ ОТЧЁТ"));
    if (kind == 0) {
        double a = 0, b = 0;
        if (!parseShortDate(from, a) || !parseShortDate(to, b) || a > b) throw EEmuError(ecBadPeriod);
        body.push_back(pairLine(width(), u"С " + tapeDate(a), u"ПО " + tapeDate(b)));
        for (const auto& r : FState.fiscalMemory)
            if (std::floor(r.closedAt) >= a && std::floor(r.closedAt) <= b) records.push_back(&r);
    } else if (kind == 2) {
        int32_t a = 0, b = 0;
        if (!parseCount(from, a) || !parseCount(to, b) || a > b) throw EEmuError(ecBadPeriod);
        body.push_back(pairLine(width(), u"СО СМЕНЫ " + num(a), u"ПО СМЕНУ " + num(b)));
        for (const auto& r : FState.fiscalMemory)
            if (r.shiftNumber >= a && r.shiftNumber <= b) records.push_back(&r);
    } else {
        throw EEmuError(ecBadReportKind);
    }
    TEmuLines list = fiscalRecordsBody(FState, records);
    body.insert(body.end(), list.begin(), list.end());
    const double now = emuComputerNow() + FState.clockOffset;
    TEmuState next = FState;
    next.documentNumber++;
    commitDocument(next, u"ДОК. " + num(next.documentNumber), body, now);
}

void TEmuDevice::printReport(int32_t kind) {
    Guard g(FLock);
    requireNoDocument();
    TEmuLines body;
    switch (kind) {
        case 0: body = cashiersReportBody(FState); break;
        case 3: body = taxReportBody(FState); break;
        case 5: body = paymentsReportBody(FState); break;
        case 6: {
            std::vector<const TEmuFiscalRecord*> all;
            for (const auto& r : FState.fiscalMemory) all.push_back(&r);
            body.push_back(centerLine(width(), u"ФИСКАЛЬНАЯ ПАМЯТЬ"));
            TEmuLines list = fiscalRecordsBody(FState, all);
            body.insert(body.end(), list.begin(), list.end());
            break;
        }
        default: throw EEmuError(ecBadReportKind);
    }
    const double now = emuComputerNow() + FState.clockOffset;
    TEmuState next = FState;
    next.documentNumber++;
    commitDocument(next, u"ДОК. " + num(next.documentNumber), body, now);
}

void TEmuDevice::printRecCash(int64_t amountCurrency) {
    Guard g(FLock);
    requireNoDocument();
    const double now = emuComputerNow() + FState.clockOffset;
    requireLiveShift(now);
    const bool deposit = amountCurrency > 0;
    const Money amount = checkedAmount(deposit ? amountCurrency : -amountCurrency);
    TEmuState next = FState;
    if (deposit) {
        if (next.cash + amount > kMaxMoney * 100) throw EEmuError(ecBadAmount);
        next.cash += amount;
        next.shift.deposits += amount;
        next.shift.depositsCount++;
    } else {
        if (amount > next.cash) throw EEmuError(ecNotEnoughCash);
        next.cash -= amount;
        next.shift.withdrawals += amount;
        next.shift.withdrawalsCount++;
    }
    next.documentNumber++;
    TEmuLines body;
    body.push_back(centerLine(width(), deposit ? u"ВНЕСЕНИЕ" : u"ВЫПЛАТА"));
    body.push_back(pairLine(width(), u"СМЕНА", num(next.shiftNumber)));
    body.push_back(pairLine(width(), u"СУММА", u"=" + moneyText(amount)));
    body.push_back(pairLine(width(), u"НАЛИЧНЫХ В КАССЕ", u"=" + moneyText(next.cash)));
    commitDocument(next, u"ДОК. " + num(next.documentNumber), body, now);
}

void TEmuDevice::beginFiscalReceipt(int32_t type, const std::u16string& cashier) {
    Guard g(FLock);
    requireNoDocument();
    if (type != 0 && type != 1) throw EEmuError(ecBadReceiptType);
    requireLiveShift(emuComputerNow() + FState.clockOffset);
    TEmuState next = FState;
    next.open.receipt = TEmuReceipt{type, cashier, {}, {}};
    commitState(next);
}

void TEmuDevice::printRecItem(const std::u16string& name, int64_t priceCurrency, double quantity, int32_t taxGroup,
                              int64_t discountCurrency, double percent) {
    Guard g(FLock);
    if (!FState.open.receipt) throw EEmuError(ecReceiptNotOpen);
    if (!FState.open.receipt->payments.empty()) throw EEmuError(ecItemsAfterPayment);
    if (priceCurrency < 0 || priceCurrency > kMaxMoney * 100)
        throw EEmuError(ecBadAmount, u"Недопустимая цена");
    if (!std::isfinite(quantity) || quantity <= 0 || quantity * 1000 > kMaxQuantityMilli + 0.5)
        throw EEmuError(ecBadParameter, u"Недопустимое количество");
    const int64_t qty = quantityThousandths(quantity);
    if (qty <= 0) throw EEmuError(ecBadParameter, u"Недопустимое количество");
    if (taxGroup < -1 || taxGroup > kTaxSlots - 2) throw EEmuError(ecBadTaxGroup);
    if (!std::isfinite(percent) || std::fabs(percent) > 1000 || discountCurrency < -kMaxMoney * 100 ||
        discountCurrency > kMaxMoney * 100)
        throw EEmuError(ecBadParameter, u"Недопустимая скидка");
    TEmuItem item;
    item.name = name;
    item.price = priceCurrency;
    item.quantityMilli = qty;
    item.taxGroup = taxGroup;
    item.gross = moneyTimes(priceCurrency, qty);
    item.adjustment = moneyFromCurrency(discountCurrency) + std::llround(static_cast<double>(item.gross) * percent / 100.0);
    if (item.gross > kMaxMoney || item.sum() > kMaxMoney) throw EEmuError(ecBadAmount, u"Слишком большая сумма позиции");
    if (item.sum() < 0) throw EEmuError(ecDiscountTooLarge);
    if (FState.open.receipt->total() + item.sum() > kMaxMoney) throw EEmuError(ecBadAmount, u"Слишком большая сумма чека");
    TEmuReceiptLine line;
    line.isItem = true;
    line.item = std::move(item);
    TEmuState next = FState;
    next.open.receipt->lines.push_back(std::move(line));
    commitState(next);
}

void TEmuDevice::printText(const std::u16string& line) {
    Guard g(FLock);
    if (!FState.open.receipt && !FState.open.nonFiscal) throw EEmuError(ecReceiptNotOpen);
    TEmuState next = FState;
    if (next.open.nonFiscal) {
        addWrapped(*next.open.nonFiscal, width(), line);
    } else {
        TEmuReceiptLine l;
        l.text = line;
        next.open.receipt->lines.push_back(std::move(l));
    }
    commitState(next);
}

void TEmuDevice::printBarCode(const std::u16string& code, int32_t type) {
    Guard g(FLock);
    if (!FState.open.receipt && !FState.open.nonFiscal) throw EEmuError(ecReceiptNotOpen);
    static const char16_t* const names[] = {u"EAN-8", u"EAN-13", u"CODE-128"};
    bool ok = false;
    switch (type) {
        case 0: ok = isDigits(code) && (code.size() == 7 || code.size() == 8); break;
        case 1: ok = isDigits(code) && (code.size() == 12 || code.size() == 13); break;
        case 2:
            ok = !code.empty() && code.size() <= 48;
            for (char16_t c : code) ok = ok && c >= 32 && c < 127;
            break;
        default: break;
    }
    if (!ok) throw EEmuError(ecBadBarcode);
    const std::u16string text = centerLine(width(), u"[" + std::u16string(names[type]) + u" " + code + u"]");
    TEmuState next = FState;
    if (next.open.nonFiscal) {
        next.open.nonFiscal->push_back(text);
    } else {
        TEmuReceiptLine l;
        l.text = text;
        next.open.receipt->lines.push_back(std::move(l));
    }
    commitState(next);
}

void TEmuDevice::printRecTotal(int64_t amountCurrency, int32_t paymentType) {
    Guard g(FLock);
    if (!FState.open.receipt) throw EEmuError(ecReceiptNotOpen);
    const TEmuReceipt& r = *FState.open.receipt;
    if (paymentType < 0 || paymentType >= kPaymentTypes) throw EEmuError(ecBadPaymentType);
    const Money amount = checkedAmount(amountCurrency);
    if (r.payments.size() >= 100) throw EEmuError(ecBadParameter, u"Слишком много оплат в чеке");
    if (paymentType != 0) {
        const Money nonCash = r.paid() - r.paidCash() + amount;
        if (nonCash > r.total()) throw EEmuError(ecNonCashExceedsTotal);
    }
    TEmuState next = FState;
    next.open.receipt->payments.emplace_back(paymentType, amount);
    commitState(next);
}

void TEmuDevice::endFiscalReceipt() {
    Guard g(FLock);
    if (!FState.open.receipt) throw EEmuError(ecReceiptNotOpen);
    const TEmuReceipt r = *FState.open.receipt;
    bool hasItems = false;
    for (const auto& l : r.lines) hasItems = hasItems || l.isItem;
    if (!hasItems) throw EEmuError(ecNoItems);
    const Money total = r.total(), paid = r.paid();
    if (paid < total) throw EEmuError(ecPaymentShort);
    const Money change = paid - total;
    const Money cashMoved = r.paidCash() - change;  // never negative: non-cash never exceeds the total

    TEmuState next = FState;
    next.open.receipt.reset();
    TEmuShiftTotals& t = next.shift;
    TEmuCashierTotals& c = cashierTotals(t, r.cashier);
    const bool sale = r.type == 0;
    if (sale) {
        next.cash += cashMoved;
        t.sales += total;
        t.salesCount++;
        c.sales += total;
        c.salesCount++;
        next.grandSales += total;
    } else {
        if (cashMoved > next.cash) throw EEmuError(ecNotEnoughCash);
        next.cash -= cashMoved;
        t.returns += total;
        t.returnsCount++;
        c.returns += total;
        c.returnsCount++;
        next.grandReturns += total;
    }
    auto& payments = sale ? t.salePayments : t.returnPayments;
    for (const auto& [type, amount] : r.payments) payments[type] += amount;
    payments[0] -= change;
    auto& taxes = sale ? t.saleTaxes : t.returnTaxes;
    for (const auto& l : r.lines)
        if (l.isItem) taxes[l.item.taxGroup + 1] += l.item.sum();
    next.receiptNumber++;
    next.documentNumber++;
    const double now = emuComputerNow() + FState.clockOffset;
    commitDocument(next, u"ДОК. " + num(next.documentNumber), receiptBody(next, r, false), now);
}

void TEmuDevice::printRecVoid() {
    Guard g(FLock);
    if (!FState.open.receipt) throw EEmuError(ecReceiptNotOpen);
    const double now = emuComputerNow() + FState.clockOffset;
    TEmuState next = FState;
    TEmuLines body = receiptBody(next, *next.open.receipt, true);
    next.open.receipt.reset();
    commitDocument(next, u"АННУЛИРОВАНИЕ", body, now);
}

void TEmuDevice::beginNonFiscal() {
    Guard g(FLock);
    requireNoDocument();
    TEmuState next = FState;
    next.open.nonFiscal.emplace();
    commitState(next);
}

void TEmuDevice::printNonFiscalText(const std::u16string& line) {
    Guard g(FLock);
    if (!FState.open.nonFiscal) throw EEmuError(ecNonFiscalNotOpen);
    TEmuState next = FState;
    addWrapped(*next.open.nonFiscal, width(), line);
    commitState(next);
}

void TEmuDevice::endNonFiscal() {
    Guard g(FLock);
    if (!FState.open.nonFiscal) throw EEmuError(ecNonFiscalNotOpen);
    const double now = emuComputerNow() + FState.clockOffset;
    TEmuState next = FState;
    next.documentNumber++;
    TEmuLines body = *next.open.nonFiscal;
    next.open.nonFiscal.reset();
    body.push_back(ruleLine(width(), u'-'));
    body.push_back(centerLine(width(), u"НЕФИСКАЛЬНЫЙ ДОКУМЕНТ"));
    commitDocument(next, u"ДОК. " + num(next.documentNumber), body, now);
}

}  // namespace fr::emu
