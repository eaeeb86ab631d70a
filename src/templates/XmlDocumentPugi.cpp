#include <pugixml.hpp>

#include "automation/Text.h"
#include "templates/XmlDocument.h"

namespace fr::templates {

namespace {

class TPugiNode : public TXmlNode {
public:
    explicit TPugiNode(pugi::xml_node node) : FNode(node) {}
    std::u16string Attribute(const std::u16string& name) const override {
        return u16(FNode.attribute(u8(name).c_str()).value());
    }
    std::unique_ptr<TXmlNodeList> SelectDescendants(const std::u16string& name) const override;

private:
    pugi::xml_node FNode;
};

class TPugiNodeList : public TXmlNodeList {
public:
    explicit TPugiNodeList(pugi::xpath_node_set nodes) : FNodes(std::move(nodes)) {}
    int32_t Count() const override { return static_cast<int32_t>(FNodes.size()); }
    std::unique_ptr<TXmlNode> Item(int32_t index) const override {
        return std::make_unique<TPugiNode>(FNodes[static_cast<size_t>(index)].node());
    }

private:
    pugi::xpath_node_set FNodes;
};

std::unique_ptr<TXmlNodeList> TPugiNode::SelectDescendants(const std::u16string& name) const {
    // Element names come from the loader, never from the document; the query is built once.
    pugi::xpath_query query((".//" + u8(name)).c_str());
    return std::make_unique<TPugiNodeList>(query.evaluate_node_set(FNode));
}

class TPugiDocument : public TXmlDocument {
public:
    bool LoadFromFile(const std::u16string& path) override {
#ifdef _WIN32
        const auto r = FDoc.load_file(reinterpret_cast<const wchar_t*>(path.c_str()));
#else
        const auto r = FDoc.load_file(u8(path).c_str());
#endif
        if (!r) FDoc.reset();
        return static_cast<bool>(r);
    }
    bool LoadFromText(const std::u16string& xml) override {
        // Already Unicode: any encoding named in the declaration no longer applies.
        const std::string utf8 = u8(xml);
        const auto r = FDoc.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8);
        if (!r) FDoc.reset();
        return static_cast<bool>(r);
    }
    std::unique_ptr<TXmlNode> SelectFirst(const std::u16string& path) const override {
        const pugi::xpath_node found = FDoc.select_node(u8(path).c_str());
        if (!found.node()) return nullptr;
        return std::make_unique<TPugiNode>(found.node());
    }

private:
    pugi::xml_document FDoc;
};

}  // namespace

std::unique_ptr<TXmlDocument> CreatePugiXmlDocument() { return std::make_unique<TPugiDocument>(); }

}  // namespace fr::templates
