#include "adapter/uInDataFingerprint.h"

#include <cmath>
#include <cstring>

namespace fr {

namespace {
class TFnv1a {
public:
    void Bytes(const void* data, size_t n) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < n; ++i) {
            FHash ^= p[i];
            FHash *= 0x100000001b3ull;
        }
    }
    // Little-endian whatever the machine, so the text is the same everywhere.
    void U64(uint64_t v) {
        unsigned char b[8];
        for (int i = 0; i < 8; ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
        Bytes(b, sizeof b);
    }
    uint64_t Value() const { return FHash; }

private:
    uint64_t FHash = 0xcbf29ce484222325ull;
};

uint64_t realBits(double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

// Tags of the by-value fingerprint, outside the VARTYPE numbers' range.
enum : uint64_t { tagNothing = 0x100, tagNumber, tagRealBeyond, tagBool, tagText, tagDate, tagError, tagObject };

// An unsigned magnitude of up to 128 bits in 32-bit limbs (no 128-bit integers on every target),
// with just what scaling to four decimal places needs.
struct TMagnitude {
    uint32_t limb[4] = {0, 0, 0, 0};  // least significant first

    static TMagnitude of(uint64_t v) {
        TMagnitude m;
        m.limb[0] = static_cast<uint32_t>(v);
        m.limb[1] = static_cast<uint32_t>(v >> 32);
        return m;
    }
    void Mul(uint32_t k) {
        uint64_t carry = 0;
        for (uint32_t& l : limb) {
            const uint64_t p = static_cast<uint64_t>(l) * k + carry;
            l = static_cast<uint32_t>(p);
            carry = p >> 32;
        }
    }
    void Add(uint64_t v) {
        for (uint32_t& l : limb) {
            const uint64_t s = static_cast<uint64_t>(l) + (v & 0xffffffffu);
            l = static_cast<uint32_t>(s);
            v = (v >> 32) + (s >> 32);
        }
    }
    // Divides in place; returns the remainder.
    uint32_t Div(uint32_t k) {
        uint64_t rest = 0;
        for (int i = 3; i >= 0; --i) {
            const uint64_t cur = (rest << 32) | limb[i];
            limb[i] = static_cast<uint32_t>(cur / k);
            rest = cur % k;
        }
        return static_cast<uint32_t>(rest);
    }
    bool Zero() const { return !(limb[0] | limb[1] | limb[2] | limb[3]); }
    bool Odd() const { return limb[0] & 1; }
};

// A number as a sign and its magnitude in ten-thousandths.
void addNumber(TFnv1a& h, bool negative, const TMagnitude& tenThousandths) {
    h.U64(tagNumber);
    h.U64(negative && !tenThousandths.Zero() ? 1 : 0);
    for (uint32_t l : tenThousandths.limb) h.U64(l);
}

void addInteger(TFnv1a& h, bool negative, uint64_t magnitude) {
    TMagnitude m = TMagnitude::of(magnitude);
    m.Mul(10000);
    addNumber(h, negative, m);
}

void addDecimal(TFnv1a& h, const Decimal& d) {
    TMagnitude m = TMagnitude::of(d.lo64);
    m.limb[2] = d.hi32;
    int scale = d.scale;
    for (; scale < 4; ++scale) m.Mul(10);
    // Digits beyond the fourth place go, half to even: the last one dropped decides, the ones
    // below it only whether an exact half is more than half.
    uint32_t last = 0;
    bool below = false;
    for (; scale > 4; --scale) {
        below = below || last != 0;
        last = m.Div(10);
    }
    if (last > 5 || (last == 5 && (below || m.Odd()))) m.Add(1);
    addNumber(h, d.negative, m);
}

void addReal(TFnv1a& h, double x) {
    const double a = std::fabs(x);
    if (!std::isfinite(x) || a >= 18446744073709551616.0) {
        h.U64(tagRealBeyond);
        h.U64(realBits(x));
        return;
    }
    // The whole part and the fraction are exact; only the fraction is scaled and rounded (the
    // default rounding mode is to nearest, ties to even, and the whole part's ten-thousandths are
    // even, so the tie goes as for the whole value).
    const double whole = std::trunc(a);
    TMagnitude m = TMagnitude::of(static_cast<uint64_t>(whole));
    m.Mul(10000);
    m.Add(static_cast<uint64_t>(std::nearbyint((a - whole) * 10000.0)));
    addNumber(h, x < 0, m);
}

// An array's shape, then every element in storage order, each by `add`.
template <class Add>
void addArray(TFnv1a& h, const VariantArray& a, Add add) {
    h.U64(static_cast<uint64_t>(a.dimCount()));
    for (const ArrayBound& b : a.bounds()) {
        h.U64(static_cast<uint64_t>(static_cast<int64_t>(b.lowerBound)));
        h.U64(b.count);
    }
    for (const Variant& item : a.items()) add(h, item);
}

void addByValue(TFnv1a& h, const Variant& v) {
    if (v.isArray()) {
        h.U64(vtArrayFlag);
        return addArray(h, v.array(), addByValue);
    }
    const uint32_t bit = detail::typeBit(v.type());
    if (bit & detail::kSignedTypes) {
        const int64_t i = v.rawInt();
        addInteger(h, i < 0, i < 0 ? 0 - static_cast<uint64_t>(i) : static_cast<uint64_t>(i));
        return;
    }
    if (bit & detail::kUnsignedTypes) return addInteger(h, false, v.rawUInt());
    switch (v.type()) {
        case VarType::CY: {
            const int64_t c = v.rawInt();
            return addNumber(h, c < 0, TMagnitude::of(c < 0 ? 0 - static_cast<uint64_t>(c) : static_cast<uint64_t>(c)));
        }
        case VarType::R4:
        case VarType::R8: return addReal(h, v.rawReal());
        case VarType::Decimal: return addDecimal(h, v.rawDecimal());
        case VarType::Empty:
        case VarType::Null: return h.U64(tagNothing);
        case VarType::Bool: h.U64(tagBool); return h.U64(v.rawBool() ? 1 : 0);
        case VarType::Date: h.U64(tagDate); return h.U64(realBits(v.rawReal()));
        case VarType::Error: h.U64(tagError); return h.U64(v.rawUInt());
        case VarType::BStr: {
            const std::u16string_view t = v.rawText();
            h.U64(tagText);
            h.U64(t.size());
            for (char16_t c : t) h.U64(c);
            return;
        }
        default: h.U64(tagObject); return h.U64(v.vartype());
    }
}

void addByType(TFnv1a& h, const Variant& v) {
    h.U64(v.vartype());
    if (v.isArray()) return addArray(h, v.array(), addByType);
    switch (v.type()) {
        case VarType::BStr: {
            const std::u16string_view t = v.rawText();
            h.U64(t.size());
            for (char16_t c : t) h.U64(c);
            break;
        }
        case VarType::R4:
        case VarType::R8:
        case VarType::Date: h.U64(realBits(v.rawReal())); break;
        case VarType::Decimal: {
            const Decimal& d = v.rawDecimal();
            h.U64(d.scale);
            h.U64(d.negative ? 1 : 0);
            h.U64(d.hi32);
            h.U64(d.lo64);
            break;
        }
        case VarType::Dispatch:
        case VarType::Unknown:
        case VarType::Empty:
        case VarType::Null: break;
        default: h.U64(v.rawUInt()); break;  // integers, Boolean, currency, error codes
    }
}

template <class Add>
uint64_t fingerprint(std::initializer_list<const Variant*> values, Add add) {
    TFnv1a h;
    h.U64(values.size());
    for (const Variant* v : values) add(h, *v);
    return h.Value();
}
}  // namespace

uint64_t InDataFingerprint(std::initializer_list<const Variant*> values) { return fingerprint(values, addByValue); }

uint64_t InDataFingerprintByType(std::initializer_list<const Variant*> values) {
    return fingerprint(values, addByType);
}

TInDataPrints InDataPrints(std::initializer_list<const Variant*> values) {
    return {InDataFingerprint(values), InDataFingerprintByType(values)};
}

std::string FingerprintText(uint64_t fingerprint) {
    static const char digits[] = "0123456789abcdef";
    std::string s(16, '0');
    for (int i = 15; i >= 0; --i, fingerprint >>= 4) s[static_cast<size_t>(i)] = digits[fingerprint & 15];
    return s;
}

}  // namespace fr
