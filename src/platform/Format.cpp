#include "platform/Format.h"

#include <fmt/printf.h>

#include <cctype>
#include <cmath>

namespace torvane {

namespace {

// The plain text of a number as `%@` prints it: integers whole, reals in their shortest form.
std::string describe(const FormatArg& arg) {
    return std::visit(
        [](const auto& v) -> std::string {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::monostate>) {
                return "(null)";
            } else if constexpr (std::is_same_v<V, std::string>) {
                return v;
            } else if constexpr (std::is_same_v<V, double>) {
                if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15)
                    return fmt::format("{}", static_cast<long long>(v));
                return fmt::format("{}", v);
            } else {
                return fmt::format("{}", v);
            }
        },
        arg.value);
}

long long asInteger(const FormatArg& arg) {
    return std::visit(
        [](const auto& v) -> long long {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::monostate>) return 0;
            else if constexpr (std::is_same_v<V, std::string>) {
                try { return std::stoll(v); } catch (...) { return 0; }
            } else if constexpr (std::is_same_v<V, double>) {
                return std::isfinite(v) ? static_cast<long long>(v) : 0;
            } else return static_cast<long long>(v);
        },
        arg.value);
}

double asReal(const FormatArg& arg) {
    return std::visit(
        [](const auto& v) -> double {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::monostate>) return 0.0;
            else if constexpr (std::is_same_v<V, std::string>) {
                try { return std::stod(v); } catch (...) { return 0.0; }
            } else return static_cast<double>(v);
        },
        arg.value);
}

bool isLengthModifier(char c) {
    return c == 'l' || c == 'h' || c == 'q' || c == 'L' || c == 'z' || c == 'j' || c == 't';
}

}  // namespace

std::string formatArgs(std::string_view format, const std::vector<FormatArg>& args) {
    std::string out;
    out.reserve(format.size() + 16);
    std::size_t next = 0;
    const FormatArg none{std::string()};
    auto take = [&]() -> const FormatArg& { return next < args.size() ? args[next++] : none; };

    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        // flags, width, precision, length, conversion
        std::size_t j = i + 1;
        std::string spec = "%";
        while (j < format.size() && std::strchr("-+ #0", format[j])) spec += format[j++];
        while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j]))) spec += format[j++];
        if (j < format.size() && format[j] == '.') {
            spec += format[j++];
            while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j]))) spec += format[j++];
        }
        while (j < format.size() && isLengthModifier(format[j])) ++j;
        if (j >= format.size()) {  // a lone '%' at the end stays as written
            out.append(format.substr(i));
            break;
        }
        char conv = format[j];
        switch (conv) {
            case '%': out += '%'; break;
            case '@': out += fmt::sprintf(spec + "s", describe(take())); break;
            case 's': out += fmt::sprintf(spec + "s", describe(take())); break;
            case 'd': case 'i': out += fmt::sprintf(spec + "d", asInteger(take())); break;
            case 'u': out += fmt::sprintf(spec + "u", static_cast<unsigned long long>(asInteger(take()))); break;
            case 'x': case 'X': case 'o':
                out += fmt::sprintf(spec + conv, static_cast<unsigned long long>(asInteger(take())));
                break;
            case 'c': out += static_cast<char>(asInteger(take())); break;
            case 'f': case 'F': case 'e': case 'E': case 'g': case 'G':
                out += fmt::sprintf(spec + conv, asReal(take()));
                break;
            default:  // unknown conversion: keep it as written
                out.append(format.substr(i, j - i + 1));
                break;
        }
        i = j;
    }
    return out;
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        if ((b & 0xC0) == 0x80) continue;  // continuation byte
        units += (b >= 0xF0) ? 2 : 1;      // four-byte sequences are surrogate pairs
    }
    return units;
}

std::string stringByPaddingLeft(const std::optional<std::string>& text, std::size_t width,
                                std::string_view pad) {
    std::string value = text.value_or(std::string());
    std::size_t length = utf16Length(value);
    if (length >= width || pad.empty()) return value;
    std::string prefix;
    std::size_t padLength = utf16Length(pad);
    for (std::size_t have = 0; have < width - length; have += padLength) prefix += pad;
    return prefix + value;
}

}  // namespace torvane
