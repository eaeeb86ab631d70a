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

std::vector<int32_t> ComputeColumnWidths(int32_t rowWidth, const std::vector<TColumnLayout>& columns) {
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

namespace {
std::u16string_view cutView(std::u16string_view s, int64_t n, int32_t hAlign) {
    if (n <= 0) return {};
    if (n >= static_cast<int64_t>(s.size())) return s;
    const size_t count = static_cast<size_t>(n);
    if (hAlign == haRight) return s.substr(s.size() - count);
    if (hAlign == haCenter) return s.substr((s.size() - count) / 2, count);
    return s.substr(0, count);
}

void appendPadded(std::u16string& out, std::u16string_view chunk, size_t width, int32_t hAlign) {
    if (chunk.size() >= width) {
        out.append(chunk);
        return;
    }
    const size_t spaces = width - chunk.size();
    const size_t before = hAlign == haRight ? spaces : hAlign == haCenter ? spaces / 2 : 0;
    out.append(before, u' ');
    out.append(chunk);
    out.append(spaces - before, u' ');
}
}  // namespace

std::u16string CutToWidth(std::u16string_view s, int64_t n, int32_t hAlign) { return std::u16string(cutView(s, n, hAlign)); }

std::u16string PadToWidth(std::u16string_view chunk, int32_t width, int32_t hAlign) {
    std::u16string out;
    appendPadded(out, chunk, width > 0 ? static_cast<size_t>(width) : 0, hAlign);
    return out;
}

std::u16string LayoutFieldBlock(std::u16string_view text, int32_t width, int32_t rows, int32_t hAlign,
                                int32_t vAlign, int32_t placement) {
    if (width <= 0 || rows <= 0) return {};
    const int64_t blockChars = int64_t{width} * rows;
    if (blockChars > kMaxBlockChars) throw EError(u"Ошибка шаблона: блок текста поля слишком велик");

    const std::u16string hashes = placement == tpFill && text.size() > static_cast<size_t>(width)
                                      ? std::u16string(static_cast<size_t>(width), u'#')
                                      : std::u16string();
    const std::u16string_view chosen = placement == tpCut    ? cutView(text, width, hAlign)
                                       : !hashes.empty()     ? std::u16string_view(hashes)
                                       : placement == tpFill ? text
                                                             : cutView(text, blockChars, hAlign);

    const size_t w = static_cast<size_t>(width);
    const size_t total = static_cast<size_t>(blockChars);
    const size_t textRows = std::min(static_cast<size_t>(rows), (chosen.size() + w - 1) / w);
    const size_t emptyRows = static_cast<size_t>(rows) - textRows;
    const size_t before = vAlign == vaBottom ? emptyRows : vAlign == vaMiddle ? emptyRows / 2 : 0;

    std::u16string block;
    block.reserve(total);
    block.append(before * w, u' ');
    for (size_t row = 0, pos = 0; row < textRows; ++row, pos += w) appendPadded(block, chosen.substr(pos, w), w, hAlign);
    block.append(total - block.size(), u' ');
    return block;
}

}  // namespace fr::templates
