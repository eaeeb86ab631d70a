#include "templates/uTemplateXml.h"

#include <climits>
#include <filesystem>
#include <system_error>

#include "automation/NumberText.h"
#include "automation/Text.h"

namespace fr::templates {

int32_t XmlIntAttribute(const std::u16string& text) {
    int64_t n = 0;
    if (!tryTextToInt64(text, n) || n < INT32_MIN || n > INT32_MAX) return 0;
    return static_cast<int32_t>(n);
}

bool XmlBoolAttribute(const std::u16string& text) { return sameTextAscii(text, u"True"); }

bool IsExistingFile(const std::u16string& xmlOrPath) {
    if (xmlOrPath.empty() || xmlOrPath.size() > 4096) return false;
    for (char16_t c : xmlOrPath)
        if (c < u' ' || c == u'<') return false;  // markup or line breaks: text, not a path
    std::error_code ec;
#ifdef _WIN32
    const std::filesystem::path path(std::wstring(xmlOrPath.begin(), xmlOrPath.end()));
#else
    const std::filesystem::path path(u8(xmlOrPath));
#endif
    return std::filesystem::is_regular_file(path, ec);
}

namespace {

// An array of `columns` columns and one element per node, lower bounds 0.
VariantArray levelArray(uint32_t columns, int32_t rows) {
    return VariantArray({ArrayBound{0, columns}, ArrayBound{0, static_cast<uint32_t>(rows)}});
}

Variant fieldsOf(const TXmlNode& compositeField) {
    const auto nodes = compositeField.SelectDescendants(u"Field");
    VariantArray a = levelArray(9, nodes->Count());
    for (int32_t i = 0; i < nodes->Count(); ++i) {
        const auto n = nodes->Item(i);
        a.at({0, i}) = Variant(n->Attribute(u"Name"));
        a.at({1, i}) = Variant(XmlBoolAttribute(n->Attribute(u"Fixed")));
        a.at({2, i}) = Variant(XmlBoolAttribute(n->Attribute(u"Predefined")));
        a.at({3, i}) = Variant(XmlIntAttribute(n->Attribute(u"Type")));
        a.at({4, i}) = Variant(n->Attribute(u"Format"));
        a.at({5, i}) = Variant(n->Attribute(u"IsParameter"));  // as written; read as Boolean when prepared
        a.at({6, i}) = Variant(n->Attribute(u"Prefix"));
        a.at({7, i}) = Variant(n->Attribute(u"Postfix"));
        a.at({8, i}) = Variant(n->Attribute(u"Value"));
    }
    return Variant(std::move(a));
}

Variant compositeFieldsOf(const TXmlNode& compositeString) {
    const auto nodes = compositeString.SelectDescendants(u"CompositeField");
    VariantArray a = levelArray(13, nodes->Count());
    for (int32_t i = 0; i < nodes->Count(); ++i) {
        const auto n = nodes->Item(i);
        a.at({0, i}) = Variant(XmlBoolAttribute(n->Attribute(u"Fixed")));
        a.at({1, i}) = Variant(XmlBoolAttribute(n->Attribute(u"Resizable")));
        a.at({2, i}) = Variant(XmlIntAttribute(n->Attribute(u"Length")));
        a.at({3, i}) = Variant(XmlIntAttribute(n->Attribute(u"HorizontalAlign")));
        a.at({4, i}) = Variant(XmlIntAttribute(n->Attribute(u"VerticalAlign")));
        a.at({5, i}) = Variant(XmlIntAttribute(n->Attribute(u"TextPlacement")));
        a.at({6, i}) = Variant(XmlIntAttribute(n->Attribute(u"Size")));
        a.at({7, i}) = Variant(XmlBoolAttribute(n->Attribute(u"Bold")));
        a.at({8, i}) = Variant(XmlBoolAttribute(n->Attribute(u"Italic")));
        a.at({9, i}) = Variant(XmlBoolAttribute(n->Attribute(u"Underline")));
        a.at({10, i}) = Variant(XmlBoolAttribute(n->Attribute(u"Inversion")));
        a.at({11, i}) = fieldsOf(*n);
        a.at({12, i}) = Variant(XmlIntAttribute(n->Attribute(u"DisplayType")));
    }
    return Variant(std::move(a));
}

Variant compositeStringsOf(const TXmlNode& section) {
    const auto nodes = section.SelectDescendants(u"CompositeString");
    VariantArray a = levelArray(5, nodes->Count());
    for (int32_t i = 0; i < nodes->Count(); ++i) {
        const auto n = nodes->Item(i);
        a.at({0, i}) = Variant(XmlBoolAttribute(n->Attribute(u"Fixed")));
        a.at({1, i}) = Variant(XmlIntAttribute(n->Attribute(u"MinRows")));
        a.at({2, i}) = Variant(XmlIntAttribute(n->Attribute(u"MaxRows")));
        a.at({3, i}) = compositeFieldsOf(*n);
        a.at({4, i}) = Variant(XmlBoolAttribute(n->Attribute(u"PrintEmptyData")));
    }
    return Variant(std::move(a));
}

}  // namespace

Variant LoadTemplateFromXml(const std::u16string& xmlOrPath, int32_t& templateNumber,
                            std::u16string& templateDescription, const TXmlDocumentFactory& createDocument) {
    const std::unique_ptr<TXmlDocument> doc = createDocument();
    const bool loaded = IsExistingFile(xmlOrPath) ? doc->LoadFromFile(xmlOrPath) : doc->LoadFromText(xmlOrPath);
    if (!loaded) return Variant();
    const std::unique_ptr<TXmlNode> tmpl = doc->SelectFirst(u"//Template");
    if (!tmpl) return Variant();
    if (templateNumber < 0) templateNumber = XmlIntAttribute(tmpl->Attribute(u"Number"));
    templateDescription = tmpl->Attribute(u"Description");

    const auto sections = tmpl->SelectDescendants(u"Section");
    if (sections->Count() == 0) return Variant();
    VariantArray a = levelArray(4, sections->Count());
    for (int32_t i = 0; i < sections->Count(); ++i) {
        const auto n = sections->Item(i);
        a.at({0, i}) = Variant(n->Attribute(u"Name"));
        a.at({1, i}) = Variant(XmlBoolAttribute(n->Attribute(u"Fixed")));
        a.at({2, i}) = Variant(XmlBoolAttribute(n->Attribute(u"Predefined")));
        a.at({3, i}) = compositeStringsOf(*n);
    }
    return Variant(VariantArray::vector({Variant(templateNumber), Variant(templateDescription), Variant(std::move(a))}));
}

Variant LoadTemplateFromXml(const std::u16string& xmlOrPath, int32_t& templateNumber,
                            std::u16string& templateDescription) {
    return LoadTemplateFromXml(xmlOrPath, templateNumber, templateDescription, &CreateXmlDocument);
}

}  // namespace fr::templates
