#pragma once
// The receipt tables of PrintReceipt: the goods table ItemTable and the payments table
// PaymentTable (two-dimensional, column first, row second) and the receipt-wide CommonParameters
// (one-dimensional). Rows are read into typed values with defaults; a fiscal receipt's tables are
// range-checked before anything is printed.
#include <array>
#include <cstdint>
#include <string>
#include <variant>

#include "automation/Variant.h"

namespace fr {

// Where a read value goes: text, integer, currency (scaled by 10 000), double or Boolean. A
// column without a target is skipped.
using TReadTarget = std::variant<std::monostate, std::u16string*, int32_t*, int64_t*, double*, bool*>;

constexpr int32_t kItemColumns = 19;
constexpr int32_t kPaymentColumns = 4;
constexpr int32_t kCommonParameters = 22;

struct TItemRow {
    std::u16string Name;
    std::u16string Barcode;
    std::u16string Column2;
    int32_t Department = 0;
    int64_t Price = 0;
    double Quantity = 0;
    std::u16string DiscountText;
    int64_t DiscountAmount = 0;   // positive a discount, negative a markup
    int64_t DiscountValue2 = 0;   // used only when DiscountAmount is 0
    int64_t Column9 = 0;
    int32_t TaxGroup = -1;
    int64_t TaxAmount = 0;
    int64_t Column12 = 0;
    int32_t TaxGroup2 = -1;
    int64_t TaxAmount2 = 0;
    int64_t Column15 = 0;
    std::u16string Column16;
    std::u16string ExtraText;     // printed after the item; may hold several lines
    std::u16string Column18;
};

struct TPaymentRow {
    int32_t PaymentType = 0;
    int64_t Amount = 0;
    std::u16string ExtraText;
    std::u16string PaymentName;   // empty: taken from the payment-name list
};

struct TCommonParameters {
    int32_t ReceiptType = 0;      // 0 a sale, 1 the return of a sale
    bool Fiscal = false;
    int64_t Column3 = 0;
    int64_t Total = 0;
    std::u16string HeaderLine;
    std::u16string TotalLine;
    std::u16string CashierName;
};

using TItemTargets = std::array<TReadTarget, kItemColumns>;
using TPaymentTargets = std::array<TReadTarget, kPaymentColumns>;
using TCommonTargets = std::array<TReadTarget, kCommonParameters>;

// The type a column (an element of the common parameters) is read as; Empty outside the table.
VarType ItemColumnType(int32_t Column);
VarType PaymentColumnType(int32_t Column);
VarType CommonParameterType(int32_t Index);

// Every column of the row as a target.
TItemTargets ItemRowTargets(TItemRow& row);
TPaymentTargets PaymentRowTargets(TPaymentRow& row);
TCommonTargets CommonParametersTargets(TCommonParameters& params);

// The rows of a two-dimensional table, lower to upper bound of its second dimension; none
// (First > Last) when the value is no such table.
struct TRowRange {
    int32_t First = 0, Last = -1;
};
TRowRange TableRows(const Variant& Table);

// Fill the targets of the columns 0 .. MaxColumn of one row. 0, or 1004 when a required value is
// missing or does not convert (values read before stay filled).
int32_t ReadItemRow(const Variant& ItemTable, int32_t Row, const TItemTargets& Targets, int32_t MaxColumn);
int32_t ReadPaymentRow(const Variant& PaymentTable, int32_t Row, const TPaymentTargets& Targets, int32_t MaxColumn);
int32_t ReadCommonParameters(const Variant& CommonParameters, const TCommonTargets& Targets, int32_t MaxIndex);

// Allowed ranges; a range applies only when both bounds are 0 or more.
struct TReceiptLimits {
    int32_t MinDept = -1, MaxDept = -1;
    int32_t MinTax = -1, MaxTax = -1;
    int32_t MinPaymentType = -1, MaxPaymentType = -1;
};

// 0, 1004, 3010 (tax group) or 3013 (department); the description names the first failing row.
int32_t CheckItemTable(const Variant& ItemTable, const TReceiptLimits& Limits, std::u16string& ResultDescription);
// 0, 1004 or 3012 (payment type).
int32_t CheckPaymentTable(const Variant& PaymentTable, const TReceiptLimits& Limits,
                          std::u16string& ResultDescription);

}  // namespace fr
