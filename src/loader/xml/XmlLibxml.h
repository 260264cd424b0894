#pragma once

// Shared helpers of the XML layer's sources; includes libxml2, so it stays out of public headers.

#include <libxml/tree.h>

#include <string>
#include <string_view>

namespace torvane {

inline std::string xmlText(const xmlChar* text) {
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

inline const xmlChar* xmlCast(const std::string& text) {
    return reinterpret_cast<const xmlChar*>(text.c_str());
}

inline bool xmlEquals(const xmlChar* a, std::string_view b) {
    if (!a) return false;
    return std::string_view(reinterpret_cast<const char*>(a)) == b;
}

// Text obtained from libxml2 that the caller must free.
inline std::string xmlTakeText(xmlChar* text) {
    std::string result = xmlText(text);
    if (text) xmlFree(text);
    return result;
}

}  // namespace torvane
