#include "uEmuErrors.h"

#include <string>

#include "automation/Text.h"

namespace fr::emu {

std::u16string emuCodeText(int32_t code) {
    switch (code) {
        case ecOk: return u"Ошибок нет";
        case ecSeeExtended: return u"Ошибка, подробности в расширенном описании";
        case ecNotStarted: return u"Драйвер не запущен: сначала вызовите start";
        case ecPortNotOpen: return u"Связь с ККТ не установлена: сначала откройте порт";
        case ecUnknownModel: return u"Неизвестный код модели ККТ";
        case ecBadParameter: return u"Недопустимое значение параметра";
        case ecShiftClosed: return u"Смена не открыта";
        case ecShiftOpen: return u"Смена уже открыта";
        case ecReceiptOpen: return u"Чек уже открыт";
        case ecReceiptNotOpen: return u"Чек не открыт";
        case ecPaymentShort: return u"Сумма оплаты меньше итога чека";
        case ecNotEnoughCash: return u"Недостаточно наличных в денежном ящике";
        case ecNonFiscalNotOpen: return u"Нефискальный документ не открыт";
        case ecDocumentOpen: return u"Открыт другой документ";
        case ecNoItems: return u"В чеке нет ни одной позиции";
        case ecItemsAfterPayment: return u"После начала оплаты позиции не принимаются";
        case ecNonCashExceedsTotal: return u"Безналичная оплата превышает итог чека";
        case ecDiscountTooLarge: return u"Скидка превышает стоимость позиции";
        case ecBadTaxGroup: return u"Недопустимая налоговая группа";
        case ecBadPaymentType: return u"Недопустимый вид оплаты";
        case ecBadReceiptType: return u"Недопустимый тип чека";
        case ecBadReportKind: return u"Неизвестный вид отчёта";
        case ecBadTime: return u"Недопустимое время";
        case ecBadAmount: return u"Недопустимая сумма";
        case ecBadBarcode: return u"Недопустимый штрихкод";
        case ecBadPeriod: return u"Недопустимый период отчёта";
        case ecPaperOut: return u"Нет бумаги";
        case ecShiftExpired: return u"Длительность смены превысила 24 часа. Необходимо снять Z-отчет";
        default: return u"Ошибка " + utf8ToUtf16(std::to_string(code));
    }
}

EEmuError::EEmuError(int32_t code, std::u16string text, std::u16string extended)
    : EError(text.empty() ? emuCodeText(code) : text, "EEmuError"), FCode(code), FExtended(std::move(extended)) {}

}  // namespace fr::emu
