#pragma once
// The document a register has begun and not yet ended: a fiscal receipt with what has been printed
// and paid so far, or a non-fiscal document's lines. It is the register's, not the program's: it
// is saved with the state and outlives the program that began it.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "uEmuLayout.h"
#include "uEmuMoney.h"

namespace fr::emu {

struct TEmuItem {
    std::u16string name;
    int64_t price = 0;  // currency
    int64_t quantityMilli = 0;
    int32_t taxGroup = -1;
    Money gross = 0;       // price times quantity
    Money adjustment = 0;  // discount (negative) or markup (positive)
    Money sum() const { return gross + adjustment; }
    bool operator==(const TEmuItem&) const = default;
};

// One line of an open receipt in the order it was printed: an item, or free text.
struct TEmuReceiptLine {
    bool isItem = false;
    TEmuItem item;
    std::u16string text;
    bool operator==(const TEmuReceiptLine&) const = default;
};

struct TEmuReceipt {
    int32_t type = 0;  // 0 sale, 1 return of a sale
    std::u16string cashier;
    std::vector<TEmuReceiptLine> lines;
    std::vector<std::pair<int32_t, Money>> payments;
    Money total() const;
    Money paid() const;
    Money paidCash() const;
    bool operator==(const TEmuReceipt&) const = default;
};

// At most one of the two is open.
struct TEmuOpenDocument {
    std::optional<TEmuReceipt> receipt;
    std::optional<TEmuLines> nonFiscal;
    bool empty() const { return !receipt && !nonFiscal; }
    bool operator==(const TEmuOpenDocument&) const = default;
};

}  // namespace fr::emu
