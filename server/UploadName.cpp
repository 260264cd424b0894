#include "UploadName.h"

namespace torvane::fiera {

namespace {

// The longest prefix of `text` of at most `limit` bytes that ends on a whole UTF-8 character.
std::string cutAt(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80) --end;
    return text.substr(0, end);
}

bool endsWithXml(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == ".xml";
}

// A stem cut to `limit` bytes and ending on neither a dot nor a blank, so that the ".xml"
// put after it never makes "..".
std::string stemWithin(const std::string& stem, std::size_t limit) {
    std::string cut = cutAt(stem, limit);
    while (!cut.empty() && (cut.back() == '.' || cut.back() == ' ')) cut.pop_back();
    return cut.empty() ? "ordine" : cut;
}

}  // namespace

std::string UploadName::sanitised(std::string_view sent) {
    std::string name;
    name.reserve(sent.size());
    for (char c : sent) {
        const auto u = static_cast<unsigned char>(c);
        const bool refused = u < 0x20 || u == 0x7f || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' ||
                             c == '"' || c == '<' || c == '>' || c == '|';
        name += refused ? '_' : c;
    }
    // Invalid UTF-8 is kept as bytes: the name is never read as text by the server, and
    // every byte left is a plain file-name byte.
    for (std::size_t at = name.find(".."); at != std::string::npos; at = name.find("..")) name.replace(at, 2, "_");
    while (!name.empty() && (name.front() == '.' || name.front() == ' ')) name.erase(0, 1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    const std::string stem = endsWithXml(name) ? name.substr(0, name.size() - 4) : name;
    return stemWithin(stem, maxLength - 4) + ".xml";
}

std::string UploadName::alternative(const std::string& name, int n) {
    const std::string suffix = "-" + std::to_string(n) + ".xml";
    const std::string stem = name.size() >= 4 ? name.substr(0, name.size() - 4) : name;
    return stemWithin(stem, maxLength - suffix.size()) + suffix;
}

}  // namespace torvane::fiera
