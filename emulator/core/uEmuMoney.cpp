#include "uEmuMoney.h"

#include <cmath>
#include <cstdio>

#include "automation/Text.h"

namespace fr::emu {

Money moneyFromCurrency(int64_t scaled) {
    int64_t q = scaled / 100, r = scaled % 100;
    if (r >= 50) ++q;
    else if (r <= -50) --q;
    return q;
}

int64_t currencyFromMoney(Money kopecks) { return kopecks * 100; }

int64_t quantityThousandths(double quantity) { return std::llround(quantity * 1000.0); }

Money moneyTimes(int64_t priceScaled, int64_t quantityMilli) {
    // Currency is 1/10 000 of a rouble, the quantity 1/1000: a kopeck is 100 000 units of the product.
    long double product = static_cast<long double>(priceScaled) * static_cast<long double>(quantityMilli);
    return static_cast<Money>(std::llroundl(product / 100000.0L));
}

std::u16string moneyText(Money kopecks) {
    char buf[40];
    unsigned long long a = kopecks < 0 ? 0ULL - static_cast<unsigned long long>(kopecks) : kopecks;
    std::snprintf(buf, sizeof buf, "%s%llu.%02llu", kopecks < 0 ? "-" : "", a / 100, a % 100);
    return utf8ToUtf16(buf);
}

std::u16string quantityText(int64_t quantityMilli) {
    char buf[64];
    long long q = quantityMilli;
    if (q % 1000 == 0) std::snprintf(buf, sizeof buf, "%lld", q / 1000);
    else std::snprintf(buf, sizeof buf, "%lld.%03lld", q / 1000, q % 1000);
    return utf8ToUtf16(buf);
}

}  // namespace fr::emu
