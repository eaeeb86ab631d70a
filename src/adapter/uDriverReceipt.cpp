// TDriverFR's receipts: a fiscal receipt driven call by call on the universal driver, or the same
// tables laid out as text lines and printed as a non-fiscal document.
#include "adapter/uDriver.h"
#include "adapter/uDriverFrame.h"
#include "adapter/uInDataFingerprint.h"
#include "automation/Text.h"
#include "dispatch/uEquipmentErrors.h"

namespace fr {

namespace {
constexpr int32_t kLastFiscalPaymentType = 3;

bool knownReceiptType(int32_t type) { return type == 0 || type == 1; }

std::u16string withoutLineBreaks(std::u16string s) {
    for (char16_t& c : s)
        if (c == u'\r' || c == u'\n') c = u' ';
    return s;
}

// The lines of a text column that may hold several, separated by CR LF.
std::vector<std::u16string> crlfLines(const std::u16string& text) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    for (size_t at; (at = text.find(u"\r\n", start)) != std::u16string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    lines.push_back(text.substr(start));
    return lines;
}
}  // namespace

int32_t TDriverFR::PrintReceipt(Variant& ItemTable, Variant& PaymentTable, Variant& CommonParameters,
                                TFiscalResult& Result, std::u16string& ResultDescription) {
    return Frame(ResultDescription, false, [&](int32_t& code) {
        TCommonParameters common;
        code = ReadCommonParameters(CommonParameters, CommonParametersTargets(common), kCommonParameters - 1);
        if (code != rcOK) return;
        code = DeviceReady();
        if (code != rcOK) return;
        if (common.Fiscal) {
            if (!knownReceiptType(common.ReceiptType)) {
                code = rcInvalidParameters;
                return;
            }
            code = PrintFiscalReceipt(ItemTable, PaymentTable, common.ReceiptType, common.CashierName,
                                      InDataPrints({&ItemTable, &PaymentTable, &CommonParameters}), Result);
        } else {
            code = PrintTextReceipt(ItemTable, PaymentTable, common);
            if (code == rcOK) code = GetFiscalParams(Result);
        }
    });
}

// ---- the fiscal receipt ----

int32_t TDriverFR::PrintFiscalReceipt(const Variant& ItemTable, const Variant& PaymentTable, int32_t ReceiptType,
                                      const std::u16string& CashierName, const TInDataPrints& Prints,
                                      TFiscalResult& Result) {
    TMoneyOperation op;
    op.Kind = TMoneyKind::mkReceipt;
    op.Prints = Prints;
    op.Prepare = [&] {
        auto begin = [&] {
            return CallChecked(u"beginFiscalReceipt", {Arg(Variant(ReceiptType), true), Arg(Variant(CashierName), true)});
        };
        int32_t code = begin();
        if (code == kVendorReceiptOpen) {
            // The register's lock is held: an open receipt belongs to no live operation of ours
            // (a killed host, a lost journal, another program), and would refuse every new one.
            JournalLog(u"На ККТ открыт чек, " +
                       (FOpenReceiptOwner.empty()
                            ? std::u16string(u"о котором журнал не знает (программа была прервана, журнал потерян "
                                             u"или чек начат другой программой)")
                            : u"оставленный операцией журнала " + FOpenReceiptOwner) +
                       u": он аннулирован, и чек начат снова");
            // The second begin tells whether the cancel took.
            Call(u"printRecVoid");
            code = begin();
        }
        const TRowRange items = TableRows(ItemTable);
        for (int32_t row = items.First; code == rcOK && row <= items.Last; ++row) code = PrintFiscalItem(ItemTable, row);
        if (code != rcOK) return code;
        const TRowRange payments = TableRows(PaymentTable);
        for (int32_t row = payments.First; row <= payments.Last; ++row) {
            TPaymentRow p;
            code = ReadPaymentRow(PaymentTable, row, PaymentRowTargets(p), 1);
            if (code != rcOK) return code;
            if (p.PaymentType < 0 || p.PaymentType > kLastFiscalPaymentType) return rcPaymentNumberOutOfRange;
            std::vector<Arg> args{Arg(Variant::currency(p.Amount), true), Arg(Variant(p.PaymentType), true)};
            Call(u"printRecTotal", args);
        }
        return rcOK;
    };
    op.CommitMethod = u"endFiscalReceipt";
    return RunMoneyOperation(op, Result);
}

int32_t TDriverFR::PrintFiscalItem(const Variant& ItemTable, int32_t Row) {
    TItemRow item;
    if (ReadItemRow(ItemTable, Row, ItemRowTargets(item), kItemColumns - 1) != rcOK) return rcInvalidParameters;
    const std::u16string name = withoutLineBreaks(item.Name).substr(0, FLineLen);
    // A discount amount excludes the second discount value.
    if (item.DiscountAmount != 0) item.DiscountValue2 = 0;
    int32_t code = CallChecked(u"printRecItem",
                               {Arg(Variant(name), true), Arg(Variant::currency(item.Price), true),
                                Arg(Variant(item.Quantity), true), Arg(Variant(item.TaxGroup), true),
                                Arg(Variant::currency(-item.DiscountAmount)),
                                Arg(Variant(static_cast<double>(-item.DiscountValue2) / 10000.0))});
    if (code == rcOK && !item.ExtraText.empty()) code = CallChecked(u"printText", {Arg(Variant(item.ExtraText), true)});
    if (code == rcOK) {
        const std::u16string barcode = BarcodeToPrint(item.Barcode);
        if (!barcode.empty())
            code = CallChecked(u"printBarCode",
                               {Arg(Variant(barcode), true), Arg(Variant(GetSettingValueInt(u"BarcodeType")))});
    }
    return code;
}

std::u16string TDriverFR::BarcodeToPrint(const std::u16string& Barcode) {
    if (!GetSettingValueBool(u"PrintBarcode")) return {};
    return trim(Barcode);
}

// ---- the text receipt ----

int32_t TDriverFR::PrintTextReceipt(const Variant& ItemTable, const Variant& PaymentTable,
                                    const TCommonParameters& Common) {
    if (!knownReceiptType(Common.ReceiptType)) return rcInvalidParameters;
    // Every row is read and laid out before the document begins: a malformed row must not leave
    // an empty document on the tape.
    TLineList lines;
    TTaxAccumulators taxes;
    if (!Common.HeaderLine.empty()) lines.push_back({CenterText(Common.HeaderLine, FLineLen)});
    const TRowRange items = TableRows(ItemTable);
    for (int32_t row = items.First; row <= items.Last; ++row) {
        const int32_t code = AddTextItemLines(ItemTable, row, lines, taxes);
        if (code != rcOK) return code;
    }
    const int32_t code = AddClosingLines(PaymentTable, Common, lines, taxes);
    if (code != rcOK) return code;
    return InNonFiscalDocument([&](bool&) { return PrintLines(lines); });
}

int32_t TDriverFR::AddTextItemLines(const Variant& ItemTable, int32_t Row, TLineList& Lines,
                                    TTaxAccumulators& Taxes) {
    TItemRow item;
    if (ReadItemRow(ItemTable, Row, ItemRowTargets(item), kItemColumns - 1) != rcOK) return rcInvalidParameters;
    Lines.push_back({item.Name});
    Lines.push_back({JustifyPair(u" ", QuantityText(item.Quantity) + u" X " + AmountText(item.Price))});
    if (item.TaxGroup > 0) Taxes.Add(item.TaxGroup, item.TaxAmount);
    if (item.TaxGroup2 > 0) Taxes.Add(item.TaxGroup2, item.TaxAmount2);
    if (item.TaxGroup > 0)
        Lines.push_back({JustifyPair(FTaxNames.Value(item.TaxGroup), u"=" + AmountText(item.TaxAmount))});
    else if (item.TaxGroup2 > 0)
        Lines.push_back({JustifyPair(FTaxNames.Value(item.TaxGroup2), u"=" + AmountText(item.TaxAmount2))});
    if (!item.ExtraText.empty())
        for (const std::u16string& l : crlfLines(item.ExtraText)) Lines.push_back({l});
    if (item.DiscountAmount != 0) {
        const int64_t magnitude = item.DiscountAmount < 0 ? -item.DiscountAmount : item.DiscountAmount;
        Lines.push_back({JustifyPair(item.DiscountAmount > 0 ? u"СКИДКА" : u"НАЦЕНКА", u"=" + AmountText(magnitude))});
    }
    const std::u16string barcode = BarcodeToPrint(item.Barcode);
    if (!barcode.empty())
        Lines.push_back({barcode, GetSettingValueInt(u"BarcodeType") == 0 ? lmBarcode : lmBarcodeText});
    return rcOK;
}

int32_t TDriverFR::AddClosingLines(const Variant& PaymentTable, const TCommonParameters& Common, TLineList& Lines,
                                   const TTaxAccumulators& Taxes) {
    Lines.push_back({std::u16string(FLineLen, u'=')});
    if (!Common.TotalLine.empty()) Lines.push_back({CenterText(Common.TotalLine, FLineLen)});
    Lines.push_back({JustifyPair(u"ИТОГ", u"=" + AmountText(Common.Total), FLineLen / 2), lmTotal});
    int64_t paid = 0;
    const TRowRange payments = TableRows(PaymentTable);
    for (int32_t row = payments.First; row <= payments.Last; ++row) {
        TPaymentRow p;
        const int32_t code = ReadPaymentRow(PaymentTable, row, PaymentRowTargets(p), kPaymentColumns - 1);
        if (code != rcOK) return code;
        paid += p.Amount;
        const std::u16string name = p.PaymentName.empty() ? FPaymentNames.Value(p.PaymentType) : p.PaymentName;
        Lines.push_back({JustifyPair(u" " + name, u"=" + AmountText(p.Amount))});
        if (!p.ExtraText.empty()) Lines.push_back({u" " + p.ExtraText});
    }
    const int64_t change = paid - Common.Total;
    if (change > 0) Lines.push_back({JustifyPair(u"СДАЧА", u"=" + AmountText(change))});
    for (int32_t g = TTaxAccumulators::kFirstGroup; g <= TTaxAccumulators::kLastGroup; ++g)
        if (Taxes.Used(g) && Taxes.Amount(g) > 0)
            Lines.push_back({JustifyPair(FTaxNames.Value(g), u"=" + AmountText(Taxes.Amount(g)))});
    return rcOK;
}

int32_t TDriverFR::PrintLines(const TLineList& Lines) {
    for (const TReceiptLine& line : Lines) {
        const int32_t code =
            line.Marker == lmBarcode
                ? CallChecked(u"printBarCode", {Arg(Variant(line.Text)), Arg(Variant(GetSettingValueInt(u"BarcodeType")))})
                : CallChecked(u"printNonFiscalText", {Arg(Variant(line.Text))});
        if (code != rcOK) return code;
    }
    return rcOK;
}

}  // namespace fr
