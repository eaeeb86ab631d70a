#include "evaluator/SavedForm.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "evaluator/EvalText.h"

namespace fr::evaluator {

namespace {

void PutU32(std::string& s, uint32_t v) {
    const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    s.append(b, 4);
}
void PutI32(std::string& s, int32_t v) { PutU32(s, static_cast<uint32_t>(v)); }
void PutText(std::string& s, std::u16string_view text) {
    const std::string utf8 = ToUtf8(text);
    PutI32(s, static_cast<int32_t>(utf8.size()));
    s += utf8;
}

class TReader {
public:
    explicit TReader(std::string_view data) : FData(data) {}

    bool Bytes(char* p, uint64_t n) {
        if (n > FData.size()) return false;
        std::memcpy(p, FData.data(), static_cast<size_t>(n));
        FData.remove_prefix(static_cast<size_t>(n));
        return true;
    }
    bool U32(uint32_t& v) {
        unsigned char b[4];
        if (!Bytes(reinterpret_cast<char*>(b), 4)) return false;
        v = b[0] | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
        return true;
    }
    bool I32(int32_t& v) {
        uint32_t u;
        if (!U32(u)) return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool Text(std::u16string& out) {
        int32_t n;
        if (!I32(n) || n < 0 || static_cast<uint64_t>(n) > Left()) return false;
        std::string utf8(static_cast<size_t>(n), '\0');
        return Bytes(utf8.data(), utf8.size()) && FromUtf8(utf8, out);
    }
    uint64_t Left() const { return FData.size(); }

private:
    std::string_view FData;
};

constexpr uint64_t kMinTokenRecord = 8 + 1 + 4 + 4;

}  // namespace

std::string WriteSavedForm(const std::u16string& expression, int32_t errorCode, const TParserStack::Items& tokens) {
    std::string s;
    PutText(s, expression);
    PutI32(s, errorCode);
    PutI32(s, static_cast<int32_t>(tokens.size()));
    for (const TParserItem& t : tokens) {
        const uint64_t bits = std::bit_cast<uint64_t>(t.FValue);
        PutU32(s, static_cast<uint32_t>(bits));
        PutU32(s, static_cast<uint32_t>(bits >> 32));
        s += static_cast<char>(t.FTypeStack);
        PutText(s, t.FName);
        PutI32(s, t.FArgumentsCount);
    }
    return s;
}

bool ReadSavedForm(std::string_view data, TSavedForm& out) {
    TReader r(data);

    int32_t count;
    if (!r.Text(out.Expression) || !r.I32(out.ErrorCode) || !r.I32(count) || count < 0 ||
        static_cast<uint64_t>(count) > r.Left() / kMinTokenRecord)
        return false;
    out.Tokens.clear();
    out.Tokens.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        TParserItem t;
        uint32_t lo, hi;
        char kind;
        if (!r.U32(lo) || !r.U32(hi) || !r.Bytes(&kind, 1) || static_cast<unsigned char>(kind) > tsVariable ||
            !r.Text(t.FName) || !r.I32(t.FArgumentsCount))
            return false;
        t.FValue = std::bit_cast<double>(uint64_t(lo) | (uint64_t(hi) << 32));
        // Numbers read from text are always finite; a document must never show inf or nan.
        if (!std::isfinite(t.FValue)) return false;
        t.FTypeStack = static_cast<TTypeStack>(kind);
        t.FTextPos = 0;
        out.Tokens.push_back(std::move(t));
    }
    return true;
}

}  // namespace fr::evaluator
