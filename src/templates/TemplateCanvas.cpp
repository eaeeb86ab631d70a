#include "templates/TemplateCanvas.h"

#include <cstdio>
#include <string>

#include "automation/Text.h"

namespace fr::templates {

namespace {
std::u16string rectText(const TCanvasRect& r) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d,%d-%d,%d", r.Left, r.Top, r.Right, r.Bottom);
    return u16(buf);
}
}  // namespace

void TRecordingCanvas::BeginDoc() { Calls.push_back(u"BeginDoc"); }
void TRecordingCanvas::EndDoc() { Calls.push_back(u"EndDoc"); }
void TRecordingCanvas::NewPage() { Calls.push_back(u"NewPage"); }

void TRecordingCanvas::SetFontStyle(bool bold, bool italic, bool underline) {
    FStyle.clear();
    if (bold) FStyle += u"B";
    if (italic) FStyle += u"I";
    if (underline) FStyle += u"U";
}

void TRecordingCanvas::SetColors(uint32_t text, uint32_t background) {
    FColors = text == clWhite && background == clBlack ? u" inverse" : u"";
}

int32_t TRecordingCanvas::TextWidth(std::u16string_view text) { return static_cast<int32_t>(text.size()) * CharWidth; }
int32_t TRecordingCanvas::TextHeight(std::u16string_view) { return LineHeight; }

void TRecordingCanvas::FillRect(const TCanvasRect& r) { Calls.push_back(u"Fill " + rectText(r) + FColors); }

void TRecordingCanvas::DrawText(const TCanvasRect& r, std::u16string_view text) {
    Calls.push_back(u"Text " + rectText(r) + (FStyle.empty() ? u"" : u" " + FStyle) + FColors + u" '" +
                    std::u16string(text) + u"'");
}

}  // namespace fr::templates
