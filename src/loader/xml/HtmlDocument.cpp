#include "loader/xml/HtmlDocument.h"

#include <libxml/HTMLparser.h>
#include <libxml/HTMLtree.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <limits>

#include "loader/xml/XmlElement.h"
#include "loader/xml/XmlErrorCapture.h"
#include "loader/xml/XmlLibxml.h"
#include "platform/Format.h"

namespace torvane {

namespace {

constexpr int kHtmlOptions = HTML_PARSE_RECOVER | HTML_PARSE_NOBLANKS | HTML_PARSE_NOWARNING |
                             HTML_PARSE_NOERROR | HTML_PARSE_NONET;

// The first element inside /html/body, or null.
xmlNode* firstBodyElement(xmlDoc* doc) {
    xmlNode* html = xmlDocGetRootElement(doc);
    if (!html || !xmlEquals(html->name, "html")) return nullptr;
    for (xmlNode* n = html->children; n; n = n->next) {
        if (n->type == XML_ELEMENT_NODE && xmlEquals(n->name, "body"))
            return xmlFirstElementChild(n);
    }
    return nullptr;
}

}  // namespace

XmlResult<std::unique_ptr<HtmlDocument>> HtmlDocument::parseHtml(std::string_view data,
                                                                 const char* encoding, int code,
                                                                 const char* fallbackMessage) {
    if (data.empty() || data.data() == nullptr)
        return XmlError{"XmlErrorDomain", code, "Document is empty"};
    if (data.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return XmlError{"XmlErrorDomain", code, "Document is too large"};

    XmlErrorCapture capture;
    std::unique_ptr<htmlParserCtxt, void (*)(htmlParserCtxtPtr)> context(htmlNewParserCtxt(),
                                                                          htmlFreeParserCtxt);
    if (!context) return XmlError{"XmlErrorDomain", code, capture.lastMessage(fallbackMessage)};
    capture.attach(context.get());
    xmlDoc* doc = htmlCtxtReadMemory(context.get(), data.data(), static_cast<int>(data.size()),
                                     nullptr, encoding, kHtmlOptions);
    if (!doc) return XmlError{"XmlErrorDomain", code, capture.lastMessage(fallbackMessage)};
    return std::unique_ptr<HtmlDocument>(new HtmlDocument(doc));
}

XmlResult<std::unique_ptr<HtmlDocument>> HtmlDocument::initWithXHTMLData(std::string_view data) {
    return parseHtml(data, nullptr, -1, "Unknown error");
}

XmlResult<std::unique_ptr<HtmlDocument>> HtmlDocument::initWithXHTMLData(
    std::string_view data, const std::string& encoding) {
    return parseHtml(data, encoding.empty() ? nullptr : encoding.c_str(), -1, "Unknown error");
}

XmlResult<std::unique_ptr<HtmlDocument>> HtmlDocument::initWithXHTMLString(std::string_view html) {
    auto result = parseHtml(html, "UTF-8", 1, "unknown");
    if (!result) return result;
    xmlDoc* doc = reinterpret_cast<xmlDoc*>(result.value()->libxmlNode());
    if (xmlNode* first = firstBodyElement(doc)) {
        // The fragment's element replaces the html element, which goes away with its rest.
        XmlErrorCapture capture;
        xmlNode* old = xmlDocSetRootElement(doc, first);
        if (old) xmlFreeNode(old);
    }
    return result;
}

std::string HtmlDocument::description() const {
    XmlElement* root = rootElement();
    return format("<HtmlDocument root \"%@\">", root ? root->name() : std::string());
}

}  // namespace torvane
