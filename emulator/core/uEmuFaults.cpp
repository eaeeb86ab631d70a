#include "uEmuFaults.h"

#include <chrono>
#include <sstream>
#include <thread>

#include "automation/NumberText.h"
#include "automation/Text.h"
#include "automation/TextEncoding.h"
#include "uEmuErrors.h"
#include "uEmuFiles.h"

namespace fr::emu {

namespace fs = std::filesystem;

TEmuFaults::TEmuFaults(fs::path file, std::function<bool(const std::u16string&)> isMethod)
    : FFile(std::move(file)), FIsMethod(std::move(isMethod)) {}

TEmuFaults::Snapshot TEmuFaults::read() const {
    Snapshot s;
    s.present = files::exists(FFile);
    if (!s.present) return s;
    s.time = files::writeTime(FFile);
    s.content = files::read(FFile).value_or(std::string());
    return s;
}

void TEmuFaults::refresh() {
    Snapshot now = read();
    if (now == FSeen) return;
    FSeen = std::move(now);
    FRules.clear();
    FPaperOut = false;
    FDown.reset();
    FParseError.clear();
    FCalls.clear();
    // Rules are read as UTF-8 whatever the file was saved in.
    if (FSeen.present) parse(utf16ToUtf8(decodeTextFile(FSeen.content)));
}

void TEmuFaults::waitForChange() const {
    while (read() == FSeen) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

namespace {
std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}
}  // namespace

void TEmuFaults::parse(const std::string& content) {
    std::istringstream lines(content);
    std::string line;
    int number = 0;
    auto fail = [&](const std::u16string& why) {
        FRules.clear();
        FPaperOut = false;
        FParseError = u"Ошибка в файле сбоев \"" + FFile.u16string() + u"\", строка " +
                      utf8ToUtf16(std::to_string(number)) + u": " + why;
    };
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string verb;
        if (!(words >> verb) || verb[0] == '#') continue;
        if (verb == "paper-out") {
            FPaperOut = true;
            continue;
        }
        static const std::map<std::string, Kind> kinds = {
            {"fail", Kind::Fail}, {"after", Kind::After}, {"raise", Kind::Raise},
            {"lost", Kind::Lost}, {"down", Kind::Down},   {"hang", Kind::Hang}};
        const auto kind = kinds.find(verb);
        if (kind == kinds.end())
            return fail(u"ожидалось \"fail\", \"after\", \"raise\", \"lost\", \"down\", \"hang\" или \"paper-out\"");
        Rule r;
        r.kind = kind->second;
        const bool answers = r.kind == Kind::Fail || r.kind == Kind::After;  // the rule names a code
        std::string method, nth, code;
        if (!(words >> method >> nth) || (answers && !(words >> code))) {
            switch (r.kind) {
                case Kind::Fail:
                case Kind::After:
                    return fail(u"ожидалось: " + utf8ToUtf16(verb) +
                                u" <метод> <номер вызова> <код> [текст] [| расширенный текст]");
                case Kind::Hang: return fail(u"ожидалось: hang <метод> <номер вызова>");
                default: return fail(u"ожидалось: " + utf8ToUtf16(verb) + u" <метод> <номер вызова> [текст]");
            }
        }
        const std::u16string name = utf8ToUtf16(method);
        if (!FIsMethod(name)) return fail(u"у объекта нет метода \"" + name + u"\", который можно сбоить");
        r.method = asciiUpperCase(name);
        int64_t n = 0;
        if (nth == "*") r.nth = 0;
        else if (tryTextToInt64(utf8ToUtf16(nth), n) && n >= 1) r.nth = n;
        else return fail(u"номер вызова должен быть числом от 1 или \"*\"");
        std::string text;
        std::getline(words >> std::ws, text);
        text = trimmed(text);
        if (r.kind == Kind::Hang) {
            if (!text.empty()) return fail(u"ожидалось: hang <метод> <номер вызова>");
            FRules.push_back(std::move(r));
            continue;
        }
        if (!answers) {
            static const std::map<Kind, std::u16string> defaults = {
                {Kind::Raise, u"Сбой при вызове метода "},
                {Kind::Lost, u"Ответ ККТ потерян при вызове метода "},
                {Kind::Down, u"Нет связи с ККТ: связь потеряна при вызове метода "}};
            r.text = text.empty() ? defaults.at(r.kind) + name : utf8ToUtf16(text);
            FRules.push_back(std::move(r));
            continue;
        }
        int64_t c = 0;
        if (!tryTextToInt64(utf8ToUtf16(code), c) || c == 0 || c < INT32_MIN || c > INT32_MAX)
            return fail(u"код ошибки должен быть ненулевым целым числом");
        r.code = static_cast<int32_t>(c);
        const size_t bar = text.find('|');
        if (bar != std::string::npos) {
            r.extended = utf8ToUtf16(trimmed(text.substr(bar + 1)));
            if (r.extended.empty()) return fail(u"после \"|\" ожидался расширенный текст");
            text = text.substr(0, bar);
        }
        r.text = utf8ToUtf16(trimmed(text));
        FRules.push_back(std::move(r));
    }
}

EEmuError TEmuFaults::error(const Rule& r) {
    // Code 1 without its own extended text: the rule's text is the particulars.
    if (r.code == ecSeeExtended && r.extended.empty())
        return EEmuError(r.code, {}, r.text.empty() ? emuCodeText(r.code) : r.text);
    return EEmuError(r.code, r.text, r.extended);
}

TEmuFaults::Aftermath TEmuFaults::check(const std::u16string& method, bool prints) {
    refresh();
    if (!FParseError.empty()) throw EEmuError(ecSeeExtended, {}, FParseError);
    if (FDown) throw EEmuRaised(*FDown);
    const std::u16string key = asciiUpperCase(method);
    const int64_t call = ++FCalls[key];
    Aftermath outcome;
    for (const Rule& r : FRules) {
        if (r.method != key || (r.nth != 0 && r.nth != call)) continue;
        switch (r.kind) {
            case Kind::Fail: throw error(r);
            // Carried out first, unless the register is out of paper (below).
            case Kind::After: outcome.reported = error(r); break;
            case Kind::Raise: throw EEmuRaised(r.text);
            case Kind::Lost: outcome.lostAnswer = r.text; return outcome;
            case Kind::Down: FDown = outcome.lostAnswer = r.text; return outcome;
            // Once released the call goes ahead as if nothing had happened: the host that was
            // meant to be killed meanwhile is gone, and one still alive gets its answer.
            case Kind::Hang: waitForChange(); return {};
        }
        break;
    }
    if (FPaperOut && prints) throw EEmuError(ecPaperOut);
    return outcome;
}

}  // namespace fr::emu
