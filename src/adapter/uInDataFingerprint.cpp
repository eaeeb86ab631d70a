#include "adapter/uInDataFingerprint.h"

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

void addValue(TFnv1a& h, const Variant& v) {
    h.U64(v.vartype());
    if (v.isArray()) {
        const VariantArray& a = v.array();
        h.U64(static_cast<uint64_t>(a.dimCount()));
        for (const ArrayBound& b : a.bounds()) {
            h.U64(static_cast<uint64_t>(static_cast<int64_t>(b.lowerBound)));
            h.U64(b.count);
        }
        for (const Variant& item : a.items()) addValue(h, item);
        return;
    }
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
}  // namespace

uint64_t InDataFingerprint(std::initializer_list<const Variant*> values) {
    TFnv1a h;
    h.U64(values.size());
    for (const Variant* v : values) addValue(h, *v);
    return h.Value();
}

std::string FingerprintText(uint64_t fingerprint) {
    static const char digits[] = "0123456789abcdef";
    std::string s(16, '0');
    for (int i = 15; i >= 0; --i, fingerprint >>= 4) s[static_cast<size_t>(i)] = digits[fingerprint & 15];
    return s;
}

}  // namespace fr
