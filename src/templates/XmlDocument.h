#pragma once
// The little the template loader needs of an XML DOM: load from a file or a string, select the
// first match of a path, select descendants by name, count and index a selection, read an
// attribute as text. MSXML through late binding on Windows, pugixml elsewhere.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace fr::templates {

class TXmlNodeList;

class TXmlNode {
public:
    virtual ~TXmlNode() = default;
    // The attribute's value; empty text when it is absent.
    virtual std::u16string Attribute(const std::u16string& name) const = 0;
    // All descendant elements of this name, in document order (".//name").
    virtual std::unique_ptr<TXmlNodeList> SelectDescendants(const std::u16string& name) const = 0;
};

class TXmlNodeList {
public:
    virtual ~TXmlNodeList() = default;
    virtual int32_t Count() const = 0;
    virtual std::unique_ptr<TXmlNode> Item(int32_t index) const = 0;
};

class TXmlDocument {
public:
    virtual ~TXmlDocument() = default;
    // False (and an empty document) when the file or text does not load; never raises for bad XML.
    virtual bool LoadFromFile(const std::u16string& path) = 0;
    virtual bool LoadFromText(const std::u16string& xml) = 0;
    // The first element matching a path from the root ("//Template"), or null.
    virtual std::unique_ptr<TXmlNode> SelectFirst(const std::u16string& path) const = 0;
};

using TXmlDocumentFactory = std::function<std::unique_ptr<TXmlDocument>()>;

// The platform's DOM: MSXML on Windows, pugixml elsewhere.
std::unique_ptr<TXmlDocument> CreateXmlDocument();
// MSXML by late binding: "Msxml2.DOMDocument", else "MSXML.DOMDocument"; raises EOleError when
// neither can be created.
std::unique_ptr<TXmlDocument> CreateMsxmlDocument();
#ifdef FR_XML_PUGI
std::unique_ptr<TXmlDocument> CreatePugiXmlDocument();
#endif

}  // namespace fr::templates
