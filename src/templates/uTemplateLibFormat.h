#pragma once
// Rendering a converted field value by the field's format string.
#include <cstdint>
#include <string>

#include "automation/FormatSettings.h"
#include "automation/Variant.h"
#include "templates/uTemplateLibFormatEntries.h"

namespace fr::templates {

// `value` is ConvertFieldValue(raw, type). Number fields (type 1) take EXPR, ND/ЧЦ, NFD/ЧДЦ,
// NDS/ЧРД and NLZ/ЧВН; date fields (type 2) take DF/ДФ; other types print their text as it is.
// Never raises: a step that fails leaves the text made before it.
std::u16string FormatFieldValue(const Variant& value, int32_t type, std::u16string_view format,
                                const TFormatSettings& fs);
// The same with the format string already split (fields split theirs once, not per data row).
std::u16string FormatFieldValue(const Variant& value, int32_t type, const TFormatEntries& format,
                                const TFormatSettings& fs);

}  // namespace fr::templates
