#pragma once

#include <concepts>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace torvane {

// One argument of a printf-style format. `%@` takes any of them (a number prints as its
// plain text); the numeric conversions convert between integers and reals as C would.
struct FormatArg {
    std::variant<std::monostate, std::string, long long, unsigned long long, double> value;
};

template <typename T>
concept HasToString = requires(const T& t) {
    { t.toString() } -> std::convertible_to<std::string>;
};

template <typename T>
FormatArg toFormatArg(const T& v) {
    if constexpr (std::is_same_v<T, bool>) {
        return {static_cast<long long>(v)};
    } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
        return {static_cast<long long>(v)};
    } else if constexpr (std::is_integral_v<T>) {
        return {static_cast<unsigned long long>(v)};
    } else if constexpr (std::is_floating_point_v<T>) {
        return {static_cast<double>(v)};
    } else if constexpr (std::is_same_v<T, std::nullptr_t>) {
        return {std::monostate{}};
    } else if constexpr (std::is_convertible_v<const T&, std::string_view>) {
        return {std::string(std::string_view(v))};
    } else if constexpr (HasToString<T>) {
        return {std::string(v.toString())};
    } else {
        static_assert(sizeof(T) == 0, "type cannot be formatted");
    }
}

// An absent text formats as "(null)", as the platform's formatter does.
template <typename T>
FormatArg toFormatArg(const std::optional<T>& v) {
    if (!v) return {std::monostate{}};
    return toFormatArg(*v);
}

// Formats with the system's own printf-style formats: "%@ %@", "%05d", "%8.2f", "%+3.2f",
// "%-20@", "%3d", "%%". Missing arguments format as empty; extra ones are ignored.
std::string formatArgs(std::string_view format, const std::vector<FormatArg>& args);

template <typename... Args>
std::string format(std::string_view fmt, const Args&... args) {
    return formatArgs(fmt, std::vector<FormatArg>{toFormatArg(args)...});
}

// Right-aligns `text` in `width` by putting copies of `pad` in front; a longer text is
// returned whole, never cut. An absent text counts as empty.
std::string stringByPaddingLeft(const std::optional<std::string>& text, std::size_t width,
                                std::string_view pad = " ");

// Length in UTF-16 code units, the unit the platform measures texts in.
std::size_t utf16Length(std::string_view utf8);

}  // namespace torvane
