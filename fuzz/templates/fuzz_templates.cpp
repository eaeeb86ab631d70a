// Random template and data arrays, random XML and random field formats. The first byte chooses
// the mode. Besides sanitizer reports, it aborts when anything but fr::EError escapes, when an
// error has no message, or when a rendered row is not followed by CR LF.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "automation/Errors.h"
#include "automation/Text.h"
#include "templates/uTemplateLib.h"
#include "templates/uTemplateObj.h"
#include "templates/uTemplateXml.h"

using namespace fr;
using namespace fr::templates;

namespace {

void Require(bool ok) {
    if (!ok) std::abort();
}

// Format entries and texts the formatting code reacts to, so random choices reach deep.
const char16_t* const kPieces[] = {
    u"ND=", u"NFD=", u"NDS=", u"NLZ=", u"EXPR=", u"DF=", u"ЧЦ=", u"ЧДЦ=", u"ЧРД=", u"ЧВН=", u"ДФ=", u";", u"V",
    u"*", u"/0", u"(", u")", u"max(V, 2)", u"10", u"-3", u"2147483647", u"99999", u"1e308", u"дд.ММ.гггг", u"чч:мм",
    u"'", u"\"", u"am/pm", u"dddddd", u"c", u"True", u"false", u"12,5", u"12.5", u" ", u"", u"48 65 6C 3G",
    u"Line", u"Total", u"P", u"Q"};

std::u16string Piece(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) return kPieces[in.ConsumeIntegralInRange<size_t>(0, std::size(kPieces) - 1)];
    return u16(in.ConsumeRandomLengthString(12));
}

std::u16string Text(FuzzedDataProvider& in) {
    std::u16string s;
    for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n) s += Piece(in);
    return s;
}

int32_t SmallInt(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0: return in.ConsumeIntegral<int32_t>();
        case 1: return in.ConsumeIntegralInRange(-3, 3);
        default: return in.ConsumeIntegralInRange(0, 40);
    }
}

Variant Array(FuzzedDataProvider& in, int depth);

// Mostly the cell the column wants, sometimes anything at all.
Variant Cell(FuzzedDataProvider& in, int depth) {
    switch (in.ConsumeIntegralInRange(0, 11)) {
        case 0: return Variant();
        case 1: return Variant::null();
        case 2: return Variant(in.ConsumeBool());
        case 3: return Variant(SmallInt(in));
        case 4: return Variant(in.ConsumeFloatingPoint<double>());
        case 5: return Variant::date(in.ConsumeFloatingPointInRange(-700000.0, 3000000.0));
        case 6: return Variant::currency(in.ConsumeIntegral<int64_t>());
        case 7: return depth < 5 ? Array(in, depth + 1) : Variant(1);
        default: return Variant(Text(in));
    }
}

// A two-dimensional array shaped like a template or data level, or sometimes not.
Variant Array(FuzzedDataProvider& in, int depth) {
    if (in.ConsumeIntegralInRange(0, 15) == 0) return Variant(VariantArray::vector({Cell(in, depth + 1)}));
    const uint32_t cols = in.ConsumeIntegralInRange<uint32_t>(0, 14);
    const uint32_t rows = in.ConsumeIntegralInRange<uint32_t>(0, depth == 0 ? 6 : 3);
    const int32_t low = in.ConsumeIntegralInRange(0, 9) == 0 ? in.ConsumeIntegralInRange(-2, 2) : 0;
    VariantArray a({ArrayBound{0, cols}, ArrayBound{low, rows}});
    for (auto& item : a.items()) item = Cell(in, depth);
    return Variant(std::move(a));
}

void CheckText(const std::u16string& text) {
    // Every row ends with CR LF.
    Require(text.empty() || (text.size() >= 2 && text.substr(text.size() - 2) == u"\r\n"));
}

template <class F>
void Guarded(F&& f) {
    try {
        f();
    } catch (const EError& e) {
        Require(!e.message().empty());
    }
}

TControlStrings Control(FuzzedDataProvider& in) {
    TControlStrings c;
    if (in.ConsumeBool()) c.ESCBoldOn = u"<b>", c.ESCBoldOff = u"</b>", c.ESCBarcodeOn = u"[", c.ESCBarcodeOff = u"]";
    return c;
}

TFormatSettings Settings(FuzzedDataProvider& in) {
    TFormatSettings fs = TFormatSettings::russian();
    if (in.ConsumeBool()) fs.DecimalSeparator = u'.';
    return fs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange(0, 3);
    const TFormatSettings fs = Settings(in);
    const int32_t width = in.ConsumeIntegralInRange(-5, 120);
    switch (mode) {
        case 0: {  // random arrays
            const Variant tmpl = Array(in, 0);
            const Variant rows = Array(in, 0);
            const TControlStrings control = Control(in);
            Guarded([&] { CheckText(GetTemplateText(tmpl, rows, width, control, fs)); });
            break;
        }
        case 1: {  // random XML, then rendered with random data
            const std::string xml = in.ConsumeRandomLengthString(4096);
            const Variant rows = Array(in, 0);
            Guarded([&] {
                int32_t number = -1;
                std::u16string description;
                const Variant loaded = LoadTemplateFromXml(u16(xml), number, description);
                if (loaded.isArray()) CheckText(GetTemplateText(loaded.array().at(2), rows, width, {}, fs));
            });
            break;
        }
        case 2: {  // one field value through conversion and formatting
            const int32_t type = in.ConsumeIntegralInRange(-1, 7);
            const Variant raw = Cell(in, 5);
            const std::u16string format = Text(in) + Text(in);
            Guarded([&] { FormatFieldValue(ConvertFieldValue(raw, type, fs), type, format, fs); });
            // Formatting itself never raises.
            FormatFieldValue(raw, type, format, fs);
            break;
        }
        default: {  // print mode on the recording canvas
            const Variant tmpl = Array(in, 0);
            const Variant rows = Array(in, 0);
            TRecordingCanvas canvas;
            canvas.Height = in.ConsumeIntegralInRange(0, 400);
            Guarded([&] {
                TTemplateObj obj(fs);
                obj.PrintDocumentText(tmpl, rows, width, in.ConsumeIntegralInRange(-10, 30), in.ConsumeIntegralInRange(-10, 30), canvas);
            });
            if (!canvas.Calls.empty()) Require(canvas.Calls.back() == u"EndDoc");
            break;
        }
    }
    return 0;
}
