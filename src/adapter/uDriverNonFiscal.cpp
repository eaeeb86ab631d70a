// TDriverFR's printing outside a fiscal receipt: free text, documents from stored templates and
// the EGAIS slip, each in the universal driver's non-fiscal document.
#include <cstdio>

#include "adapter/uDriver.h"
#include "adapter/uDriverFrame.h"
#include "automation/DateTime.h"
#include "automation/Errors.h"
#include "automation/Text.h"
#include "dispatch/uEquipmentErrors.h"
#include "fiscal/uTemplateList.h"
#include "templates/uTemplateObj.h"

namespace fr {

namespace {
// Lines as a text list splits them: at CR LF, CR or LF; a break at the very end starts no line.
std::vector<std::u16string> textLines(const std::u16string& text) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t at = text.find_first_of(u"\r\n", start);
        if (at == std::u16string::npos) at = text.size();
        lines.push_back(text.substr(start, at - start));
        if (at < text.size() && text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n') ++at;
        start = at + 1;
    }
    return lines;
}

// At least four digits, zero-padded, the sign in front.
std::u16string fourDigits(int32_t n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.4d", n);
    return utf8ToUtf16(buf);
}
}  // namespace

int32_t TDriverFR::InNonFiscalDocument(const std::function<int32_t(bool& open)>& body) {
    int32_t code = CallChecked(u"beginNonFiscal");
    if (code != rcOK) return code;
    bool open = true;
    try {
        code = body(open);
    } catch (...) {
        // The error goes on; the document does not stay open behind it.
        if (open) {
            try {
                Call(u"endNonFiscal");
            } catch (...) {
            }
        }
        throw;
    }
    if (!open) return code;
    // Ended even after a failure; the answer stays the first error, and the driver's error
    // state (which the description is made from) stays that error's.
    const int32_t failed = FDrvResult;
    const std::u16string failedText = FDrvResultDescr;
    const int32_t end = CallChecked(u"endNonFiscal");
    if (code != rcOK) {
        FDrvResult = failed;
        FDrvResultDescr = failedText;
        return code;
    }
    return end;
}

int32_t TDriverFR::PrintText(const std::u16string& Text, bool, int32_t, std::u16string& ResultDescription) {
    ResultDescription.clear();
    if (DeviceReady() != rcOK) return rcLibraryNotFound;
    const std::vector<std::u16string> lines = textLines(Text);
    if (lines.empty()) return rcOK;
    return Frame(ResultDescription, false, [&](int32_t& code) {
        code = InNonFiscalDocument([&](bool& open) {
            for (const std::u16string& line : lines) {
                int32_t c;
                if (!line.empty() && line[0] < 32) {
                    // A control character starts a new document; the line itself is not printed.
                    c = CallChecked(u"endNonFiscal");
                    open = false;
                    if (c != rcOK) return c;
                    c = CallChecked(u"beginNonFiscal");
                    if (c != rcOK) return c;
                    open = true;
                } else {
                    std::u16string text = line;
                    c = CallChecked(u"printNonFiscalText", {Arg(Variant(text), true)});
                    if (c != rcOK) return c;
                }
            }
            return rcOK;
        });
    });
}

int32_t TDriverFR::PrintTemplateDocument(const Variant& TemplateParameters, int32_t TemplateNumber,
                                         int32_t PrintDestination, bool NoCut, std::u16string& ResultDescription) {
    ResultDescription.clear();
    int32_t code = DeviceReady();
    if (code != rcOK) return ConvertDrvError(code, ResultDescription);
    Variant sections;
    std::u16string description;
    code = FindTemplate(TemplateNumber, sections, description, DeviceID());
    if (code != rcOK) return code;
    // The receipt tape is the only destination this register has, so the width is the receipt's;
    // the host's destination still goes on to PrintText.
    const std::u16string text =
        templates::GetTemplateText(sections, TemplateParameters, GetSettingValueInt(u"MaxReceiptRowLength"));
    return PrintText(text, NoCut, PrintDestination, ResultDescription);
}

int32_t TDriverFR::PrintEGAISSubReport(const std::u16string& INN, const std::u16string& KPP, int32_t& RecNum,
                                       const std::u16string& QRCodeData, const std::u16string& Footprint,
                                       int32_t& DayNum, int32_t& DocumentNum, double& RecDate,
                                       std::u16string& ResultDescription) {
    return Frame(ResultDescription, true, [&](int32_t& code) {
        // The slip shows the shift it belongs to, which the host does not hand over. The shift
        // number's error state is not read: a vendor object may still hold an older error there,
        // and the slip's own first call is checked. A shift that cannot be read prints empty.
        std::u16string shiftText;
        const Variant shift = Call(u"SmenNum");
        if (!shift.isEmptyOrNull()) {
            try {
                DayNum = shift.toInt();
                shiftText = fourDigits(DayNum);
            } catch (const EVariantError&) {
            }
        }
        TLineList lines;
        const int32_t w = FLineLen;
        lines.push_back({AlignPair(u"ИНН:" + INN, u"КПП:" + KPP, w, u' ')});
        lines.push_back({AlignPair(u"КАССА:" + FDeviceSerialNum, u"СМЕНА:" + shiftText, w, u' ')});
        lines.push_back({AlignPair(u"ЧЕК:" + fourDigits(RecNum),
                                   u"ДАТА:" + formatDateTime(u"dd.mm.yy hh:nn", RecDate, processFormatSettings()), w,
                                   u' ')});
        lines.push_back({u" "});
        for (const std::u16string& piece : SplitByLength(QRCodeData, w)) lines.push_back({piece});
        lines.push_back({u" "});
        for (const std::u16string& piece : SplitByLength(Footprint, w)) lines.push_back({piece});
        lines.push_back({u" "});
        code = InNonFiscalDocument([&](bool&) { return PrintLines(lines); });
        if (code == rcOK) {
            TFiscalResult r;
            code = GetFiscalParams(r);
            DayNum = r.DayNum;
            RecNum = r.RecNum;
            DocumentNum = r.DocumentNum;
            RecDate = r.RecDate;
        }
    });
}

}  // namespace fr
