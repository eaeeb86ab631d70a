// MSXML through late binding: no Windows headers, only automation calls by name, so the same
// code runs wherever an "Msxml2.DOMDocument" object can be created.
#include <exception>

#include "automation/AutomationObject.h"
#include "automation/Errors.h"
#include "templates/XmlDocument.h"

namespace fr::templates {

namespace {

using TObject = std::shared_ptr<AutomationObject>;

// The object a call returned, or null (selectSingleNode answers Nothing when nothing matches).
TObject objectOf(const Variant& v) { return v.isObject() ? v.object() : nullptr; }

class TMsxmlNode : public TXmlNode {
public:
    explicit TMsxmlNode(TObject node) : FNode(std::move(node)) {}
    std::u16string Attribute(const std::u16string& name) const override {
        // getAttribute answers Null for an absent attribute.
        const Variant v = FNode->callWith(u"getAttribute", {Variant(name)});
        return v.isText() ? std::u16string(v.rawText()) : std::u16string();
    }
    std::unique_ptr<TXmlNodeList> SelectDescendants(const std::u16string& name) const override;

private:
    TObject FNode;
};

class TMsxmlNodeList : public TXmlNodeList {
public:
    explicit TMsxmlNodeList(TObject list) : FList(std::move(list)), FCount(FList ? FList->call(u"length").toInt() : 0) {}
    int32_t Count() const override { return FCount; }
    std::unique_ptr<TXmlNode> Item(int32_t index) const override {
        TObject node = objectOf(FList->callWith(u"item", {Variant(index)}));
        if (!node) throw EOleError(u"XML: выборка узлов не вернула элемент");
        return std::make_unique<TMsxmlNode>(std::move(node));
    }

private:
    TObject FList;
    int32_t FCount;
};

std::unique_ptr<TXmlNodeList> TMsxmlNode::SelectDescendants(const std::u16string& name) const {
    return std::make_unique<TMsxmlNodeList>(objectOf(FNode->callWith(u"selectNodes", {Variant(u".//" + name)})));
}

class TMsxmlDocument : public TXmlDocument {
public:
    explicit TMsxmlDocument(TObject doc) : FDoc(std::move(doc)) {
        FDoc->setProperty(u"async", Variant(false));
        // Older versions select with XSL patterns by default, and "//" means the same there;
        // versions without the property keep their default.
        trySet([&] { FDoc->callWith(u"setProperty", {Variant(u"SelectionLanguage"), Variant(u"XPath")}); });
        // A template never needs outside entities or DTDs: do not fetch them.
        trySet([&] { FDoc->setProperty(u"resolveExternals", Variant(false)); });
        trySet([&] { FDoc->setProperty(u"validateOnParse", Variant(false)); });
    }
    bool LoadFromFile(const std::u16string& path) override {
        return FDoc->callWith(u"load", {Variant(path)}).toBool();
    }
    bool LoadFromText(const std::u16string& xml) override {
        return FDoc->callWith(u"loadXML", {Variant(xml)}).toBool();
    }
    std::unique_ptr<TXmlNode> SelectFirst(const std::u16string& path) const override {
        TObject node = objectOf(FDoc->callWith(u"selectSingleNode", {Variant(path)}));
        if (!node) return nullptr;
        return std::make_unique<TMsxmlNode>(std::move(node));
    }

private:
    template <class F>
    static void trySet(F&& f) {
        try {
            f();
        } catch (const EError&) {
        }
    }
    TObject FDoc;
};

}  // namespace

std::unique_ptr<TXmlDocument> CreateMsxmlDocument() {
    TObject doc;
    try {
        doc = CreateOleObject(u"Msxml2.DOMDocument");
    } catch (const EError&) {
        doc = CreateOleObject(u"MSXML.DOMDocument");
    }
    if (!doc) throw EOleError(u"Не удалось создать объект XML DOM (Msxml2.DOMDocument, MSXML.DOMDocument)");
    return std::make_unique<TMsxmlDocument>(std::move(doc));
}

}  // namespace fr::templates
