#include "dispatch/uLogText.h"

#include <cstdint>
#include <cstdio>

#include "automation/NumberText.h"
#include "automation/Text.h"

namespace fr {

namespace {
void group(std::u16string& out, const VariantArray& a, int dim, std::vector<int32_t>& index,
           const TFormatSettings& fs);

std::u16string elementText(const VariantArray& a, const std::vector<int32_t>& index, const TFormatSettings& fs) {
    // Offsets: first index fastest.
    size_t off = 0, stride = 1;
    for (size_t d = 0; d < index.size(); ++d) {
        off += static_cast<size_t>(static_cast<int64_t>(index[d]) - a.bounds()[d].lowerBound) * stride;
        stride *= a.bounds()[d].count;
    }
    return VariantToLogText(a.items()[off], fs);
}

void group(std::u16string& out, const VariantArray& a, int dim, std::vector<int32_t>& index,
           const TFormatSettings& fs) {
    const auto& b = a.bounds()[static_cast<size_t>(dim - 1)];
    out.push_back(u'(');
    for (uint32_t k = 0; k < b.count; ++k) {
        index[static_cast<size_t>(dim - 1)] = static_cast<int32_t>(b.lowerBound + static_cast<int64_t>(k));
        if (dim == 1) {
            if (k) out.append(u"; ");
            out.append(elementText(a, index, fs));
        } else {
            group(out, a, dim - 1, index, fs);
        }
    }
    out.push_back(u')');
}
}  // namespace

std::u16string ArrayToLogText(const Variant& value, const TFormatSettings& fs) {
    if (!value.isArray() || !value.array().hasData()) return u"EMPTY";
    const VariantArray& a = value.array();
    std::vector<int32_t> index(static_cast<size_t>(a.dimCount()));
    std::u16string out = u"[";
    group(out, a, a.dimCount(), index, fs);
    out.push_back(u']');
    return out;
}

std::u16string VariantToLogText(const Variant& v, const TFormatSettings& fs) {
    if (v.isArray()) return ArrayToLogText(v, fs);
    switch (v.type()) {
        case VarType::Empty: return u"EMPTY";
        case VarType::Null: return u"NULL";
        case VarType::I2: case VarType::I4: return utf8ToUtf16(std::to_string(v.rawInt()));
        case VarType::R4: case VarType::R8: return floatToText(v.rawReal(), fs);
        case VarType::CY: return floatToText(static_cast<double>(v.rawInt()) / 10000.0, fs);
        case VarType::Date: case VarType::Bool: return v.toText(fs);
        case VarType::BStr: return u"'" + replaceAll(v.rawText(), u"\r\n", u"\\n") + u"'";
        case VarType::Dispatch: {
            char buf[32];
            std::snprintf(buf, sizeof buf, "$%08llX",
                          static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(v.object().get())));
            return utf8ToUtf16(buf);
        }
        case VarType::UI1: return std::u16string(1, static_cast<char16_t>(v.rawInt()));
        default: return {};
    }
}

}  // namespace fr
