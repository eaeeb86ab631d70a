// fr-cli render template.xml data.json [options]: the document a template prints with the given
// data, one line per printed row, exactly as the driver hands it to the cash register.
//
// The data file is a JSON array of rows in print order, each [section name, parameters]; the
// parameters are an object {"name": value, ...} (kept in the order written) or an array of
// [name, value] pairs (which may repeat a name). Values: a string is text, true/false a Boolean,
// null is Null, an integer within 32 bits a 32-bit integer, any other number a double,
// {"$date": "2026-12-09T14:30:00"} a date (time optional, also "2026-12-09 14:30"), and
// {"$currency": "12.3456"} a currency amount.
#include <cctype>
#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "CliCommand.h"
#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "automation/NumberText.h"
#include "automation/Text.h"
#include "templates/uTemplateObj.h"
#include "templates/uTemplateXml.h"

#ifdef _WIN32
#include <objbase.h>

#include "module/uComBridge.h"
#endif

using namespace fr;
using namespace fr::templates;
using json = nlohmann::ordered_json;

namespace {

[[noreturn]] void fail(const std::string& message) { throw EError(u16(message)); }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) fail("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Control strings as typed: UTF-8 with \e, \xHH and \\ escapes; a byte value becomes one
// character of that code, as the printer's escape bytes are taken into the text.
std::u16string controlText(const std::string& typed) {
    std::u16string out;
    std::string run;
    const auto flush = [&] {
        out += u16(run);
        run.clear();
    };
    for (size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] != '\\' || i + 1 >= typed.size()) {
            run.push_back(typed[i]);
            continue;
        }
        const char next = typed[i + 1];
        if (next == 'e') {
            flush();
            out.push_back(u'\x1b');
            ++i;
        } else if (next == 'x' && i + 3 < typed.size() && std::isxdigit(static_cast<unsigned char>(typed[i + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(typed[i + 3]))) {
            flush();
            out.push_back(static_cast<char16_t>(std::stoi(typed.substr(i + 2, 2), nullptr, 16)));
            i += 3;
        } else {
            run.push_back(next);
            ++i;
        }
    }
    flush();
    return out;
}

double parseDate(const std::string& text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    char sep = 0;
    int n = std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d.%3d", &y, &mo, &d, &sep, &h, &mi, &s, &ms);
    const bool ok = n == 3 || ((n == 6 || n == 7 || n == 8) && (sep == 'T' || sep == ' '));
    double serial = 0;
    if (!ok || !tryEncodeDateTime(y, mo, d, h, mi, s, ms, serial)) fail("not a date: \"" + text + "\" (YYYY-MM-DD[THH:MM[:SS[.mmm]]])");
    return serial;
}

Variant valueOf(const json& v, const std::string& where) {
    switch (v.type()) {
        case json::value_t::null: return Variant::null();
        case json::value_t::boolean: return Variant(v.get<bool>());
        case json::value_t::string: return Variant(u16(v.get<std::string>()));
        case json::value_t::number_integer:
        case json::value_t::number_unsigned:
            if (v.is_number_integer() && v.get<int64_t>() >= INT32_MIN && v.get<int64_t>() <= INT32_MAX &&
                !(v.is_number_unsigned() && v.get<uint64_t>() > INT32_MAX))
                return Variant(static_cast<int32_t>(v.get<int64_t>()));
            return Variant(v.get<double>());
        case json::value_t::number_float: return Variant(v.get<double>());
        case json::value_t::object:
            if (v.size() == 1 && v.contains("$date") && v["$date"].is_string()) return Variant::date(parseDate(v["$date"]));
            if (v.size() == 1 && v.contains("$currency") && v["$currency"].is_string()) {
                int64_t scaled = 0;
                if (tryTextToCurrency(u16(v["$currency"].get<std::string>()), TFormatSettings::invariant(), scaled) == NumberParse::Ok)
                    return Variant::currency(scaled);
                fail(where + ": not a currency amount: " + v.dump());
            }
            [[fallthrough]];
        default: fail(where + ": unsupported value " + v.dump() + " (use a string, number, true/false, null, {\"$date\": ...} or {\"$currency\": ...})");
    }
}

VariantArray table(size_t rows) {
    return VariantArray({ArrayBound{0, 2}, ArrayBound{0, static_cast<uint32_t>(rows)}});
}

Variant dataOf(const json& doc) {
    if (!doc.is_array()) fail("data: expected an array of [section, parameters] rows");
    VariantArray rows = table(doc.size());
    for (size_t r = 0; r < doc.size(); ++r) {
        const json& row = doc[r];
        const std::string where = "data row " + std::to_string(r);
        if (!row.is_array() || row.empty() || row.size() > 2 || !row[0].is_string())
            fail(where + ": expected [\"section\", {parameters}]");
        const int32_t ri = static_cast<int32_t>(r);
        rows.at({0, ri}) = Variant(u16(row[0].get<std::string>()));
        std::vector<std::pair<std::string, const json*>> params;
        if (row.size() == 2 && row[1].is_object()) {
            for (auto it = row[1].begin(); it != row[1].end(); ++it) params.emplace_back(it.key(), &it.value());
        } else if (row.size() == 2 && row[1].is_array()) {
            for (const json& p : row[1]) {
                if (!p.is_array() || p.size() != 2 || !p[0].is_string()) fail(where + ": expected [\"name\", value] pairs");
                params.emplace_back(p[0].get<std::string>(), &p[1]);
            }
        } else if (row.size() == 2 && !row[1].is_null()) {
            fail(where + ": parameters must be an object or an array of [name, value] pairs");
        }
        VariantArray values = table(params.size());
        for (size_t k = 0; k < params.size(); ++k) {
            const int32_t ki = static_cast<int32_t>(k);
            values.at({0, ki}) = Variant(u16(params[k].first));
            values.at({1, ki}) = valueOf(*params[k].second, where + ", \"" + params[k].first + "\"");
        }
        rows.at({1, ri}) = Variant(std::move(values));
    }
    return Variant(std::move(rows));
}

#ifdef _WIN32
// MSXML is reached through COM.
struct ComApartment {
    ComApartment() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        fr::com::installSystemOleFactory();
    }
    ~ComApartment() { CoUninitialize(); }
};
#endif

struct Options {
    std::string templateFile, dataFile;
    int width = 48;
    std::string ds;  // empty: the process locale's
    TControlStrings control;
};

int Render(const Options& o) {
    TFormatSettings fs = processFormatSettings();
    if (!o.ds.empty()) fs.DecimalSeparator = o.ds == "." ? u'.' : u',';
    const std::u16string templatePath = u16(o.templateFile);
    if (!IsExistingFile(templatePath)) fail("no template file " + o.templateFile);
    const Variant data = dataOf(json::parse(readFile(o.dataFile), nullptr, true, true));

#ifdef _WIN32
    ComApartment com;
#endif
    int32_t number = -1;
    std::u16string description;
    const Variant loaded = LoadTemplateFromXml(templatePath, number, description);
    if (!loaded.isArray()) fail(o.templateFile + ": no Template element with sections (or not well-formed XML)");

    const std::u16string text = GetTemplateText(loaded.array().at(2), data, o.width, o.control, fs);
    std::string out = u8(replaceAll(text, u"\r\n", u"\n"));
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

cli::CliRun Setup(CLI::App& c) {
    auto o = std::make_shared<Options>();
    c.add_option("template", o->templateFile, "the template (XML)")->required();
    c.add_option("data", o->dataFile, "the rows to print (JSON)")->required();
    c.add_option("--width", o->width, "characters per row")->check(CLI::Range(1, 100000))->capture_default_str();
    cli::addDecimalSeparatorOption(c, o->ds, "decimal separator (default: the process locale's)");
    struct Style {
        const char* name;
        std::u16string TControlStrings::*on;
        std::u16string TControlStrings::*off;
    };
    static const Style styles[] = {
        {"bold", &TControlStrings::ESCBoldOn, &TControlStrings::ESCBoldOff},
        {"italic", &TControlStrings::ESCItalicOn, &TControlStrings::ESCItalicOff},
        {"underline", &TControlStrings::ESCUnderlineOn, &TControlStrings::ESCUnderlineOff},
        {"inverse", &TControlStrings::ESCInversionOn, &TControlStrings::ESCInversionOff},
        {"barcode", &TControlStrings::ESCBarcodeOn, &TControlStrings::ESCBarcodeOff},
        {"image", &TControlStrings::ESCImageOn, &TControlStrings::ESCImageOff}};
    // Applied as they come on the line: a later option overrides an earlier one for the same side.
    const auto side = [&c, o](const std::string& option, const std::string& help, auto apply) {
        c.add_option_function<std::string>(option, [o, apply](const std::string& typed) { apply(o->control, controlText(typed)); },
                                           help)
            ->trigger_on_parse();
    };
    for (const Style& s : styles) {
        const std::string name = s.name;
        side("--" + name, "X before and after text of that style", [s](TControlStrings& t, const std::u16string& x) {
            t.*s.on = x;
            t.*s.off = x;
        });
        side("--" + name + "-on", "X before text of that style", [s](TControlStrings& t, const std::u16string& x) { t.*s.on = x; });
        side("--" + name + "-off", "X after text of that style", [s](TControlStrings& t, const std::u16string& x) { t.*s.off = x; });
    }
    c.footer(
        "In a style's X, \\e, \\xHH and \\\\ stand for ESC, a byte value and a backslash.\n"
        "Example:\n  fr-cli render examples/goods-slip.xml examples/goods-slip.json --width 48 --bold '**'");
    return [o] { return Render(*o); };
}

const cli::CliCommandRegistration registration("render", "print a template document as text, one line per row", Setup);

}  // namespace
