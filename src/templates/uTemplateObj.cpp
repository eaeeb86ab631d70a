#include "templates/uTemplateObj.h"

#include "templates/uTemplateLibLayout.h"

namespace fr::templates {

TTemplateObj::TTemplateObj(const TFormatSettings& fs) : Sections(*this), FFormat(fs) {}

void TTemplateObj::Prepare(const Variant& SATemplate, int32_t MaxRowLength) { Sections.Prepare(SATemplate, MaxRowLength); }

std::u16string TTemplateObj::ApplyData(const Variant& SAData) {
    Sections.ApplyData(SAData);
    return Sections.GetText();
}

std::u16string TTemplateObj::GetPlainText(const Variant& SATemplate, const Variant& SAData, int32_t MaxRowLength,
                                          const TControlStrings& control) {
    Prepare(SATemplate, MaxRowLength);
    Sections.Control = control;
    return ApplyData(SAData);
}

namespace {
int32_t millimetresToPixels(int32_t mm, int32_t pixelsPerInch) {
    return static_cast<int32_t>(RoundHalfEven(pixelsPerInch / 2.54 * mm / 10.0));
}
}  // namespace

void TTemplateObj::PrintDocumentText(const Variant& SATemplate, const Variant& SAData, int32_t MaxRowLength,
                                     int32_t LeftIn, int32_t TopIn, TTemplateCanvas& canvas) {
    PrintMode = true;
    FCanvas = &canvas;
    Prepare(SATemplate, MaxRowLength);
    canvas.BeginDoc();
    try {
        Ho = canvas.PageHeight();
        Xo = millimetresToPixels(LeftIn, canvas.PixelsPerInchX());
        Yo = millimetresToPixels(TopIn, canvas.PixelsPerInchY());
        CurX = Xo;
        CurY = Yo;
        fH = canvas.TextHeight(u"A");
        ApplyData(SAData);
    } catch (...) {
        canvas.EndDoc();
        throw;
    }
    canvas.EndDoc();
}

void TTemplateObj::PrintText(const std::u16string& text, const TCompositeFieldItem& field) {
    if (!FCanvas) return;
    FCanvas->SetFontStyle(field.Bold, field.Italic, field.Underline);
    if (field.Inversion) FCanvas->SetColors(clWhite, clBlack);
    else FCanvas->SetColors(clBlack, clWhite);
    const int32_t width = FCanvas->TextWidth(text);
    const TCanvasRect r{CurX, CurY, CurX + width, CurY + fH};
    FCanvas->FillRect(r);
    FCanvas->DrawText(r, text);
    CurX += width;
}

void TTemplateObj::NextRow() {
    CurX = Xo;
    CurY += fH;
    // The bottom margin equals the top one.
    if (Ho - Yo < CurY + fH) {
        CurY = Yo;
        if (FCanvas) FCanvas->NewPage();
    }
}

std::u16string GetTemplateText(const Variant& SATemplate, const Variant& SAData, int32_t MaxRowLength,
                               const TControlStrings& control, const TFormatSettings& fs) {
    TTemplateObj obj(fs);
    return obj.GetPlainText(SATemplate, SAData, MaxRowLength, control);
}

}  // namespace fr::templates
