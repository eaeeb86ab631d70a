#include "templates/uTemplateLibLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "automation/Errors.h"

namespace fr::templates {

double RoundHalfEven(double x) {
    const double f = std::floor(x);
    const double diff = x - f;
    if (diff > 0.5) return f + 1;
    if (diff < 0.5) return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

namespace {
int32_t clampToInt32(double v) {
    if (!(v >= std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}
}  // namespace

std::vector<int32_t> ComputeColumnWidths(int32_t rowWidth, const std::vector<TColumnSpec>& columns) {
    int64_t fixedSum = 0, weights = 0;
    for (const auto& c : columns) (c.Resizable ? weights : fixedSum) += c.Length;
    const int64_t freeWidth = rowWidth - fixedSum;
    const double ratio = weights > 0 ? static_cast<double>(freeWidth) / static_cast<double>(weights) : 0.0;
    std::vector<int32_t> widths;
    widths.reserve(columns.size());
    int64_t given = 0;
    for (const auto& c : columns) {
        if (!c.Resizable) {
            widths.push_back(c.Length);
            continue;
        }
        const double share = std::min(RoundHalfEven(c.Length * ratio), static_cast<double>(freeWidth - given));
        const int32_t w = clampToInt32(share);
        widths.push_back(w);
        given += w;
    }
    return widths;
}

int32_t ComputeRowCount(int32_t minRows, int32_t maxRows, const std::vector<TRowNeed>& columns) {
    int64_t rows = minRows;
    for (const auto& c : columns) {
        int64_t need = 0;
        if (c.Width > 0) {
            const int64_t length = c.Placement == tpWrap ? c.TextLength : c.Width;
            need = (length + c.Width - 1) / c.Width;
        }
        rows = std::min<int64_t>(maxRows, std::max(need, rows));
    }
    return static_cast<int32_t>(rows);
}

std::u16string CutToWidth(std::u16string_view s, int64_t n, int32_t hAlign) {
    if (n <= 0) return {};
    if (n >= static_cast<int64_t>(s.size())) return std::u16string(s);
    const size_t count = static_cast<size_t>(n);
    if (hAlign == haRight) return std::u16string(s.substr(s.size() - count));
    if (hAlign == haCenter) return std::u16string(s.substr((s.size() - count) / 2, count));
    return std::u16string(s.substr(0, count));
}

std::u16string PadToWidth(std::u16string_view chunk, int32_t width, int32_t hAlign) {
    const size_t w = width > 0 ? static_cast<size_t>(width) : 0;
    if (chunk.size() >= w) return std::u16string(chunk);
    const size_t spaces = w - chunk.size();
    std::u16string out;
    out.reserve(w);
    const size_t before = hAlign == haRight ? spaces : hAlign == haCenter ? spaces / 2 : 0;
    out.append(before, u' ');
    out.append(chunk);
    out.append(spaces - before, u' ');
    return out;
}

std::u16string LayoutFieldBlock(std::u16string_view text, int32_t width, int32_t rows, int32_t hAlign,
                                int32_t vAlign, int32_t placement) {
    if (width <= 0 || rows <= 0) return {};
    const int64_t blockChars = int64_t{width} * rows;
    if (blockChars > kMaxBlockChars)
        throw EError(u"Ошибка шаблона: блок текста поля слишком велик");

    std::u16string chosen;
    if (placement == tpCut) chosen = CutToWidth(text, width, hAlign);
    else if (placement == tpFill) chosen = text.size() <= static_cast<size_t>(width) ? std::u16string(text)
                                                                                        : std::u16string(static_cast<size_t>(width), u'#');
    else chosen = CutToWidth(text, blockChars, hAlign);

    std::u16string block;
    block.reserve(static_cast<size_t>(blockChars));
    const size_t w = static_cast<size_t>(width);
    for (size_t pos = 0, row = 0; row < static_cast<size_t>(rows) && pos < chosen.size(); ++row, pos += w)
        block += PadToWidth(std::u16string_view(chosen).substr(pos, w), width, hAlign);

    const size_t total = static_cast<size_t>(blockChars);
    const size_t emptyRows = (total - block.size()) / w;
    if (vAlign == vaBottom) {
        block.insert(0, emptyRows * w, u' ');
    } else if (vAlign == vaMiddle) {
        block.insert(0, emptyRows / 2 * w, u' ');
        block.append(total - block.size(), u' ');
    } else {
        block.append(emptyRows * w, u' ');
    }
    return block;
}

}  // namespace fr::templates
