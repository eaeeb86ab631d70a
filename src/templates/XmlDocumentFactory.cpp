#include "templates/XmlDocument.h"

namespace fr::templates {

#ifdef FR_XML_PUGI
std::unique_ptr<TXmlDocument> CreatePugiXmlDocument();
#endif

std::unique_ptr<TXmlDocument> CreateXmlDocument() {
#ifdef FR_XML_PUGI
    return CreatePugiXmlDocument();
#else
    return CreateMsxmlDocument();
#endif
}

}  // namespace fr::templates
