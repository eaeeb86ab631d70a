#pragma once
// The tax totals of a plain-text receipt: one slot per tax group 1 to 6, each an amount and
// whether any item used it.
#include <array>
#include <cstdint>

namespace fr {

class TTaxAccumulators {
public:
    static constexpr int32_t kFirstGroup = 1, kLastGroup = 6;
    // Groups outside 1 to 6 have no slot and are not added.
    void Add(int32_t group, int64_t amount) {
        if (group < kFirstGroup || group > kLastGroup) return;
        Slot& s = FSlots[static_cast<size_t>(group - kFirstGroup)];
        s.amount += amount;
        s.used = true;
    }
    bool Used(int32_t group) const { return slot(group).used; }
    int64_t Amount(int32_t group) const { return slot(group).amount; }

private:
    struct Slot {
        int64_t amount = 0;  // currency, scaled by 10 000
        bool used = false;
    };
    const Slot& slot(int32_t group) const { return FSlots.at(static_cast<size_t>(group - kFirstGroup)); }
    std::array<Slot, kLastGroup - kFirstGroup + 1> FSlots{};
};

}  // namespace fr
