#pragma once
// PrintReceipt's InData for a fiscal sale of these goods paid in cash to the total, with the
// receipt's other common parameters left empty. The benchmarks build their goods; the rest is this.
#include <cstdint>
#include <utility>

#include "fiscal/uReceiptTables.h"

namespace fr::bench {

inline Variant CashSale(VariantArray goods, int64_t total) {
    VariantArray pays = VariantArray::matrix(kPaymentColumns, 1);
    pays.at({0, 0}) = Variant(0);
    pays.at({1, 0}) = Variant::currency(total);
    return Variant(VariantArray::vector({Variant(std::move(goods)), Variant(std::move(pays)),
                                         Variant(VariantArray::vector({Variant(0), Variant(true), Variant(),
                                                                       Variant::currency(0), Variant::currency(total)}))}));
}

}  // namespace fr::bench
