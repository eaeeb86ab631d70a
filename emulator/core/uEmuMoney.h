#pragma once
// Money inside the emulator: whole kopecks. The automation face speaks currency (scaled by 10 000);
// the register rounds to kopecks as a cash register does (half away from zero).
#include <cstdint>
#include <string>

namespace fr::emu {

using Money = int64_t;

// The most a single amount may be (a billion roubles), so that sums can never overflow.
constexpr Money kMaxMoney = 100'000'000'000LL;

Money moneyFromCurrency(int64_t scaled);
int64_t currencyFromMoney(Money kopecks);
// Quantities are taken to three decimals, as the register keeps them.
int64_t quantityThousandths(double quantity);
// Price (currency) times quantity (thousandths), rounded to kopecks. The caller keeps both within
// kMaxMoney, so the product is exact.
Money moneyTimes(int64_t priceScaled, int64_t quantityMilli);
// "1234.50", "-3.00": two decimals, "." separator, no grouping, as receipts print.
std::u16string moneyText(Money kopecks);
// A quantity as receipts print it: "2" or "1.500".
std::u16string quantityText(int64_t quantityMilli);

}  // namespace fr::emu
