#pragma once

#include <string>

struct _xmlParserCtxt;
struct _xmlXPathContext;

namespace torvane {

// Collects libxml2's messages during one parse, query or serialisation instead of letting them
// reach stderr. libxml2's fallback handlers are per thread, so installing ours for the span of
// one call does not disturb another thread (the catalogue parses on a background thread).
// Internal to the XML layer.
class XmlErrorCapture {
public:
    XmlErrorCapture();
    ~XmlErrorCapture();
    XmlErrorCapture(const XmlErrorCapture&) = delete;
    XmlErrorCapture& operator=(const XmlErrorCapture&) = delete;

    // Routes a parser's or an XPath context's own error channel here as well.
    void attach(_xmlParserCtxt* context);
    void attach(_xmlXPathContext* context);

    void record(const char* message);
    bool hasMessage() const { return !last_.empty(); }
    // The last message, trailing line break removed; `fallback` when there was none.
    std::string lastMessage(const char* fallback = "Unknown error") const;

    // libxml2 must be initialised once, before threads use it.
    static void initialiseLibrary();

private:
    std::string last_;
    void* savedStructured_;
    void* savedStructuredContext_;
    void* savedGeneric_;
    void* savedGenericContext_;
};

}  // namespace torvane
