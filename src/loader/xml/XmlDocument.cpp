#include "loader/xml/XmlDocument.h"

#include <libxml/HTMLtree.h>
#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <unordered_map>

#include "loader/xml/XmlElement.h"
#include "loader/xml/XmlErrorCapture.h"
#include "loader/xml/XmlLibxml.h"
#include "loader/xml/XmlNodePool.h"
#include "platform/Format.h"

namespace torvane {

namespace {

constexpr const char* kDomain = "XmlErrorDomain";

// Recover from errors, stay quiet, never touch the network. Entities are not substituted and
// no DTD is loaded, so a hostile document cannot pull in files or expand itself while parsed.
constexpr int kParseOptions =
    XML_PARSE_RECOVER | XML_PARSE_NOWARNING | XML_PARSE_NOERROR | XML_PARSE_NONET;

// Refuses every external entity or subset a document asks for.
xmlParserInputPtr refuseEntity(void*, const xmlChar*, const xmlChar*) {
    return nullptr;
}
void ignoreExternalSubset(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}

// Entity references stay in the tree, and reading the text of an element expands them: a
// tiny document whose entities are referenced thousands of times would turn into gigabytes
// when the loader reads it. This measures the text the references produce (each entity once)
// without building it.
class EntityExpansion {
public:
    explicit EntityExpansion(xmlDoc* doc, std::size_t limit) : doc_(doc), limit_(limit) {}

    bool withinLimit() {
        addList(doc_->children, 0);
        return total_ <= limit_;
    }

private:
    static constexpr std::size_t kInProgress = std::numeric_limits<std::size_t>::max();

    static std::size_t add(std::size_t a, std::size_t b) {
        return a > kInProgress - 1 - b ? kInProgress - 1 : a + b;
    }

    // Text produced by the entity references of a node list (plain text counts inside
    // entities only: the document's own text is already in memory).
    std::size_t listLength(xmlNode* first, bool insideEntity, int depth) {
        std::size_t length = 0;
        for (xmlNode* n = first; n && length <= limit_; n = n->next) {
            switch (n->type) {
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                if (insideEntity && n->content)
                    length = add(length, xmlStrlen(n->content));
                break;
            case XML_ENTITY_REF_NODE:
                length = add(length, entityLength(xmlGetDocEntity(doc_, n->name), depth + 1));
                break;
            case XML_ELEMENT_NODE:
                for (xmlAttr* a = n->properties; a; a = a->next)
                    length = add(length, listLength(a->children, insideEntity, depth + 1));
                length = add(length, listLength(n->children, insideEntity, depth + 1));
                break;
            default:
                break;
            }
        }
        return length;
    }

    std::size_t entityLength(xmlEntity* entity, int depth) {
        if (!entity || depth > 64) return 0;
        auto [it, fresh] = memo_.try_emplace(entity, kInProgress);
        if (!fresh) return it->second == kInProgress ? 0 : it->second;  // a loop adds nothing
        std::size_t length = listLength(entity->children, true, depth);
        memo_[entity] = length;
        return length;
    }

    void addList(xmlNode* first, int depth) { total_ = add(total_, listLength(first, false, depth)); }

    xmlDoc* doc_;
    std::size_t limit_;
    std::size_t total_ = 0;
    std::unordered_map<xmlEntity*, std::size_t> memo_;
};

bool declaresEntities(xmlDoc* doc) {
    return doc->intSubset && doc->intSubset->entities;
}

std::string readFile(const std::string& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    if (!ok) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

void XmlDocument::DocDeleter::operator()(_xmlDoc* doc) const {
    if (doc) xmlFreeDoc(doc);
}

XmlDocument::XmlDocument(_xmlDoc* doc)
    : XmlNode(reinterpret_cast<xmlNode*>(doc), false), doc_(doc) {
    pool_ = std::make_unique<XmlNodePool>();
}

XmlDocument::~XmlDocument() {
    // Wrappers first, while their nodes still exist; then doc_ frees the tree.
    pool_->invalidateAll();
    invalidate();
}

XmlResult<std::unique_ptr<XmlDocument>> XmlDocument::parse(std::string_view data,
                                                           const char* encoding) {
    if (data.empty() || data.data() == nullptr) return XmlError{kDomain, 1, "Document is empty"};
    if (data.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return XmlError{kDomain, 1, "Document is too large"};

    XmlErrorCapture capture;
    std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> context(xmlNewParserCtxt(),
                                                                        xmlFreeParserCtxt);
    if (!context) return XmlError{kDomain, 1, capture.lastMessage()};
    capture.attach(context.get());
    context->sax->resolveEntity = refuseEntity;
    context->sax->externalSubset = ignoreExternalSubset;

    std::unique_ptr<_xmlDoc, DocDeleter> doc(xmlCtxtReadMemory(
        context.get(), data.data(), static_cast<int>(data.size()), nullptr, encoding,
        kParseOptions));
    if (!doc || !xmlDocGetRootElement(doc.get()))
        return XmlError{kDomain, 1, capture.lastMessage()};

    if (declaresEntities(doc.get())) {
        std::size_t limit = std::max<std::size_t>(1u << 20, data.size() * 4);
        if (!EntityExpansion(doc.get(), limit).withinLimit())
            return XmlError{kDomain, 1, "Entity expansion exceeds the document's size"};
    }
    return std::unique_ptr<XmlDocument>(new XmlDocument(doc.release()));
}

XmlResult<std::unique_ptr<XmlDocument>> XmlDocument::initWithData(std::string_view data) {
    return parse(data, nullptr);
}

XmlResult<std::unique_ptr<XmlDocument>> XmlDocument::initWithData(std::string_view data,
                                                                  const std::string& encoding) {
    return parse(data, encoding.empty() ? nullptr : encoding.c_str());
}

XmlResult<std::unique_ptr<XmlDocument>> XmlDocument::initWithXMLString(std::string_view xml) {
    return parse(xml, "UTF-8");
}

XmlResult<std::unique_ptr<XmlDocument>> XmlDocument::initWithContentsOfURL(const std::string& url) {
    return initWithContentsOfURL(url, std::string());
}

XmlResult<std::unique_ptr<XmlDocument>> XmlDocument::initWithContentsOfURL(
    const std::string& url, const std::string& encoding) {
    std::string path = url;
    if (path.rfind("file://", 0) == 0)
        path.erase(0, 7);
    else if (path.find("://") != std::string::npos)
        return XmlError{kDomain, 1, format("Unsupported URL %@", url)};
    bool ok = false;
    std::string data = readFile(path, ok);
    if (!ok) return XmlError{kDomain, 1, format("Cannot read %@", url)};
    return initWithData(data, encoding);
}

std::unique_ptr<XmlDocument> XmlDocument::document() {
    XmlErrorCapture::initialiseLibrary();
    xmlDoc* doc = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (!doc) return nullptr;
    return std::unique_ptr<XmlDocument>(new XmlDocument(doc));
}

std::unique_ptr<XmlDocument> XmlDocument::documentWithRootElement(std::unique_ptr<XmlElement> root) {
    auto document = XmlDocument::document();
    if (!document || !root || !root->ownsNode()) return document;
    xmlDocSetRootElement(document->doc_.get(), root->libxmlNode());
    document->adoptDetached(std::move(root));
    return document;
}

XmlElement* XmlDocument::rootElement() const {
    if (!doc_) return nullptr;
    XmlNode* root = nodeWithLibXMLNode(xmlDocGetRootElement(doc_.get()));
    return root ? root->asElement() : nullptr;
}

std::string XmlDocument::XMLData() const {
    if (!doc_) return {};
    XmlErrorCapture capture;
    xmlChar* memory = nullptr;
    int size = 0;
    if (doc_->type == XML_HTML_DOCUMENT_NODE)
        htmlDocDumpMemory(doc_.get(), &memory, &size);
    else
        xmlDocDumpMemory(doc_.get(), &memory, &size);
    std::string data = memory ? std::string(reinterpret_cast<char*>(memory), size) : std::string();
    if (memory) xmlFree(memory);
    return data;
}

std::string XmlDocument::XMLString() const {
    XmlElement* root = rootElement();
    return root ? root->XMLString() : std::string();
}

std::string XmlDocument::description() const {
    XmlElement* root = rootElement();
    return format("<XmlDocument root \"%@\">", root ? root->name() : std::string());
}

XmlDocument* XmlDocument::rootDocument() const {
    return const_cast<XmlDocument*>(this);
}

}  // namespace torvane
