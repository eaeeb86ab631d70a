#include "replay/LogValue.h"


namespace fr::replay {

namespace {

// A text ends at a quote followed by "; ", ")" or the end of the line, and which of those quotes
// it is shows only by whether the rest of the line still reads. So the reader keeps a choice point
// at every text and, when the line stops reading, goes back to the latest one and tries its next
// quote. It runs on its own stacks, not on the call stack: a wholesale receipt is one line of tens
// of thousands of values.
class Parser {
public:
    // strict: a text never takes in ")(", the border of two rows, which a host's text hardly holds.
    Parser(std::u16string_view s, bool strict) : s(s), strict(strict) {}

    std::optional<LogValueParse> run() {
        State st;
        for (;;) {
            if (++steps > kStepLimit) return std::nullopt;  // a line no log writes: not read
            const Step r = step(st);
            if (r == Step::Done) return build();
            if (r == Step::Fail && !backtrack(st)) return std::nullopt;
        }
    }

private:
    static constexpr long kStepLimit = 5'000'000;
    enum class Step { Go, Fail, Done };
    enum class Expect { Value, Group, AfterValue, AfterGroup };
    enum class Token { Word, Text, ArrayOpen, ArrayClose, GroupOpen, GroupClose };

    struct Frame {
        bool array = false;
        int dim = 0;         // a group's dimension; an array's number of dimensions
        int count = 0;       // a group's parts so far
        int partCount = -1;  // the parts of its first subgroup: every row as long
    };
    struct State {
        size_t p = 0;
        Expect expect = Expect::Value;
        int groupDim = 0;  // the dimension of the group expected
        std::vector<Frame> frames;
    };
    struct Item {
        Token token;
        size_t from = 0, to = 0;  // the text or word
        int dims = 0;
        bool stretched = false;
    };
    struct Choice {
        State state;        // as at the text's opening quote
        size_t resume = 0;  // where to look for its next closing quote
        size_t items = 0;
    };

    bool at(size_t p, std::u16string_view what) const { return s.substr(p, what.size()) == what; }
    bool endsElement(size_t p) const { return p == s.size() || s[p] == u')' || at(p, u"; "); }

    // The text opened at `open` closed at the first fitting quote from `from` on.
    bool closeText(State& st, size_t open, size_t from, bool stretched) {
        for (size_t q = from; q < s.size(); ++q) {
            if (s[q] != u'\'' || !endsElement(q + 1)) continue;
            if (strict && s.substr(open + 1, q - open - 1).find(u")(") != std::u16string_view::npos) return false;
            Choice c{st, q + 1, items.size()};
            c.state.p = open;
            choices.push_back(std::move(c));
            items.push_back(Item{Token::Text, open + 1, q, 0, stretched});
            st.p = q + 1;
            st.expect = Expect::AfterValue;
            return true;
        }
        return false;
    }

    bool backtrack(State& st) {
        while (!choices.empty()) {
            Choice c = std::move(choices.back());
            choices.pop_back();
            items.resize(c.items);
            st = std::move(c.state);
            if (closeText(st, st.p, c.resume, true)) return true;
        }
        return false;
    }

    Step step(State& st) {
        size_t& p = st.p;
        switch (st.expect) {
            case Expect::Value: {
                if (p < s.size() && s[p] == u'[') {
                    int dims = 0;
                    while (p + 1 + static_cast<size_t>(dims) < s.size() && s[p + 1 + static_cast<size_t>(dims)] == u'(')
                        ++dims;
                    if (dims == 0) return Step::Fail;
                    items.push_back(Item{Token::ArrayOpen, 0, 0, dims, false});
                    st.frames.push_back(Frame{true, dims});
                    ++p;
                    st.expect = Expect::Group;
                    st.groupDim = dims;
                    return Step::Go;
                }
                if (p < s.size() && s[p] == u'\'') return closeText(st, p, p + 1, false) ? Step::Go : Step::Fail;
                size_t q = p;
                while (!endsElement(q)) ++q;
                if (!IsLogWord(s.substr(p, q - p))) return Step::Fail;
                items.push_back(Item{Token::Word, p, q, 0, false});
                p = q;
                st.expect = Expect::AfterValue;
                return Step::Go;
            }
            case Expect::Group: {
                if (p >= s.size() || s[p] != u'(') return Step::Fail;
                ++p;
                items.push_back(Item{Token::GroupOpen, 0, 0, st.groupDim, false});
                st.frames.push_back(Frame{false, st.groupDim});
                if (at(p, u")")) return closeGroup(st);
                if (st.groupDim > 1) --st.groupDim;
                else st.expect = Expect::Value;
                return Step::Go;
            }
            case Expect::AfterValue: {
                if (st.frames.empty()) return p == s.size() ? Step::Done : Step::Fail;
                Frame& g = st.frames.back();
                ++g.count;
                if (at(p, u"; ")) {
                    p += 2;
                    st.expect = Expect::Value;
                    return Step::Go;
                }
                if (p < s.size() && s[p] == u')') return closeGroup(st);
                return Step::Fail;
            }
            case Expect::AfterGroup: {
                Frame& parent = st.frames.back();
                if (parent.array) {
                    if (p >= s.size() || s[p] != u']') return Step::Fail;
                    ++p;
                    items.push_back(Item{Token::ArrayClose, 0, 0, 0, false});
                    st.frames.pop_back();
                    st.expect = Expect::AfterValue;
                    return Step::Go;
                }
                if (p < s.size() && s[p] == u'(') {
                    st.expect = Expect::Group;
                    st.groupDim = parent.dim - 1;
                    return Step::Go;
                }
                if (p < s.size() && s[p] == u')') return closeGroup(st);
                return Step::Fail;
            }
        }
        return Step::Fail;
    }

    // At the ")" of the innermost group.
    Step closeGroup(State& st) {
        ++st.p;
        const Frame g = st.frames.back();
        st.frames.pop_back();
        Frame& parent = st.frames.back();
        if (!parent.array) {
            // The rows of a table are all as long.
            if (parent.partCount >= 0 && parent.partCount != g.count) return Step::Fail;
            parent.partCount = g.count;
            ++parent.count;
        }
        items.push_back(Item{Token::GroupClose, 0, 0, 0, false});
        st.expect = Expect::AfterGroup;
        return Step::Go;
    }

    std::optional<LogValueParse> build() const {
        LogValueParse out;
        std::vector<LogNode> open;  // the arrays and groups being filled
        auto add = [&](LogNode&& n) {
            if (open.empty()) out.value = std::move(n);
            else open.back().items.push_back(std::move(n));
        };
        for (const Item& i : items) {
            switch (i.token) {
                case Token::Word: case Token::Text: {
                    const auto kind = i.token == Token::Word ? LogNode::Kind::Word : LogNode::Kind::Text;
                    std::u16string t(s.substr(i.from, i.to - i.from));
                    if (i.stretched) out.stretched.push_back(t);
                    add(LogNode{kind, std::move(t), {}, 0});
                    break;
                }
                case Token::ArrayOpen: open.push_back(LogNode{LogNode::Kind::Array, {}, {}, i.dims}); break;
                case Token::GroupOpen: open.push_back(LogNode{LogNode::Kind::Group, {}, {}, i.dims}); break;
                case Token::ArrayClose: case Token::GroupClose: {
                    LogNode n = std::move(open.back());
                    open.pop_back();
                    add(std::move(n));
                    break;
                }
            }
        }
        return out;
    }

    std::u16string_view s;
    bool strict;
    long steps = 0;
    std::vector<Item> items;
    std::vector<Choice> choices;
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

std::optional<LogValueParse> ParseLogValue(std::u16string_view text) {
    if (std::optional<LogValueParse> v = Parser(text, true).run()) return v;
    return Parser(text, false).run();
}

}  // namespace fr::replay
