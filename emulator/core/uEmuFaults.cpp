#include "uEmuFaults.h"

#include <fstream>
#include <sstream>

#include "automation/NumberText.h"
#include "automation/Text.h"
#include "uEmuErrors.h"

namespace fr::emu {

namespace fs = std::filesystem;

TEmuFaults::TEmuFaults(fs::path file) : FFile(std::move(file)) {}

void TEmuFaults::refresh() {
    std::error_code ec;
    const bool present = fs::is_regular_file(FFile, ec);
    fs::file_time_type time{};
    uintmax_t size = 0;
    if (present) {
        time = fs::last_write_time(FFile, ec);
        size = fs::file_size(FFile, ec);
    }
    if (present == FPresent && time == FTime && size == FSize) return;
    FPresent = present;
    FTime = time;
    FSize = size;
    FRules.clear();
    FPaperOut = false;
    FParseError.clear();
    FCalls.clear();
    if (!present) return;
    std::ifstream in(FFile, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    parse(content.str());
}

void TEmuFaults::parse(const std::string& content) {
    std::istringstream lines(content);
    std::string line;
    int number = 0;
    auto fail = [&](const char16_t* why) {
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
        if (verb != "fail") return fail(u"ожидалось \"fail\" или \"paper-out\"");
        std::string method, nth, code;
        if (!(words >> method >> nth >> code)) return fail(u"ожидалось: fail <метод> <номер вызова> <код> [текст]");
        Rule r;
        r.method = asciiUpperCase(utf8ToUtf16(method));
        int64_t n = 0;
        if (nth == "*") r.nth = 0;
        else if (tryTextToInt64(utf8ToUtf16(nth), n) && n >= 1) r.nth = n;
        else return fail(u"номер вызова должен быть числом от 1 или \"*\"");
        int64_t c = 0;
        if (!tryTextToInt64(utf8ToUtf16(code), c) || c == 0 || c < INT32_MIN || c > INT32_MAX)
            return fail(u"код ошибки должен быть ненулевым целым числом");
        r.code = static_cast<int32_t>(c);
        std::string text;
        std::getline(words >> std::ws, text);
        r.text = utf8ToUtf16(text);
        FRules.push_back(std::move(r));
    }
}

void TEmuFaults::check(const std::u16string& method, bool prints) {
    refresh();
    if (!FParseError.empty()) throw EEmuError(ecSeeExtended, {}, FParseError);
    const std::u16string key = asciiUpperCase(method);
    const int64_t call = ++FCalls[key];
    for (const Rule& r : FRules)
        if (r.method == key && (r.nth == 0 || r.nth == call)) {
            if (r.code == ecSeeExtended) throw EEmuError(r.code, {}, r.text.empty() ? emuCodeText(r.code) : r.text);
            throw EEmuError(r.code, r.text);
        }
    if (FPaperOut && prints) throw EEmuError(ecPaperOut);
}

}  // namespace fr::emu
