#pragma once

#include <optional>
#include <string>
#include <utility>

namespace torvane {

// A parse or query failure, handed back as a value: the loader runs on its own thread and
// must never see an exception come out of libxml2's callbacks.
struct XmlError {
    std::string domain;   // "XmlErrorDomain" or "XPathErrorDomain"
    int code = 0;
    std::string message;  // libxml2's last message, or "Unknown error"
};

// Either a value or an XmlError.
template <typename T>
class XmlResult {
public:
    XmlResult(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
    XmlResult(XmlError error) : error_(std::move(error)) {}  // NOLINT

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    T& value() & { return *value_; }
    const T& value() const& { return *value_; }
    T&& value() && { return std::move(*value_); }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    T& operator*() & { return *value_; }
    const T& operator*() const& { return *value_; }

    // Meaningful only when !ok().
    const XmlError& error() const { return error_; }

private:
    std::optional<T> value_;
    XmlError error_;
};

}  // namespace torvane
