#pragma once

#include <stdexcept>
#include <string>

namespace torvane {

// Raised by XmlWriter for misuse (end without start, attribute outside a start tag, unbound
// namespace). What was written before stays in the writer.
class XmlWriterException : public std::runtime_error {
public:
    explicit XmlWriterException(const std::string& reason) : std::runtime_error(reason) {}

    static const char* name() { return "XmlWriterException"; }
    std::string reason() const { return what(); }
};

}  // namespace torvane
