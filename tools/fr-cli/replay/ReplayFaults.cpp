#include "replay/ReplayFaults.h"

#include <map>

#include "automation/Text.h"

namespace fr::replay {

std::optional<std::u16string> RegisterCallOf(std::u16string_view publicMethod, const Variant& inData) {
    static const std::map<std::u16string, std::u16string> calls = {
        {u"OPENDAY", u"printNullReceipt"},
        {u"PRINTXREPORT", u"printXReport"}, {u"PRINTZREPORT", u"printZReport"},
        {u"ENCASH", u"printRecCash"},       {u"OPENDRAWER", u"openCashDrawer"},
        {u"GETDATETIME", u"GetTime"},       {u"SETDATETIME", u"SetTime"},
        {u"GETCOUNTERSINFO", u"Cash"},      {u"PRINTTEXT", u"beginNonFiscal"},
        {u"PRINTTEMPLATEDOCUMENT", u"beginNonFiscal"},
    };
    const std::u16string m = asciiUpperCase(publicMethod);
    auto element = [&](int32_t i) -> Variant {
        if (!inData.isArray() || inData.array().dimCount() != 1 || !inData.array().contains({i})) return Variant();
        return inData.array().at(i);
    };
    if (m == u"PRINTRECEIPT") {
        // A receipt not marked fiscal is printed as a non-fiscal document.
        const Variant common = element(2);
        bool fiscal = true;
        try {
            if (common.isArray() && common.array().contains({1})) fiscal = common.array().at(1).toBool();
        } catch (...) {
        }
        return fiscal ? u"beginFiscalReceipt" : u"beginNonFiscal";
    }
    if (m == u"PRINTEXTREPORT") {
        int32_t type = 0;
        try {
            type = element(0).toInt();
        } catch (...) {
            return std::nullopt;
        }
        if (type == 1 || type == 2) return u"printPeriodicReport";
        if (type == 3 || type == 4 || type == 5 || type == 8) return u"printReport";
        return std::nullopt;
    }
    auto it = calls.find(m);
    if (it == calls.end()) return std::nullopt;
    return it->second;
}

std::u16string FaultRule(const std::u16string& call, int n, int32_t code, std::u16string_view text) {
    std::u16string t = replaceAll(replaceAll(replaceAll(text, u"\r\n", u" "), u"\n", u" "), u"|", u"/");
    return u"fail " + call + u" " + utf8ToUtf16(std::to_string(n)) + u" " + utf8ToUtf16(std::to_string(code)) +
           (t.empty() ? u"" : u" " + t);
}

}  // namespace fr::replay
