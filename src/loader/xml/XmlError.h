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

    // Asking a failed result for its value is a programming error: it throws
    // std::bad_optional_access rather than reading garbage.
    T& value() & { return value_.value(); }
    const T& value() const& { return value_.value(); }
    T&& value() && { return std::move(value_.value()); }
    T* operator->() { return &value_.value(); }
    const T* operator->() const { return &value_.value(); }
    T& operator*() & { return value_.value(); }
    const T& operator*() const& { return value_.value(); }

    // Meaningful only when !ok().
    const XmlError& error() const { return error_; }

private:
    std::optional<T> value_;
    XmlError error_;
};

}  // namespace torvane
