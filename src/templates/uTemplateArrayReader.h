#pragma once
// Reading one level of a template or data array (two dimensions: column first, then element), with
// errors that say where: which level, which element, which column.
#include <cstdint>
#include <functional>
#include <string>

#include "automation/FormatSettings.h"
#include "automation/Variant.h"

namespace fr::templates {

class TArrayReader {
public:
    // `where`: the place of this array ("Ошибка шаблона: секция 0 «Шапка», колонка 3"), built only
    // when an error is reported. `what`: what the array holds ("массив секций"). `element`: the
    // noun for one element ("секция"). Raises EError when the value is not a two-dimensional array.
    TArrayReader(const Variant& value, std::u16string_view what, std::u16string_view element,
                 std::function<std::u16string()> where, const TFormatSettings& fs);

    int32_t FirstRow() const { return FFirst; }
    int32_t LastRow() const { return FLast; }  // FirstRow() - 1 when there are no elements
    bool HasCell(int32_t col, int32_t row) const;

    const Variant& Cell(int32_t col, int32_t row, std::u16string_view colName) const;
    std::u16string Text(int32_t col, int32_t row, std::u16string_view colName) const;
    bool Bool(int32_t col, int32_t row, std::u16string_view colName) const;
    int32_t Int(int32_t col, int32_t row, std::u16string_view colName) const;

    // "<where>, <element> <row>" for the places below one element.
    std::u16string ElementPlace(int32_t row) const;
    [[noreturn]] void Fail(int32_t col, int32_t row, std::u16string_view colName, std::u16string_view reason) const;

private:
    const VariantArray* FArray = nullptr;
    std::u16string FElement;
    std::function<std::u16string()> FWhere;
    const TFormatSettings& FFs;
    int32_t FFirst = 0, FLast = -1;
};

// "секция 2" and the like.
std::u16string NumberedPlace(std::u16string_view noun, int64_t index);

}  // namespace fr::templates
