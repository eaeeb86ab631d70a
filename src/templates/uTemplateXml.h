#pragma once
// The XML form of a template: one Template element (anywhere in the document) with descendant
// Section, CompositeString, CompositeField and Field elements whose attributes fill the cells of
// the template array.
#include <cstdint>
#include <string>

#include "automation/Variant.h"
#include "templates/XmlDocument.h"

namespace fr::templates {

// `xmlOrPath`: a path naming an existing file is loaded from the file, anything else is parsed as
// XML text. Returns [template number, description, sections array], or Empty when the XML does
// not load, holds no Template or no Section (number and description are then left as they are,
// except that a Template without sections still sets them). A negative templateNumber is replaced
// by the Number attribute. Bad XML raises nothing; a DOM that cannot be created raises EOleError.
Variant LoadTemplateFromXml(const std::u16string& xmlOrPath, int32_t& templateNumber,
                            std::u16string& templateDescription);
Variant LoadTemplateFromXml(const std::u16string& xmlOrPath, int32_t& templateNumber,
                            std::u16string& templateDescription, const TXmlDocumentFactory& createDocument);

// Attribute rules: an integer is decimal text, 0 when empty, not a number or out of range; a
// Boolean is true exactly for "True" in any letter case.
int32_t XmlIntAttribute(const std::u16string& text);
bool XmlBoolAttribute(const std::u16string& text);

// Whether the input names an existing file (texts that cannot be paths are not looked up).
bool IsExistingFile(const std::u16string& xmlOrPath);

}  // namespace fr::templates
