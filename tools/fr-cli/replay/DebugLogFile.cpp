#include "replay/DebugLogFile.h"

#include <fstream>
#include <iterator>
#include <map>

#include "automation/Text.h"
#include "automation/TextEncoding.h"

namespace fr::replay {

namespace {

std::u16string number(int n) { return utf8ToUtf16(std::to_string(n)); }

// "yyyy.mm.dd hh:nn:ss.zzz", digits where digits go.
bool isTimestamp(std::u16string_view s) {
    static constexpr std::u16string_view pattern = u"9999.99.99 99:99:99.999";
    if (s.size() < pattern.size()) return false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'9' ? !(s[i] >= u'0' && s[i] <= u'9') : s[i] != pattern[i]) return false;
    }
    return true;
}

struct Line {
    std::u16string time, instance, caption, text;
    bool raw = true;
};

bool splitLine(std::u16string_view s, Line& out) {
    static constexpr std::u16string_view inst = u" Inst.: ";
    if (!isTimestamp(s) || s.substr(23, inst.size()) != inst) return false;
    out.time = std::u16string(s.substr(0, 23));
    const size_t idStart = 23 + inst.size();
    const size_t tab = s.find(u'\t', idStart);
    if (tab == std::u16string_view::npos) return false;
    out.instance = std::u16string(s.substr(idStart, tab - idStart));
    std::u16string_view rest = s.substr(tab + 1);
    const size_t colon = rest.find(u": \t");
    out.raw = colon == std::u16string_view::npos;
    out.caption = std::u16string(out.raw ? rest : rest.substr(0, colon));
    if (!out.raw) out.text = std::u16string(rest.substr(colon + 3));
    return true;
}

bool startsWith(std::u16string_view s, std::u16string_view p) { return s.substr(0, p.size()) == p; }

class Reader {
public:
    DebugLogRead read(std::string_view bytes) {
        const std::u16string text = decodeTextFile(bytes);
        std::vector<std::u16string_view> lines;
        std::u16string_view rest = text;
        std::u16string_view eol = u"\r\n";
        if (rest.find(eol) == std::u16string_view::npos && rest.find(u'\n') != std::u16string_view::npos) {
            eol = u"\n";
            out.notes.push_back(u"строки разделены LF, не CR LF: файл переписан после драйвера");
        }
        while (!rest.empty()) {
            const size_t end = rest.find(eol);
            if (end == std::u16string_view::npos) {
                // The driver writes a line and its end at once: a last line without one was cut.
                out.notes.push_back(u"строка " + number(static_cast<int>(lines.size()) + 1) +
                                    u": обрезана (нет конца строки), не прочитана");
                break;
            }
            lines.push_back(rest.substr(0, end));
            rest = rest.substr(end + eol.size());
        }
        for (size_t i = 0; i < lines.size() && out.error.empty(); ++i) line(static_cast<int>(i) + 1, lines[i]);
        if (out.error.empty() && out.events.empty()) {
            out.error = lines.empty() ? u"строка 1: в файле нет ни одной целой строки" : u"в журнале нет ни одного вызова";
            out.errorLine = lines.empty() ? 1 : 0;
        }
        return std::move(out);
    }

private:
    void line(int n, std::u16string_view s) {
        if (s.empty()) return;
        Line l;
        if (!splitLine(s, l)) {
            out.error = u"строка " + number(n) + u": не строка отладочного журнала";
            out.errorLine = n;
            return;
        }
        if (l.raw) return raw(n, l);
        auto header = headers.find(l.instance);
        if (header != headers.end() && !out.events[header->second].complete) {
            LogEvent& h = out.events[header->second];
            if (l.caption == u"driver ver.") return;
            if (l.caption == u"device ID") {
                h.deviceId = l.text;
                return;
            }
            h.settings.push_back(LogSetting{l.caption, l.text, n});
            return;
        }
        if (startsWith(l.caption, u"> ")) return start(n, l);
        if (startsWith(l.caption, u"< ")) return end(n, l);
        if (l.caption == u"EXCEPTION") {
            auto p = pending.find(l.instance);
            if (p != pending.end()) {
                out.events[p->second].exception = l.text;
                pending.erase(p);
                return;
            }
        }
        out.notes.push_back(u"строка " + number(n) + u": «" + l.caption + u"» вне вызова, пропущена");
    }

    void raw(int n, const Line& l) {
        if (l.caption.find(u"Begin debug log") != std::u16string::npos) {
            LogEvent h;
            h.kind = LogEvent::Kind::Header;
            h.line = n;
            h.time = l.time;
            h.instance = l.instance;
            headers[l.instance] = out.events.size();
            out.events.push_back(std::move(h));
            return;
        }
        if (l.caption.size() == 40 && l.caption.find_first_not_of(u'-') == std::u16string::npos) {
            auto h = headers.find(l.instance);
            if (h != headers.end()) out.events[h->second].complete = true;
        }
    }

    void start(int n, const Line& l) {
        LogEvent c;
        c.line = n;
        c.time = l.time;
        c.instance = l.instance;
        c.method = l.caption.substr(2);
        c.isPublic = startsWith(l.text, u"InData: ");
        c.input = l.text.substr(std::min<size_t>(l.text.size(), c.isPublic ? 8 : startsWith(l.text, u"Params: ") ? 8 : 0));
        // A call left without its end (Disable switches the log off) stays so.
        pending[l.instance] = out.events.size();
        out.events.push_back(std::move(c));
    }

    void end(int n, const Line& l) {
        auto p = pending.find(l.instance);
        const std::u16string method = l.caption.substr(2);
        if (p == pending.end() || out.events[p->second].method != method) {
            out.notes.push_back(u"строка " + number(n) + u": конец " + method + u" без начала, пропущена");
            return;
        }
        LogEvent& c = out.events[p->second];
        pending.erase(p);
        const std::u16string_view tail = c.isPublic ? u"; OutData: " : u"; Params: ";
        const size_t cut = l.text.find(tail);
        if (!startsWith(l.text, u"Result=") || cut == std::u16string::npos) {
            out.notes.push_back(u"строка " + number(n) + u": конец " + method + u" не читается, результат не сравнивается");
            return;
        }
        c.ended = true;
        c.endLine = n;
        c.result = l.text.substr(7, cut - 7);
        c.output = l.text.substr(cut + tail.size());
    }

    DebugLogRead out;
    std::map<std::u16string, size_t> headers;  // the last header of each object
    std::map<std::u16string, size_t> pending;  // the call of each object that has not ended
};

}  // namespace

DebugLogRead ParseDebugLog(std::string_view bytes) { return Reader().read(bytes); }

DebugLogRead ReadDebugLog(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        DebugLogRead r;
        r.error = u"не удаётся открыть " + file.u16string();
        return r;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseDebugLog(bytes);
}

}  // namespace fr::replay
