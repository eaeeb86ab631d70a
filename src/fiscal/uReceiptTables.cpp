#include "fiscal/uReceiptTables.h"

#include <type_traits>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "dispatch/uEquipmentErrors.h"
#include "dispatch/uInputReaders.h"

namespace fr {

namespace {

enum class Kind { Text, Integer, Currency, Double, Boolean };

struct Column {
    Kind kind;
    bool required;
    int32_t def;  // the default of an optional column: -1 or 0 (empty text, false)
};

constexpr Column kItemLayout[kItemColumns] = {
    {Kind::Text, true, 0},      {Kind::Text, false, 0},     {Kind::Text, false, 0},
    {Kind::Integer, true, 0},   {Kind::Currency, true, 0},  {Kind::Double, true, 0},
    {Kind::Text, false, 0},     {Kind::Currency, true, 0},  {Kind::Currency, true, 0},
    {Kind::Currency, true, 0},  {Kind::Integer, false, -1}, {Kind::Currency, false, 0},
    {Kind::Currency, false, 0}, {Kind::Integer, false, -1}, {Kind::Currency, false, 0},
    {Kind::Currency, false, 0}, {Kind::Text, false, 0},     {Kind::Text, false, 0},
    {Kind::Text, false, 0},
};

constexpr Column kPaymentLayout[kPaymentColumns] = {
    {Kind::Integer, true, 0}, {Kind::Currency, true, 0}, {Kind::Text, false, 0}, {Kind::Text, false, 0}};

// Elements this system does not use (2, 5, 8..11, 13..21) have no target; their layout is never read.
constexpr Column kCommonLayout[kCommonParameters] = {
    {Kind::Integer, true, 0},  {Kind::Boolean, true, 0},  {Kind::Text, false, 0},     {Kind::Currency, true, 0},
    {Kind::Currency, true, 0}, {Kind::Text, false, 0},    {Kind::Text, false, 0},     {Kind::Text, false, 0},
    {Kind::Text, false, 0},    {Kind::Text, false, 0},    {Kind::Text, false, 0},     {Kind::Text, false, 0},
    {Kind::Text, false, 0},    {Kind::Text, false, 0},    {Kind::Text, false, 0},     {Kind::Text, false, 0},
    {Kind::Text, false, 0},    {Kind::Text, false, 0},    {Kind::Text, false, 0},     {Kind::Text, false, 0},
    {Kind::Text, false, 0},    {Kind::Text, false, 0},
};

VarType varTypeOf(Kind k) {
    switch (k) {
        case Kind::Text: return VarType::BStr;
        case Kind::Integer: return VarType::I4;
        case Kind::Currency: return VarType::CY;
        case Kind::Double: return VarType::R8;
        case Kind::Boolean: return VarType::Bool;
    }
    return VarType::Empty;
}

// Stores a value converted to the column's kind. The target's type must be that kind's: a
// mismatch is a programming error and raised as such.
void store(const TReadTarget& target, Kind kind, const Variant& v) {
    std::visit(
        [&](auto p) {
            using P = decltype(p);
            using T = std::remove_pointer_t<P>;
            if constexpr (std::is_same_v<P, std::monostate>) {
                return;
            } else if constexpr (std::is_same_v<T, std::u16string>) {
                if (kind != Kind::Text) throw EError(u"Столбец таблицы прочитан не в тот тип");
                *p = v.toText();
            } else if constexpr (std::is_same_v<T, int32_t>) {
                if (kind != Kind::Integer) throw EError(u"Столбец таблицы прочитан не в тот тип");
                *p = v.toInt();
            } else if constexpr (std::is_same_v<T, int64_t>) {
                if (kind != Kind::Currency) throw EError(u"Столбец таблицы прочитан не в тот тип");
                *p = v.toCurrency();
            } else if constexpr (std::is_same_v<T, double>) {
                if (kind != Kind::Double) throw EError(u"Столбец таблицы прочитан не в тот тип");
                *p = v.toDouble();
            } else {
                if (kind != Kind::Boolean) throw EError(u"Столбец таблицы прочитан не в тот тип");
                *p = v.toBool();
            }
        },
        target);
}

Variant defaultOf(const Column& c) {
    switch (c.kind) {
        case Kind::Text: return Variant(u"");
        case Kind::Boolean: return Variant(false);
        default: return Variant(c.def);
    }
}

struct NoTarget {
    bool operator()(std::monostate) const { return true; }
    template <class P>
    bool operator()(P*) const { return false; }
};

// Reads the cells 0 .. maxIndex that have a target. fetch(i) gives the cell or null when it lies
// outside the array. keepTextPastEnd: an optional text past the end leaves its target as it was.
template <class Fetch, size_t N>
int32_t readCells(const Column (&layout)[N], const std::array<TReadTarget, N>& targets, int32_t maxIndex,
                  Fetch fetch, bool keepTextPastEnd) {
    for (int32_t i = 0; i < static_cast<int32_t>(N) && i <= maxIndex; ++i) {
        const TReadTarget& target = targets[static_cast<size_t>(i)];
        if (std::visit(NoTarget{}, target)) continue;
        const Column& c = layout[i];
        const Variant* cell = fetch(i);
        try {
            if (c.required) {
                if (!cell) return rcInvalidParameters;
                store(target, c.kind, *cell);
            } else if (!cell) {
                if (keepTextPastEnd && c.kind == Kind::Text) continue;
                store(target, c.kind, defaultOf(c));
            } else {
                store(target, c.kind, ValueOrDefault(*cell, varTypeOf(c.kind), defaultOf(c)));
            }
        } catch (const EVariantError&) {
            return rcInvalidParameters;
        }
    }
    return rcOK;
}

const Variant* cell2(const Variant& table, int32_t column, int32_t row) {
    if (!table.isArray()) return nullptr;
    const VariantArray& a = table.array();
    if (a.dimCount() != 2 || !a.contains({column, row})) return nullptr;
    return &a.at({column, row});
}

const Variant* cell1(const Variant& array, int32_t index) {
    if (!array.isArray()) return nullptr;
    const VariantArray& a = array.array();
    if (a.dimCount() != 1 || !a.contains({index})) return nullptr;
    return &a.at({index});
}

bool rangeApplies(int32_t lo, int32_t hi) { return lo >= 0 && hi >= 0; }
bool outside(int32_t v, int32_t lo, int32_t hi) { return v < lo || v > hi; }

// The rows of a two-dimensional table, lower to upper bound of the second dimension; none when
// the value is no such table.
struct RowRange {
    int32_t first = 0, last = -1;
};
RowRange rowsOf(const Variant& table) {
    if (!table.isArray() || table.array().dimCount() != 2) return {};
    const ArrayBound& b = table.array().bounds()[1];
    return {b.lowerBound, b.lowerBound + static_cast<int32_t>(b.count) - 1};
}

}  // namespace

VarType ItemColumnType(int32_t Column) {
    return Column >= 0 && Column < kItemColumns ? varTypeOf(kItemLayout[Column].kind) : VarType::Empty;
}
VarType PaymentColumnType(int32_t Column) {
    return Column >= 0 && Column < kPaymentColumns ? varTypeOf(kPaymentLayout[Column].kind) : VarType::Empty;
}
VarType CommonParameterType(int32_t Index) {
    return Index >= 0 && Index < kCommonParameters ? varTypeOf(kCommonLayout[Index].kind) : VarType::Empty;
}

TRowRange TableRows(const Variant& Table) {
    const RowRange r = rowsOf(Table);
    return {r.first, r.last};
}

TItemTargets ItemRowTargets(TItemRow& r) {
    return {&r.Name,          &r.Barcode,   &r.Column2,  &r.Department, &r.Price,      &r.Quantity,   &r.DiscountText,
            &r.DiscountAmount, &r.DiscountValue2, &r.Column9, &r.TaxGroup,  &r.TaxAmount,  &r.Column12,
            &r.TaxGroup2,     &r.TaxAmount2, &r.Column15, &r.Column16,   &r.ExtraText,  &r.Column18};
}

TPaymentTargets PaymentRowTargets(TPaymentRow& r) { return {&r.PaymentType, &r.Amount, &r.ExtraText, &r.PaymentName}; }

TCommonTargets CommonParametersTargets(TCommonParameters& p) {
    TCommonTargets t{};
    t[0] = &p.ReceiptType;
    t[1] = &p.Fiscal;
    t[3] = &p.Column3;
    t[4] = &p.Total;
    t[6] = &p.HeaderLine;
    t[7] = &p.TotalLine;
    t[12] = &p.CashierName;
    return t;
}

int32_t ReadItemRow(const Variant& ItemTable, int32_t Row, const TItemTargets& Targets, int32_t MaxColumn) {
    return readCells(kItemLayout, Targets, MaxColumn, [&](int32_t c) { return cell2(ItemTable, c, Row); }, false);
}

int32_t ReadPaymentRow(const Variant& PaymentTable, int32_t Row, const TPaymentTargets& Targets, int32_t MaxColumn) {
    return readCells(kPaymentLayout, Targets, MaxColumn, [&](int32_t c) { return cell2(PaymentTable, c, Row); },
                     false);
}

int32_t ReadCommonParameters(const Variant& CommonParameters, const TCommonTargets& Targets, int32_t MaxIndex) {
    return readCells(kCommonLayout, Targets, MaxIndex, [&](int32_t i) { return cell1(CommonParameters, i); }, true);
}

int32_t CheckItemTable(const Variant& ItemTable, const TReceiptLimits& L, std::u16string& ResultDescription) {
    ResultDescription.clear();
    const RowRange rows = rowsOf(ItemTable);
    for (int32_t row = rows.first; row <= rows.last; ++row) {
        std::u16string name;
        int32_t code = rcOK;
        try {
            // The name first: the description names the row whenever the name can be read.
            const Variant* nameCell = cell2(ItemTable, 0, row);
            if (!nameCell) throw EVariantError(u"В строке таблицы товаров нет наименования");
            name = nameCell->toText();
            const Variant* deptCell = cell2(ItemTable, 3, row);
            if (!deptCell) throw EVariantError(u"В строке таблицы товаров нет отдела");
            const int32_t dept = deptCell->toInt();
            const int32_t tax1 = ItemAsInteger2(ItemTable, 10, row, -1);
            const int32_t tax2 = ItemAsInteger2(ItemTable, 13, row, -1);
            if (rangeApplies(L.MinDept, L.MaxDept) && outside(dept, L.MinDept, L.MaxDept)) {
                code = rcDepartmentOutOfRange;
            } else if (rangeApplies(L.MinTax, L.MaxTax)) {
                if ((tax1 >= 0 && outside(tax1, L.MinTax, L.MaxTax)) || (tax2 >= 0 && outside(tax2, L.MinTax, L.MaxTax)))
                    code = rcTaxGroupOutOfRange;
            }
        } catch (const EVariantError&) {
            code = rcInvalidParameters;
        }
        if (code != rcOK) {
            ResultDescription = ResultCodeDescription(code) + u"\r\nПозиция в чеке: " +
                                utf8ToUtf16(std::to_string(static_cast<int64_t>(row) + 1)) + u") " + name;
            return code;
        }
    }
    return rcOK;
}

int32_t CheckPaymentTable(const Variant& PaymentTable, const TReceiptLimits& L, std::u16string& ResultDescription) {
    ResultDescription.clear();
    const RowRange rows = rowsOf(PaymentTable);
    for (int32_t row = rows.first; row <= rows.last; ++row) {
        int32_t code = rcOK;
        try {
            const Variant* typeCell = cell2(PaymentTable, 0, row);
            if (!typeCell) throw EVariantError(u"В строке таблицы оплат нет вида оплаты");
            const int32_t type = typeCell->toInt();
            if (rangeApplies(L.MinPaymentType, L.MaxPaymentType) && outside(type, L.MinPaymentType, L.MaxPaymentType))
                code = rcPaymentNumberOutOfRange;
        } catch (const EVariantError&) {
            code = rcInvalidParameters;
        }
        if (code != rcOK) {
            ResultDescription = ResultCodeDescription(code);
            return code;
        }
    }
    return rcOK;
}

}  // namespace fr
