#include "templates/uTemplateLibFormatEntries.h"

#include <climits>

#include "automation/NumberText.h"

namespace fr::templates {

namespace {
char16_t foldCase(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
    if (c >= u'а' && c <= u'я') return static_cast<char16_t>(c - 32);
    if (c == u'ё') return u'Ё';
    return c;
}
}  // namespace

bool SameKey(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

TFormatEntries::TFormatEntries(std::u16string_view format) : FEmpty(format.empty()) {
    size_t start = 0;
    while (start <= format.size()) {
        size_t end = format.find(u';', start);
        if (end == std::u16string_view::npos) end = format.size();
        const std::u16string_view entry = format.substr(start, end - start);
        const size_t eq = entry.find(u'=');
        if (eq != std::u16string_view::npos)
            FEntries.push_back({std::u16string(entry.substr(0, eq)), std::u16string(entry.substr(eq + 1))});
        start = end + 1;
    }
    FExpr = Find(u"EXPR");
    FND = IntOf(u"ND", u"ЧЦ");
    FNFD = IntOf(u"NFD", u"ЧДЦ");
    FNDS = FirstNonEmpty(u"NDS", u"ЧРД");
    FNLZ = Has(u"NLZ") || Has(u"ЧВН");
    FDF = FirstNonEmpty(u"DF", u"ДФ");
}

TFormatEntries& TFormatEntries::operator=(const TFormatEntries& other) {
    if (this == &other) return *this;
    FEntries = other.FEntries;
    FEmpty = other.FEmpty;
    FExpr = Find(u"EXPR");
    FND = other.FND;
    FNFD = other.FNFD;
    FNDS = FirstNonEmpty(u"NDS", u"ЧРД");
    FNLZ = other.FNLZ;
    FDF = FirstNonEmpty(u"DF", u"ДФ");
    return *this;
}

const std::u16string* TFormatEntries::FirstNonEmpty(std::u16string_view latin, std::u16string_view cyrillic) const {
    const std::u16string* v = Find(latin);
    if (!v || v->empty()) v = Find(cyrillic);
    return v;
}

int TFormatEntries::IntOf(std::u16string_view latin, std::u16string_view cyrillic) const {
    int n = -1;
    if (FindInt(latin, n) || FindInt(cyrillic, n)) return n;
    return -1;
}

const std::u16string* TFormatEntries::Find(std::u16string_view key) const {
    for (const auto& e : FEntries)
        if (SameKey(e.Key, key)) return &e.Value;
    return nullptr;
}

bool TFormatEntries::FindInt(std::u16string_view key, int& out) const {
    const std::u16string* v = Find(key);
    int64_t n = 0;
    if (!v || !tryTextToInt64(*v, n) || n < INT_MIN || n > INT_MAX) return false;
    out = static_cast<int>(n);
    return true;
}

}  // namespace fr::templates
