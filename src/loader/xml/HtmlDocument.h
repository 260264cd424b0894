#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "loader/xml/XmlDocument.h"

namespace torvane {

// A document read with libxml2's HTML parser (blank text dropped, no network access).
class HtmlDocument final : public XmlDocument {
public:
    // Empty input or a parse that gives no document: "XmlErrorDomain", code -1.
    static XmlResult<std::unique_ptr<HtmlDocument>> initWithXHTMLData(std::string_view data);
    static XmlResult<std::unique_ptr<HtmlDocument>> initWithXHTMLData(std::string_view data,
                                                                      const std::string& encoding);
    // Parses a fragment of HTML: the first element inside /html/body, when there is one,
    // becomes the root element. Failures: "XmlErrorDomain", code 1.
    static XmlResult<std::unique_ptr<HtmlDocument>> initWithXHTMLString(std::string_view html);

    std::string description() const override;

private:
    explicit HtmlDocument(_xmlDoc* doc) : XmlDocument(doc) {}
    static XmlResult<std::unique_ptr<HtmlDocument>> parseHtml(std::string_view data,
                                                              const char* encoding, int code,
                                                              const char* fallbackMessage);
};

}  // namespace torvane
