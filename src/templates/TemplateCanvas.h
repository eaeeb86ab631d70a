#pragma once
// The page printer that print mode draws on: a print job, page metrics, a text measure, font style
// and colours, rectangle fill and text drawing. The GDI printer canvas lives with the Windows user
// interface; tests use the recording canvas.
#include <cstdint>
#include <string>
#include <vector>

namespace fr::templates {

struct TCanvasRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TCanvasRect&) const = default;
};

inline constexpr uint32_t clBlack = 0x000000;
inline constexpr uint32_t clWhite = 0xFFFFFF;

class TTemplateCanvas {
public:
    virtual ~TTemplateCanvas() = default;
    virtual void BeginDoc() = 0;
    virtual void EndDoc() = 0;
    virtual void NewPage() = 0;
    virtual int32_t PageHeight() const = 0;  // device pixels
    virtual int32_t PixelsPerInchX() const = 0;
    virtual int32_t PixelsPerInchY() const = 0;
    // Plain text in the canvas's current face and size, plus the given styles.
    virtual void SetFontStyle(bool bold, bool italic, bool underline) = 0;
    virtual void SetColors(uint32_t text, uint32_t background) = 0;  // 0xRRGGBB
    virtual int32_t TextWidth(std::u16string_view text) = 0;
    virtual int32_t TextHeight(std::u16string_view text) = 0;
    virtual void FillRect(const TCanvasRect& r) = 0;  // with the background colour
    virtual void DrawText(const TCanvasRect& r, std::u16string_view text) = 0;  // vertically centred
};

// Fixed metrics (every character CharWidth wide, LineHeight high); records every drawing call as
// one line of text, for tests and previews.
class TRecordingCanvas : public TTemplateCanvas {
public:
    int32_t Height = 1000, DpiX = 254, DpiY = 254, CharWidth = 10, LineHeight = 20;
    std::vector<std::u16string> Calls;

    void BeginDoc() override;
    void EndDoc() override;
    void NewPage() override;
    int32_t PageHeight() const override { return Height; }
    int32_t PixelsPerInchX() const override { return DpiX; }
    int32_t PixelsPerInchY() const override { return DpiY; }
    void SetFontStyle(bool bold, bool italic, bool underline) override;
    void SetColors(uint32_t text, uint32_t background) override;
    int32_t TextWidth(std::u16string_view text) override;
    int32_t TextHeight(std::u16string_view text) override;
    void FillRect(const TCanvasRect& r) override;
    void DrawText(const TCanvasRect& r, std::u16string_view text) override;

private:
    std::u16string FStyle, FColors;
};

}  // namespace fr::templates
