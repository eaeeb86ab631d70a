#include "uEmuFaults.h"

#include <fstream>
#include <sstream>

#include "automation/NumberText.h"
#include "automation/Text.h"
#include "uEmuErrors.h"

namespace fr::emu {

namespace fs = std::filesystem;

TEmuFaults::TEmuFaults(fs::path file, std::function<bool(const std::u16string&)> isMethod)
    : FFile(std::move(file)), FIsMethod(std::move(isMethod)) {}

void TEmuFaults::refresh() {
    std::error_code ec;
    const bool present = fs::is_regular_file(FFile, ec);
    fs::file_time_type time{};
    uintmax_t size = 0;
    std::string content;
    if (present) {
        time = fs::last_write_time(FFile, ec);
        size = fs::file_size(FFile, ec);
        std::ifstream in(FFile, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        content = s.str();
    }
    if (present == FPresent && time == FTime && size == FSize && content == FContent) return;
    FPresent = present;
    FTime = time;
    FSize = size;
    FContent = std::move(content);
    FRules.clear();
    FPaperOut = false;
    FParseError.clear();
    FCalls.clear();
    if (present) parse(FContent);
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
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        std::istringstream words(line);
        std::string verb;
        if (!(words >> verb) || verb[0] == '#') continue;
        if (verb == "paper-out") {
            FPaperOut = true;
            continue;
        }
        if (verb != "fail" && verb != "raise") return fail(u"ожидалось \"fail\", \"raise\" или \"paper-out\"");
        Rule r;
        r.raise = verb == "raise";
        std::string method, nth, code;
        if (!(words >> method >> nth) || (!r.raise && !(words >> code)))
            return fail(r.raise ? u"ожидалось: raise <метод> <номер вызова> [текст]"
                                : u"ожидалось: fail <метод> <номер вызова> <код> [текст] [| расширенный текст]");
        const std::u16string name = utf8ToUtf16(method);
        if (!FIsMethod(name)) return fail(u"у объекта нет метода \"" + name + u"\", который можно сбоить");
        r.method = asciiUpperCase(name);
        int64_t n = 0;
        if (nth == "*") r.nth = 0;
        else if (tryTextToInt64(utf8ToUtf16(nth), n) && n >= 1) r.nth = n;
        else return fail(u"номер вызова должен быть числом от 1 или \"*\"");
        std::string text;
        std::getline(words >> std::ws, text);
        if (r.raise) {
            r.text = text.empty() ? u"Сбой при вызове метода " + name : utf8ToUtf16(trimmed(text));
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

void TEmuFaults::check(const std::u16string& method, bool prints) {
    refresh();
    if (!FParseError.empty()) throw EEmuError(ecSeeExtended, {}, FParseError);
    const std::u16string key = asciiUpperCase(method);
    const int64_t call = ++FCalls[key];
    for (const Rule& r : FRules) {
        if (r.method != key || (r.nth != 0 && r.nth != call)) continue;
        if (r.raise) throw EEmuRaised(r.text);
        // Code 1 without its own extended text: the rule's text is the particulars.
        if (r.code == ecSeeExtended && r.extended.empty())
            throw EEmuError(r.code, {}, r.text.empty() ? emuCodeText(r.code) : r.text);
        throw EEmuError(r.code, r.text, r.extended);
    }
    if (FPaperOut && prints) throw EEmuError(ecPaperOut);
}

}  // namespace fr::emu
