#include "uEmuOpenDocument.h"

namespace fr::emu {

Money TEmuReceipt::total() const {
    Money t = 0;
    for (const auto& l : lines)
        if (l.isItem) t += l.item.sum();
    return t;
}
Money TEmuReceipt::paid() const {
    Money t = 0;
    for (const auto& [type, amount] : payments) t += amount;
    return t;
}
Money TEmuReceipt::paidCash() const {
    Money t = 0;
    for (const auto& [type, amount] : payments)
        if (type == 0) t += amount;
    return t;
}

}  // namespace fr::emu
