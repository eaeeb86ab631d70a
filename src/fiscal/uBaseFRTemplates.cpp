// TBaseFR's template operations: templates stored per device ID, and documents laid out from them
// and printed as text.
#include "dispatch/uEquipmentErrors.h"
#include "fiscal/uBaseFR.h"
#include "fiscal/uTemplateList.h"
#include "templates/uTemplateObj.h"

namespace fr {

int32_t TBaseFR::UploadTemplate(int32_t TemplateNumber, const std::u16string& TemplateDescription,
                                const Variant& Sections, std::u16string& ResultDescription) {
    ResultDescription.clear();
    return StoreTemplate(TemplateNumber, TemplateDescription, Sections, DeviceID());
}

int32_t TBaseFR::DownloadTemplate(int32_t TemplateNumber, std::u16string& TemplateDescription, Variant& Sections,
                                  std::u16string& ResultDescription) {
    ResultDescription.clear();
    return FindTemplate(TemplateNumber, Sections, TemplateDescription, DeviceID());
}

int32_t TBaseFR::PrintTemplateDocument(const Variant& TemplateParameters, int32_t TemplateNumber,
                                       int32_t PrintDestination, bool NoCut, std::u16string& ResultDescription) {
    ResultDescription.clear();
    Variant sections;
    std::u16string description;
    const int32_t code = FindTemplate(TemplateNumber, sections, description, DeviceID());
    if (code != rcOK) return code;
    const int32_t width = GetSettingValueInt(PrintDestination == 1 ? u"MaxSlipRowLength" : u"MaxReceiptRowLength");
    const std::u16string text = templates::GetTemplateText(sections, TemplateParameters, width);
    return PrintText(text, NoCut, PrintDestination, ResultDescription);
}

}  // namespace fr
