#include "templates/uTemplateArrayReader.h"

#include <exception>
#include <string>

#include "automation/Errors.h"
#include "automation/Text.h"

namespace fr::templates {

std::u16string NumberedPlace(std::u16string_view noun, int64_t index) {
    return std::u16string(noun) + u" " + u16(std::to_string(index));
}

TArrayReader::TArrayReader(const Variant& value, std::u16string_view what, std::u16string_view element,
                           std::function<std::u16string()> where, const TFormatSettings& fs)
    : FElement(element), FWhere(std::move(where)), FFs(fs) {
    if (!value.isArray())
        throw EError(FWhere() + u": ожидается " + std::u16string(what) + u", получено значение типа (" +
                     varTypeName(value.vartype()) + u")");
    FArray = &value.array();
    if (FArray->dimCount() != 2)
        throw EError(FWhere() + u": " + std::u16string(what) + u" должен быть двумерным (колонка, элемент), а измерений " +
                     u16(std::to_string(FArray->dimCount())));
    FFirst = FArray->lowBound(2);
    FLast = FArray->highBound(2);
}

bool TArrayReader::HasCell(int32_t col, int32_t row) const { return FArray->contains({col, row}); }

std::u16string TArrayReader::ElementPlace(int32_t row) const {
    // The top level's place is just the kind of error ("Ошибка данных"); deeper ones name a place.
    const std::u16string where = FWhere();
    const bool top = where.find(u':') == std::u16string::npos;
    return where + (top ? u": " : u", ") + NumberedPlace(FElement, row);
}

void TArrayReader::Fail(int32_t col, int32_t row, std::u16string_view colName, std::u16string_view reason) const {
    throw EError(ElementPlace(row) + u", колонка " + u16(std::to_string(col)) + u" (" + std::u16string(colName) +
                 u"): " + std::u16string(reason));
}

const Variant& TArrayReader::Cell(int32_t col, int32_t row, std::u16string_view colName) const {
    if (!HasCell(col, row)) Fail(col, row, colName, u"нет такой колонки");
    return FArray->at({col, row});
}

std::u16string TArrayReader::Text(int32_t col, int32_t row, std::u16string_view colName) const {
    const Variant& v = Cell(col, row, colName);
    try {
        return v.toText(FFs);
    } catch (const EError& e) {
        Fail(col, row, colName, e.message());
    }
}

bool TArrayReader::Bool(int32_t col, int32_t row, std::u16string_view colName) const {
    const Variant& v = Cell(col, row, colName);
    try {
        return v.toBool(FFs);
    } catch (const EError& e) {
        Fail(col, row, colName, e.message());
    }
}

int32_t TArrayReader::Int(int32_t col, int32_t row, std::u16string_view colName) const {
    const Variant& v = Cell(col, row, colName);
    try {
        return v.toInt(FFs);
    } catch (const EError& e) {
        Fail(col, row, colName, e.message());
    }
}

}  // namespace fr::templates
