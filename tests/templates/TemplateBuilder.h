#pragma once
// Compact template and data arrays for tests: the nested two-dimensional arrays, column first.
#include <string>
#include <utility>
#include <vector>

#include "automation/Text.h"
#include "automation/Variant.h"

namespace fr::templates::test {

struct F {  // a field
    std::u16string name;
    int type = 0;
    std::u16string format;
    bool param = true;
    std::u16string prefix, postfix;
    Variant value = Variant(u"");
};

struct CF {  // a composite field (column)
    bool resizable = false;
    int length = 10;
    int halign = 0, valign = 0, placement = 0;
    bool bold = false, italic = false, underline = false, inversion = false;
    int displayType = 0;
    bool twelveColumns = false;  // leave out column 12 (DisplayType)
    std::vector<F> fields;
};

struct CS {  // a composite string (line)
    int minRows = 1, maxRows = 1;
    bool printEmpty = false;
    std::vector<CF> columns;
};

struct S {  // a section
    std::u16string name;
    std::vector<CS> lines;
};

inline VariantArray level(uint32_t columns, size_t rows) {
    return VariantArray({ArrayBound{0, columns}, ArrayBound{0, static_cast<uint32_t>(rows)}});
}

inline Variant fields(const std::vector<F>& fs) {
    VariantArray a = level(9, fs.size());
    for (int i = 0; i < static_cast<int>(fs.size()); ++i) {
        const F& f = fs[static_cast<size_t>(i)];
        a.at({0, i}) = Variant(f.name);
        a.at({1, i}) = Variant(false);
        a.at({2, i}) = Variant(false);
        a.at({3, i}) = Variant(f.type);
        a.at({4, i}) = Variant(f.format);
        a.at({5, i}) = Variant(f.param);
        a.at({6, i}) = Variant(f.prefix);
        a.at({7, i}) = Variant(f.postfix);
        a.at({8, i}) = f.value;
    }
    return Variant(std::move(a));
}

inline Variant columns(const std::vector<CF>& cs) {
    const bool twelve = !cs.empty() && cs.front().twelveColumns;
    VariantArray a = level(twelve ? 12 : 13, cs.size());
    for (int i = 0; i < static_cast<int>(cs.size()); ++i) {
        const CF& c = cs[static_cast<size_t>(i)];
        a.at({0, i}) = Variant(false);
        a.at({1, i}) = Variant(c.resizable);
        a.at({2, i}) = Variant(c.length);
        a.at({3, i}) = Variant(c.halign);
        a.at({4, i}) = Variant(c.valign);
        a.at({5, i}) = Variant(c.placement);
        a.at({6, i}) = Variant(0);
        a.at({7, i}) = Variant(c.bold);
        a.at({8, i}) = Variant(c.italic);
        a.at({9, i}) = Variant(c.underline);
        a.at({10, i}) = Variant(c.inversion);
        a.at({11, i}) = fields(c.fields);
        if (!twelve) a.at({12, i}) = Variant(c.displayType);
    }
    return Variant(std::move(a));
}

inline Variant lines(const std::vector<CS>& ls) {
    VariantArray a = level(5, ls.size());
    for (int i = 0; i < static_cast<int>(ls.size()); ++i) {
        const CS& l = ls[static_cast<size_t>(i)];
        a.at({0, i}) = Variant(false);
        a.at({1, i}) = Variant(l.minRows);
        a.at({2, i}) = Variant(l.maxRows);
        a.at({3, i}) = columns(l.columns);
        a.at({4, i}) = Variant(l.printEmpty);
    }
    return Variant(std::move(a));
}

inline Variant sections(const std::vector<S>& ss) {
    VariantArray a = level(4, ss.size());
    for (int i = 0; i < static_cast<int>(ss.size()); ++i) {
        a.at({0, i}) = Variant(ss[static_cast<size_t>(i)].name);
        a.at({1, i}) = Variant(false);
        a.at({2, i}) = Variant(false);
        a.at({3, i}) = lines(ss[static_cast<size_t>(i)].lines);
    }
    return Variant(std::move(a));
}

using Params = std::vector<std::pair<std::u16string, Variant>>;
using DataRows = std::vector<std::pair<std::u16string, Params>>;

inline Variant params(const Params& ps) {
    VariantArray a = level(2, ps.size());
    for (int i = 0; i < static_cast<int>(ps.size()); ++i) {
        a.at({0, i}) = Variant(ps[static_cast<size_t>(i)].first);
        a.at({1, i}) = ps[static_cast<size_t>(i)].second;
    }
    return Variant(std::move(a));
}

inline Variant data(const DataRows& rows) {
    VariantArray a = level(2, rows.size());
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        a.at({0, i}) = Variant(rows[static_cast<size_t>(i)].first);
        a.at({1, i}) = params(rows[static_cast<size_t>(i)].second);
    }
    return Variant(std::move(a));
}

// The document's rows as UTF-8, each CR LF removed; fails the test when a row lacks its CR LF.
inline std::vector<std::string> rowsOf(const std::u16string& text) {
    std::vector<std::string> rows;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find(u"\r\n", start);
        if (end == std::u16string::npos) {
            rows.push_back("<no CR LF>" + u8(text.substr(start)));
            break;
        }
        rows.push_back(u8(text.substr(start, end - start)));
        start = end + 2;
    }
    return rows;
}

}  // namespace fr::templates::test
