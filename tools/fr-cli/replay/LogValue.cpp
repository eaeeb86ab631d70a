#include "replay/LogValue.h"

#include <functional>
#include <memory>

namespace fr::replay {

namespace {

// Recursive descent with backtracking: a text ends at a quote followed by "; ", ")" or the end,
// and which of those quotes it is shows only by whether the rest still reads.
class Parser {
public:
    explicit Parser(std::u16string_view s) : s(s) {}

    std::optional<LogValueParse> run() {
        std::optional<LogValueParse> found;
        value([&](size_t p, LogNode&& v) {
            if (p != s.size()) return false;
            found = LogValueParse{std::move(v), stretched};
            return true;
        }, 0);
        return found;
    }

private:
    using Next = std::function<bool(size_t, LogNode&&)>;
    static constexpr long kStepLimit = 1'000'000;

    bool at(size_t p, std::u16string_view what) const { return s.substr(p, what.size()) == what; }
    bool endsElement(size_t p) const { return p == s.size() || s[p] == u')' || at(p, u"; "); }

    bool value(const Next& next, size_t p) {
        if (++steps > kStepLimit) return false;  // a line no log writes: not read
        if (p < s.size() && s[p] == u'[') return array(next, p);
        if (p < s.size() && s[p] == u'\'') return text(next, p);
        size_t q = p;
        while (!endsElement(q)) ++q;
        std::u16string_view w = s.substr(p, q - p);
        if (!IsLogWord(w)) return false;
        return next(q, LogNode{LogNode::Kind::Word, std::u16string(w), {}, 0});
    }

    // The first quote that ends an element ends the text, unless the rest then does not read.
    bool text(const Next& next, size_t p) {
        bool later = false;
        for (size_t q = p + 1; q < s.size(); ++q) {
            if (s[q] != u'\'' || !endsElement(q + 1)) continue;
            const std::u16string_view t = s.substr(p + 1, q - p - 1);
            if (later) stretched.emplace_back(t);
            const bool ok = next(q + 1, LogNode{LogNode::Kind::Text, std::u16string(t), {}, 0});
            if (ok) return true;
            if (later) stretched.pop_back();
            later = true;
        }
        return false;
    }

    bool array(const Next& next, size_t p) {
        int dims = 0;
        while (p + 1 + static_cast<size_t>(dims) < s.size() && s[p + 1 + static_cast<size_t>(dims)] == u'(') ++dims;
        if (dims == 0) return false;
        return group(dims, p + 1, [&](size_t q, LogNode&& g) {
            if (q >= s.size() || s[q] != u']') return false;
            LogNode a{LogNode::Kind::Array, {}, {}, dims};
            a.items.push_back(std::move(g));
            return next(q + 1, std::move(a));
        });
    }

    // "(" parts ")": values separated by "; " in the first dimension, subgroups side by side above.
    bool group(int dim, size_t p, const Next& next) {
        if (p >= s.size() || s[p] != u'(') return false;
        auto g = std::make_shared<LogNode>(LogNode{LogNode::Kind::Group, {}, {}, dim});
        if (at(p + 1, u")")) return next(p + 2, LogNode(*g));
        return parts(dim, p + 1, g, next);
    }

    bool parts(int dim, size_t p, const std::shared_ptr<LogNode>& g, const Next& next) {
        auto after = [&](size_t q, LogNode&& part) {
            // The rows of a table are all as long.
            if (dim > 1 && !g->items.empty() && part.items.size() != g->items.front().items.size()) return false;
            g->items.push_back(std::move(part));
            bool ok = false;
            if (q < s.size() && s[q] == u')') ok = next(q + 1, LogNode(*g));
            if (!ok) {
                if (dim == 1 && at(q, u"; ")) ok = parts(dim, q + 2, g, next);
                else if (dim > 1 && q < s.size() && s[q] == u'(') ok = parts(dim, q, g, next);
            }
            if (!ok) g->items.pop_back();
            return ok;
        };
        return dim == 1 ? value(after, p) : group(dim - 1, p, after);
    }

    std::u16string_view s;
    long steps = 0;
    std::vector<std::u16string> stretched;
};

}  // namespace

bool IsLogWord(std::u16string_view w) {
    if (w.empty() || w.size() == 1) return true;
    if (w == u"EMPTY" || w == u"NULL" || w == u"True" || w == u"False") return true;
    if (w[0] == u'$') {
        for (char16_t c : w.substr(1))
            if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))) return false;
        return true;
    }
    bool digit = false;
    for (char16_t c : w) {
        if (c >= u'0' && c <= u'9') digit = true;
        else if (std::u16string_view(u"+-.,:/ Ee").find(c) == std::u16string_view::npos) return false;
    }
    return digit;
}

std::optional<LogValueParse> ParseLogValue(std::u16string_view text) { return Parser(text).run(); }

}  // namespace fr::replay
