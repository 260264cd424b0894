#include "loader/xml/XmlErrorCapture.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xpath.h>

#include <mutex>

namespace torvane {

namespace {

void structuredToCapture(void* userData, xmlErrorPtr error) {
    if (userData && error) static_cast<XmlErrorCapture*>(userData)->record(error->message);
}

// Parser contexts call their handler with the context itself; ours sits in its _private slot.
void parserToCapture(void* userData, xmlErrorPtr error) {
    auto* context = static_cast<xmlParserCtxtPtr>(userData);
    if (context && context->_private && error)
        static_cast<XmlErrorCapture*>(context->_private)->record(error->message);
}

void genericToNowhere(void*, const char*, ...) {}

}  // namespace

void XmlErrorCapture::initialiseLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

XmlErrorCapture::XmlErrorCapture() {
    initialiseLibrary();
    savedStructured_ = reinterpret_cast<void*>(xmlStructuredError);
    savedStructuredContext_ = xmlStructuredErrorContext;
    savedGeneric_ = reinterpret_cast<void*>(xmlGenericError);
    savedGenericContext_ = xmlGenericErrorContext;
    xmlSetStructuredErrorFunc(this, structuredToCapture);
    xmlSetGenericErrorFunc(nullptr, genericToNowhere);
}

XmlErrorCapture::~XmlErrorCapture() {
    xmlSetStructuredErrorFunc(savedStructuredContext_,
                              reinterpret_cast<xmlStructuredErrorFunc>(savedStructured_));
    xmlSetGenericErrorFunc(savedGenericContext_,
                           reinterpret_cast<xmlGenericErrorFunc>(savedGeneric_));
    xmlResetLastError();
}

void XmlErrorCapture::attach(_xmlParserCtxt* context) {
    if (!context) return;
    context->_private = this;
    if (context->sax) context->sax->serror = parserToCapture;
}

void XmlErrorCapture::attach(_xmlXPathContext* context) {
    if (!context) return;
    context->error = structuredToCapture;
    context->userData = this;
}

void XmlErrorCapture::record(const char* message) {
    if (message && *message) last_ = message;
}

std::string XmlErrorCapture::lastMessage(const char* fallback) const {
    std::string text = last_;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text.empty() ? std::string(fallback) : text;
}

}  // namespace torvane
