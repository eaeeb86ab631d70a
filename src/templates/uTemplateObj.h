#pragma once
// The document template object model: a template array prepared into a tree of sections, lines
// (composite strings), columns (composite fields) and fields; data applied to it renders the text.
#include <cstdint>
#include <string>

#include "automation/FormatSettings.h"
#include "automation/Variant.h"
#include "templates/TemplateCanvas.h"
#include "templates/uTemplateBase.h"
#include "templates/uTemplateCompositeField.h"
#include "templates/uTemplateCompositeString.h"
#include "templates/uTemplateField.h"
#include "templates/uTemplateSection.h"

namespace fr::templates {

class TTemplateObj {
public:
    // Numbers and dates are read and written in `fs` (the process formats unless a caller says).
    explicit TTemplateObj(const TFormatSettings& fs = processFormatSettings());
    TTemplateObj(const TTemplateObj&) = delete;
    TTemplateObj& operator=(const TTemplateObj&) = delete;

    int32_t TemplateNumber = 0;
    std::u16string TemplateDescription;
    TSectionList Sections;
    bool PrintMode = false;
    // Print-mode cursor, device pixels.
    int32_t Ho = 0, fH = 0, CurY = 0, CurX = 0, Xo = 0, Yo = 0;

    const TFormatSettings& FormatSettings() const { return FFormat; }

    // Builds the tree from a template array; a template object is prepared once. Raises EError
    // naming the level, element and column of a malformed array.
    void Prepare(const Variant& SATemplate, int32_t MaxRowLength);
    // Prints the data rows into text (CR LF after every row). Raises EError for malformed data.
    std::u16string ApplyData(const Variant& SAData);
    std::u16string GetPlainText(const Variant& SATemplate, const Variant& SAData, int32_t MaxRowLength,
                                const TControlStrings& control = {});

    // Print mode: lays the document out and draws it on a page printer; the print job is ended
    // also when applying the data fails. Margins in millimetres.
    void PrintDocumentText(const Variant& SATemplate, const Variant& SAData, int32_t MaxRowLength, int32_t LeftIn,
                           int32_t TopIn, TTemplateCanvas& canvas);
    void PrintText(const std::u16string& text, const TCompositeFieldItem& field);
    void NextRow();

private:
    TFormatSettings FFormat;
    TTemplateCanvas* FCanvas = nullptr;
};

// The document text of a template array and a data array, through a template object of its own.
std::u16string GetTemplateText(const Variant& SATemplate, const Variant& SAData, int32_t MaxRowLength,
                               const TControlStrings& control = {},
                               const TFormatSettings& fs = processFormatSettings());

}  // namespace fr::templates
