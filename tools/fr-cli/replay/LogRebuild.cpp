#include "replay/LogRebuild.h"

#include <algorithm>
#include <climits>

#include "automation/DateTime.h"
#include "automation/NumberText.h"
#include "automation/Text.h"
#include "fiscal/uReceiptTables.h"

namespace fr::replay {

namespace {

// A date as the platform wrote it: the short date's parts in its order, then hours, minutes and
// seconds, whatever separates them (the driver's own formats separate them by blanks).
bool tryLogDate(std::u16string_view w, const TFormatSettings& fs, double& out) {
    if (tryTextToDateTime(w, fs, out)) return true;
    std::vector<int> parts;
    for (size_t i = 0; i < w.size();) {
        if (!(w[i] >= u'0' && w[i] <= u'9')) {
            if (std::u16string_view(u" .:/-").find(w[i]) == std::u16string_view::npos) return false;
            ++i;
            continue;
        }
        int v = 0, digits = 0;
        for (; i < w.size() && w[i] >= u'0' && w[i] <= u'9'; ++i, ++digits) v = v * 10 + (w[i] - u'0');
        if (digits > 4) return false;
        parts.push_back(v);
    }
    if (parts.size() != 3 && parts.size() != 5 && parts.size() != 6) return false;
    const std::u16string order = asciiLowerCase(fs.ShortDateFormat);
    const size_t y = order.find(u'y'), m = order.find(u'm'), d = order.find(u'd');
    if (y == std::u16string::npos || m == std::u16string::npos || d == std::u16string::npos) return false;
    auto rank = [&](size_t pos) { return (pos > y) + (pos > m) + (pos > d); };
    const int year = parts[static_cast<size_t>(rank(y))], month = parts[static_cast<size_t>(rank(m))],
              day = parts[static_cast<size_t>(rank(d))];
    const int hour = parts.size() > 3 ? parts[3] : 0, minute = parts.size() > 4 ? parts[4] : 0,
              second = parts.size() > 5 ? parts[5] : 0;
    return tryEncodeDateTime(year, month, day, hour, minute, second, 0, out);
}

class Rebuilder {
public:
    Rebuilder(const LogHints& hints, const TFormatSettings& fs) : hints(hints), fs(fs) {}

    std::optional<Variant> node(const LogNode& n, LogPath& path) {
        switch (n.kind) {
            case LogNode::Kind::Text: return text(n.text);
            case LogNode::Kind::Word: return word(n.text, path);
            case LogNode::Kind::Array: return array(n, path);
            case LogNode::Kind::Group: break;
        }
        return fail(u"a group outside an array");
    }

    void guess(const LogPath& path, const std::u16string& what) {
        LogPath shown = path;
        // Rows of a table are alike: one note a column.
        if (shown.size() >= 3) shown.back() = -1;
        const std::u16string g = PathText(shown) + u" " + what;
        if (std::find(guesses.begin(), guesses.end(), g) == guesses.end()) guesses.push_back(g);
    }

    std::vector<std::u16string> guesses;
    std::u16string failure;

private:
    std::optional<Variant> fail(const std::u16string& why) {
        if (failure.empty()) failure = why;
        return std::nullopt;
    }

    std::optional<Variant> text(const std::u16string& t) {
        if (t.find(u"\\n") != std::u16string::npos) {
            if (std::find(guesses.begin(), guesses.end(), kLineBreaks) == guesses.end()) guesses.push_back(kLineBreaks);
            return Variant(replaceAll(t, u"\\n", u"\r\n"));
        }
        return Variant(t);
    }

    std::optional<Variant> word(const std::u16string& w, const LogPath& path) {
        if (w == u"EMPTY") return Variant();
        if (w == u"NULL") return Variant::null();
        if (w == u"True") return Variant(true);
        if (w == u"False") return Variant(false);
        if (w.empty()) {
            // What the log writes as nothing: 64-bit and unsigned integers, decimals, errors.
            guess(path, u"(не записано) → EMPTY");
            return Variant();
        }
        if (w[0] == u'$') return fail(PathText(path) + u" объект " + w + u" не восстановить");
        const LogHint hint = hints ? hints(path) : LogHint::AsRead;
        int64_t i = 0;
        if (tryTextToInt64(w, i)) {
            if (hint == LogHint::Currency) {
                guess(path, u"→ currency");
                return Variant::currency(i * 10000);
            }
            if (i >= INT32_MIN && i <= INT32_MAX) return Variant(static_cast<int32_t>(i));
            guess(path, u"→ double");
            return Variant(static_cast<double>(i));
        }
        if (std::optional<std::u16string> n = number(w)) {
            if (hint == LogHint::Currency) {
                int64_t scaled = 0;
                if (tryTextToCurrency(*n, fs, scaled) == NumberParse::Ok) {
                    guess(path, u"→ currency");
                    return Variant::currency(scaled);
                }
            }
            double d = 0;
            tryTextToDouble(*n, fs, d);
            guess(path, u"→ double");
            return Variant(d);
        }
        double date = 0;
        if (tryLogDate(w, fs, date)) return Variant::date(date);
        if (w.size() == 1 && w[0] < 256) {
            guess(path, u"→ байт");
            return Variant::ofInt(VarType::UI1, w[0]);
        }
        return fail(PathText(path) + u" «" + w + u"» не читается как значение");
    }

    // The number in fs's format; a log from a system with the other separator reads too.
    std::optional<std::u16string> number(const std::u16string& w) const {
        double d = 0;
        if (tryTextToDouble(w, fs, d)) return w;
        std::u16string other = w;
        const char16_t alt = fs.DecimalSeparator == u'.' ? u',' : u'.';
        std::replace(other.begin(), other.end(), alt, fs.DecimalSeparator);
        if (other != w && tryTextToDouble(other, fs, d)) return other;
        return std::nullopt;
    }

    std::optional<Variant> array(const LogNode& a, LogPath& path) {
        // Counts per dimension from the first group at each level; every group must agree.
        std::vector<ArrayBound> bounds(static_cast<size_t>(a.dims));
        const LogNode* g = &a.items.front();
        for (int d = a.dims; d >= 1; --d) {
            bounds[static_cast<size_t>(d - 1)].count = static_cast<uint32_t>(g->items.size());
            if (d > 1) {
                if (g->items.empty()) break;
                g = &g->items.front();
            }
        }
        uint64_t total = 1;
        for (const ArrayBound& b : bounds) total *= b.count;
        if (total == 0) return Variant(VariantArray(std::vector<ArrayBound>{ArrayBound{0, 0}}));
        VariantArray out(bounds);
        std::vector<int32_t> index(static_cast<size_t>(a.dims));
        size_t off = 0;
        if (!fill(a.items.front(), a.dims, bounds, index, out, off, path)) return std::nullopt;
        return Variant(std::move(out));
    }

    bool fill(const LogNode& g, int d, const std::vector<ArrayBound>& bounds, std::vector<int32_t>& index,
              VariantArray& out, size_t& off, LogPath& path) {
        if (g.items.size() != bounds[static_cast<size_t>(d - 1)].count) {
            fail(PathText(path) + u" строки массива разной длины");
            return false;
        }
        for (size_t k = 0; k < g.items.size(); ++k) {
            index[static_cast<size_t>(d - 1)] = static_cast<int32_t>(k);
            if (d > 1) {
                if (!fill(g.items[k], d - 1, bounds, index, out, off, path)) return false;
                continue;
            }
            const size_t depth = path.size();
            path.insert(path.end(), index.begin(), index.end());
            std::optional<Variant> v = node(g.items[k], path);
            path.resize(depth);
            if (!v) return false;
            out.items()[off++] = std::move(*v);
        }
        return true;
    }

    static constexpr const char16_t* kLineBreaks = u"\\n → CR LF";
    const LogHints& hints;
    const TFormatSettings& fs;
};

}  // namespace

std::u16string PathText(const LogPath& path) {
    std::u16string s = u"[";
    for (size_t i = 0; i < path.size(); ++i) {
        if (i) s += u',';
        s += path[i] < 0 ? u"*" : utf8ToUtf16(std::to_string(path[i]));
    }
    return s + u"]";
}

LogRebuild RebuildLogValue(std::u16string_view text, const LogHints& hints, const TFormatSettings& fs) {
    LogRebuild r;
    std::optional<LogValueParse> parsed = ParseLogValue(text);
    if (!parsed) {
        r.failure = u"значение не читается";
        return r;
    }
    Rebuilder b(hints, fs);
    LogPath path;
    r.value = b.node(parsed->value, path);
    r.guesses = std::move(b.guesses);
    for (const std::u16string& t : parsed->stretched)
        r.guesses.push_back(u"кавычка перед «; » внутри текста: «" + t + u"» прочитан одним текстом");
    r.failure = std::move(b.failure);
    return r;
}

LogHints InDataHints(std::u16string_view method) {
    const std::u16string m = asciiUpperCase(method);
    if (m == u"ENCASH" || m == u"PRINTCORRECTIONRECEIPT")
        return [](const LogPath& p) { return p == LogPath{1} ? LogHint::Currency : LogHint::AsRead; };
    if (m == u"PRINTRECEIPT")
        return [](const LogPath& p) {
            // The columns the receipt's tables read as currency: prices, discounts, tax amounts,
            // payments and the receipt's sums.
            VarType type = VarType::Empty;
            if (p.size() == 3 && p[0] == 0) type = ItemColumnType(p[1]);
            if (p.size() == 3 && p[0] == 1) type = PaymentColumnType(p[1]);
            if (p.size() == 2 && p[0] == 2) type = CommonParameterType(p[1]);
            return type == VarType::CY ? LogHint::Currency : LogHint::AsRead;
        };
    return {};
}

}  // namespace fr::replay
