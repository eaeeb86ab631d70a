#include <nlohmann/json.hpp>

#include "automation/Text.h"
#include "uEmuErrors.h"
#include "uEmuLayout.h"
#include "uEmuState.h"

namespace fr::emu {

using nlohmann::json;

namespace {

std::string text8(const std::u16string& s) { return utf16ToUtf8(s); }

json moneyArray(const auto& a) {
    json j = json::array();
    for (Money m : a) j.push_back(m);
    return j;
}

json totalsToJson(const TEmuShiftTotals& t) {
    json cashiers = json::array();
    for (const auto& c : t.cashiers)
        cashiers.push_back({{"name", text8(c.name)},
                            {"salesCount", c.salesCount},
                            {"sales", c.sales},
                            {"returnsCount", c.returnsCount},
                            {"returns", c.returns}});
    return {{"salesCount", t.salesCount},         {"sales", t.sales},
            {"returnsCount", t.returnsCount},     {"returns", t.returns},
            {"depositsCount", t.depositsCount},   {"deposits", t.deposits},
            {"withdrawalsCount", t.withdrawalsCount}, {"withdrawals", t.withdrawals},
            {"salePayments", moneyArray(t.salePayments)}, {"returnPayments", moneyArray(t.returnPayments)},
            {"saleTaxes", moneyArray(t.saleTaxes)},   {"returnTaxes", moneyArray(t.returnTaxes)},
            {"cashiers", cashiers}};
}

json openToJson(const TEmuOpenDocument& d) {
    if (d.receipt) {
        const TEmuReceipt& r = *d.receipt;
        json lines = json::array(), payments = json::array();
        for (const auto& l : r.lines) {
            if (!l.isItem) {
                lines.push_back({{"text", text8(l.text)}});
                continue;
            }
            const TEmuItem& it = l.item;
            lines.push_back({{"item",
                              {{"name", text8(it.name)},
                               {"price", it.price},
                               {"quantityMilli", it.quantityMilli},
                               {"taxGroup", it.taxGroup},
                               {"gross", it.gross},
                               {"adjustment", it.adjustment}}}});
        }
        for (const auto& [type, amount] : r.payments) payments.push_back({{"type", type}, {"amount", amount}});
        return {{"kind", "receipt"}, {"type", r.type}, {"cashier", text8(r.cashier)}, {"lines", lines},
                {"payments", payments}};
    }
    if (d.nonFiscal) {
        json lines = json::array();
        for (const auto& l : *d.nonFiscal) lines.push_back(text8(l));
        return {{"kind", "nonFiscal"}, {"lines", lines}};
    }
    return nullptr;
}

// Reads with a path in every complaint, so a damaged file says where it is damaged.
class Reader {
public:
    Reader(const json& j, std::string path) : FJ(j), FPath(std::move(path)) {}

    const json& field(const char* name) const {
        if (!FJ.is_object()) fail(FPath, "ожидался объект");
        auto it = FJ.find(name);
        if (it == FJ.end()) fail(FPath + "." + name, "поле отсутствует");
        return *it;
    }
    bool has(const char* name) const { return FJ.is_object() && FJ.contains(name); }
    bool isNull(const char* name) const { return field(name).is_null(); }
    const std::string& path() const { return FPath; }
    Reader sub(const char* name) const { return Reader(field(name), FPath + "." + name); }
    int64_t integer(const char* name, int64_t lo, int64_t hi) const {
        const json& v = field(name);
        if (!v.is_number_integer()) fail(FPath + "." + name, "ожидалось целое число");
        int64_t x = v.get<int64_t>();
        if (x < lo || x > hi) fail(FPath + "." + name, "значение вне допустимого диапазона");
        return x;
    }
    int32_t count(const char* name) const { return static_cast<int32_t>(integer(name, 0, INT32_MAX)); }
    Money money(const char* name) const { return integer(name, -kMaxMoney * 1000, kMaxMoney * 1000); }
    bool boolean(const char* name) const {
        const json& v = field(name);
        if (!v.is_boolean()) fail(FPath + "." + name, "ожидалось true или false");
        return v.get<bool>();
    }
    std::string string(const char* name) const {
        const json& v = field(name);
        if (!v.is_string()) fail(FPath + "." + name, "ожидалась строка");
        return v.get<std::string>();
    }
    std::u16string text(const char* name) const { return utf8ToUtf16(string(name)); }
    double date(const char* name) const {
        double d = 0;
        if (!parseIsoDateTime(text(name), d)) fail(FPath + "." + name, "ожидалась дата вида ГГГГ-ММ-ДД чч:мм:сс");
        return d;
    }
    double real(const char* name) const {
        const json& v = field(name);
        if (!v.is_number()) fail(FPath + "." + name, "ожидалось число");
        return v.get<double>();
    }
    template <size_t N>
    std::array<Money, N> moneys(const char* name) const {
        const json& v = field(name);
        if (!v.is_array() || v.size() != N) fail(FPath + "." + name, "ожидался массив из " + std::to_string(N) + " сумм");
        std::array<Money, N> a{};
        for (size_t i = 0; i < N; ++i) {
            if (!v[i].is_number_integer()) fail(FPath + "." + name, "ожидались целые числа");
            a[i] = v[i].get<int64_t>();
        }
        return a;
    }
    std::vector<Reader> items(const char* name) const {
        const json& v = field(name);
        if (!v.is_array()) fail(FPath + "." + name, "ожидался массив");
        std::vector<Reader> r;
        for (size_t i = 0; i < v.size(); ++i) r.emplace_back(v[i], FPath + "." + name + "[" + std::to_string(i) + "]");
        return r;
    }

    [[noreturn]] static void fail(const std::string& where, const std::string& what) {
        throw EEmuError(ecSeeExtended, {}, utf8ToUtf16(where + ": " + what));
    }

private:
    const json& FJ;
    std::string FPath;
};

TEmuShiftTotals totalsFromJson(const Reader& r) {
    TEmuShiftTotals t;
    t.salesCount = r.count("salesCount");
    t.sales = r.money("sales");
    t.returnsCount = r.count("returnsCount");
    t.returns = r.money("returns");
    t.depositsCount = r.count("depositsCount");
    t.deposits = r.money("deposits");
    t.withdrawalsCount = r.count("withdrawalsCount");
    t.withdrawals = r.money("withdrawals");
    t.salePayments = r.moneys<kPaymentTypes>("salePayments");
    t.returnPayments = r.moneys<kPaymentTypes>("returnPayments");
    t.saleTaxes = r.moneys<kTaxSlots>("saleTaxes");
    t.returnTaxes = r.moneys<kTaxSlots>("returnTaxes");
    for (const Reader& c : r.items("cashiers")) {
        TEmuCashierTotals ct;
        ct.name = c.text("name");
        ct.salesCount = c.count("salesCount");
        ct.sales = c.money("sales");
        ct.returnsCount = c.count("returnsCount");
        ct.returns = c.money("returns");
        t.cashiers.push_back(std::move(ct));
    }
    return t;
}

TEmuOpenDocument openFromJson(const Reader& d) {
    TEmuOpenDocument open;
    const std::string kind = d.string("kind");
    if (kind == "nonFiscal") {
        open.nonFiscal.emplace();
        const json& lines = d.field("lines");
        if (!lines.is_array()) Reader::fail(d.path() + ".lines", "ожидался массив");
        for (size_t i = 0; i < lines.size(); ++i) {
            if (!lines[i].is_string()) Reader::fail(d.path() + ".lines[" + std::to_string(i) + "]", "ожидалась строка");
            open.nonFiscal->push_back(utf8ToUtf16(lines[i].get<std::string>()));
        }
        return open;
    }
    if (kind != "receipt") Reader::fail(d.path() + ".kind", "ожидалось \"receipt\" или \"nonFiscal\"");
    TEmuReceipt r;
    r.type = static_cast<int32_t>(d.integer("type", 0, 1));
    r.cashier = d.text("cashier");
    for (const Reader& l : d.items("lines")) {
        TEmuReceiptLine line;
        if (!l.has("item")) {
            line.text = l.text("text");
            r.lines.push_back(std::move(line));
            continue;
        }
        const Reader it = l.sub("item");
        line.isItem = true;
        line.item.name = it.text("name");
        line.item.price = it.integer("price", 0, kMaxMoney * 100);
        line.item.quantityMilli = it.integer("quantityMilli", 1, 99'999'999);
        line.item.taxGroup = static_cast<int32_t>(it.integer("taxGroup", -1, kTaxSlots - 2));
        line.item.gross = it.integer("gross", 0, kMaxMoney);
        line.item.adjustment = it.integer("adjustment", -kMaxMoney, kMaxMoney);
        if (line.item.sum() < 0) Reader::fail(it.path(), "скидка больше стоимости позиции");
        r.lines.push_back(std::move(line));
    }
    for (const Reader& p : d.items("payments"))
        r.payments.emplace_back(static_cast<int32_t>(p.integer("type", 0, kPaymentTypes - 1)), p.integer("amount", 1, kMaxMoney));
    open.receipt = std::move(r);
    return open;
}

}  // namespace

std::string stateToJson(const TEmuState& s) {
    json fm = json::array();
    for (const auto& r : s.fiscalMemory)
        fm.push_back({{"shiftNumber", r.shiftNumber},
                      {"openedAt", text8(isoDateTime(r.openedAt))},
                      {"closedAt", text8(isoDateTime(r.closedAt))},
                      {"receipts", r.receipts},
                      {"salesCount", r.salesCount},
                      {"sales", r.sales},
                      {"returnsCount", r.returnsCount},
                      {"returns", r.returns},
                      {"deposits", r.deposits},
                      {"withdrawals", r.withdrawals},
                      {"cashAtClose", r.cashAtClose},
                      {"grandSales", r.grandSales},
                      {"grandReturns", r.grandReturns},
                      {"documentNumber", r.documentNumber}});
    json j = {{"format", kStateFormat},
              {"serialNumber", text8(s.serialNumber)},
              {"shiftNumber", s.shiftNumber},
              {"shiftOpen", s.shiftOpen},
              {"shiftOpenedAt", text8(isoDateTime(s.shiftOpenedAt))},
              {"receiptNumber", s.receiptNumber},
              {"documentNumber", s.documentNumber},
              {"cash", s.cash},
              {"grandSales", s.grandSales},
              {"grandReturns", s.grandReturns},
              {"clockOffsetDays", s.clockOffset},
              {"tapeWidth", s.tapeWidth},
              {"shift", totalsToJson(s.shift)},
              {"fiscalMemory", fm},
              {"openDocument", openToJson(s.open)},
              {"tape", {{"end", s.tapeEnd}, {"lastDocument", s.lastTapeDocument}}}};
    return j.dump(1) + "\n";
}

TEmuState stateFromJson(const std::string& text) {
    json j = json::parse(text, nullptr, false);
    if (j.is_discarded()) Reader::fail("$", "это не текст JSON (файл обрезан или испорчен)");
    Reader r(j, "$");
    // Format 1 is the same state without the open document.
    const int64_t format = r.integer("format", 0, INT32_MAX);
    if (format != 1 && format != kStateFormat) Reader::fail("$.format", "неизвестная версия формата");
    TEmuState s;
    s.serialNumber = r.text("serialNumber");
    if (s.serialNumber.empty()) Reader::fail("$.serialNumber", "пустой заводской номер");
    s.shiftNumber = r.count("shiftNumber");
    s.shiftOpen = r.boolean("shiftOpen");
    s.shiftOpenedAt = r.date("shiftOpenedAt");
    s.receiptNumber = r.count("receiptNumber");
    s.documentNumber = r.count("documentNumber");
    s.cash = r.money("cash");
    if (s.cash < 0) Reader::fail("$.cash", "отрицательная сумма в денежном ящике");
    s.grandSales = r.money("grandSales");
    s.grandReturns = r.money("grandReturns");
    s.clockOffset = r.real("clockOffsetDays");
    if (!(s.clockOffset > -36500 && s.clockOffset < 36500)) Reader::fail("$.clockOffsetDays", "значение вне допустимого диапазона");
    if (r.has("tapeWidth")) s.tapeWidth = static_cast<int32_t>(r.integer("tapeWidth", kMinTapeWidth, kMaxTapeWidth));
    s.shift = totalsFromJson(r.sub("shift"));
    for (const Reader& f : r.items("fiscalMemory")) {
        TEmuFiscalRecord rec;
        rec.shiftNumber = f.count("shiftNumber");
        rec.openedAt = f.date("openedAt");
        rec.closedAt = f.date("closedAt");
        rec.receipts = f.count("receipts");
        rec.salesCount = f.count("salesCount");
        rec.sales = f.money("sales");
        rec.returnsCount = f.count("returnsCount");
        rec.returns = f.money("returns");
        rec.deposits = f.money("deposits");
        rec.withdrawals = f.money("withdrawals");
        rec.cashAtClose = f.money("cashAtClose");
        rec.grandSales = f.money("grandSales");
        rec.grandReturns = f.money("grandReturns");
        rec.documentNumber = f.count("documentNumber");
        s.fiscalMemory.push_back(rec);
    }
    if (format >= 2 && !r.isNull("openDocument")) s.open = openFromJson(r.sub("openDocument"));
    if (s.open.receipt && !s.shiftOpen) Reader::fail("$.openDocument", "чек открыт при закрытой смене");
    Reader tape = r.sub("tape");
    s.tapeEnd = static_cast<uint64_t>(tape.integer("end", 0, INT64_MAX));
    s.lastTapeDocument = tape.string("lastDocument");
    if (s.lastTapeDocument.size() > s.tapeEnd) Reader::fail("$.tape", "последний документ длиннее ленты");
    if (!s.shiftOpen && s.shift != TEmuShiftTotals{})
        Reader::fail("$.shift", "счётчики закрытой смены не обнулены");
    return s;
}

}  // namespace fr::emu
