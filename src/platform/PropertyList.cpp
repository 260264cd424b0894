#include "platform/PropertyList.h"

#include <charconv>
#include <climits>
#include <fstream>
#include <iterator>
#include <mutex>

#include <libxml/parser.h>
#include <libxml/tree.h>

namespace torvane {

// ---- PlistValue

PlistValue PlistValue::string(std::string text) {
    PlistValue value;
    value.text_ = std::move(text);
    return value;
}

PlistValue PlistValue::integer(long long number) {
    PlistValue value;
    value.kind_ = Kind::Integer;
    value.integer_ = number;
    return value;
}

PlistValue PlistValue::real(double number) {
    PlistValue value;
    value.kind_ = Kind::Real;
    value.real_ = number;
    return value;
}

PlistValue PlistValue::boolean(bool flag) {
    PlistValue value;
    value.kind_ = Kind::Boolean;
    value.boolean_ = flag;
    return value;
}

PlistValue PlistValue::date(Timestamp time) {
    PlistValue value;
    value.kind_ = Kind::Date;
    value.date_ = time;
    return value;
}

PlistValue PlistValue::data(std::string bytes) {
    PlistValue value;
    value.kind_ = Kind::Data;
    value.text_ = std::move(bytes);
    return value;
}

PlistValue PlistValue::array(Array items) {
    PlistValue value;
    value.kind_ = Kind::Array;
    value.array_ = std::move(items);
    return value;
}

PlistValue PlistValue::dictionary(Dictionary entries) {
    PlistValue value;
    value.kind_ = Kind::Dictionary;
    for (auto& [key, item] : entries) value.set(std::move(key), std::move(item));
    return value;
}

std::optional<std::string> PlistValue::asString() const {
    if (kind_ != Kind::String) return std::nullopt;
    return text_;
}

std::optional<long long> PlistValue::asInteger() const {
    if (kind_ != Kind::Integer) return std::nullopt;
    return integer_;
}

std::optional<double> PlistValue::asReal() const {
    if (kind_ == Kind::Integer) return static_cast<double>(integer_);
    if (kind_ != Kind::Real) return std::nullopt;
    return real_;
}

std::optional<bool> PlistValue::asBoolean() const {
    if (kind_ != Kind::Boolean) return std::nullopt;
    return boolean_;
}

std::optional<Timestamp> PlistValue::asDate() const {
    if (kind_ != Kind::Date) return std::nullopt;
    return date_;
}

std::optional<std::string> PlistValue::asData() const {
    if (kind_ != Kind::Data) return std::nullopt;
    return text_;
}

const PlistValue::Array& PlistValue::items() const {
    static const Array none;
    return kind_ == Kind::Array ? array_ : none;
}

const PlistValue::Dictionary& PlistValue::entries() const {
    static const Dictionary none;
    return kind_ == Kind::Dictionary ? dictionary_ : none;
}

const PlistValue* PlistValue::find(std::string_view key) const {
    if (kind_ != Kind::Dictionary) return nullptr;
    for (const auto& [k, v] : dictionary_)
        if (k == key) return &v;
    return nullptr;
}

std::optional<std::string> PlistValue::stringFor(std::string_view key) const {
    const PlistValue* value = find(key);
    return value ? value->asString() : std::nullopt;
}

void PlistValue::append(PlistValue item) {
    if (kind_ == Kind::Array) array_.push_back(std::move(item));
}

void PlistValue::set(std::string key, PlistValue value) {
    if (kind_ != Kind::Dictionary) return;
    for (auto& [k, v] : dictionary_) {
        if (k == key) {
            v = std::move(value);
            return;
        }
    }
    dictionary_.emplace_back(std::move(key), std::move(value));
}

bool PlistValue::operator==(const PlistValue& other) const {
    if (kind_ != other.kind_) return false;
    switch (kind_) {
        case Kind::String:
        case Kind::Data: return text_ == other.text_;
        case Kind::Integer: return integer_ == other.integer_;
        case Kind::Real: return real_ == other.real_;
        case Kind::Boolean: return boolean_ == other.boolean_;
        case Kind::Date: return date_ == other.date_;
        case Kind::Array: return array_ == other.array_;
        case Kind::Dictionary: return dictionary_ == other.dictionary_;
    }
    return false;
}

// ---- Reading

namespace {

constexpr int maxDepth = 64;  // far more nesting than any settings file has

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool named(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, BAD_CAST name) == 0;
}

// The text of a leaf element, from its text and CDATA children only. xmlNodeGetContent
// would expand entity references, which these files must not depend on; an element
// holding one (or another element) is refused.
std::optional<std::string> leafText(const xmlNode* node) {
    std::string text;
    for (const xmlNode* child = node->children; child; child = child->next) {
        switch (child->type) {
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                if (child->content) text += reinterpret_cast<const char*>(child->content);
                break;
            case XML_COMMENT_NODE:
            case XML_PI_NODE: break;
            default: return std::nullopt;
        }
    }
    return text;
}

int base64Digit(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Base64 with the line breaks and indentation the files carry; the final padding may be
// left out. None for any other character or a truncated group.
std::optional<std::string> decodeBase64(std::string_view text) {
    std::string bytes;
    unsigned buffer = 0;
    int bits = 0, count = 0, padding = 0;
    for (char c : text) {
        if (isBlank(c)) continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        int digit = base64Digit(c);
        if (digit < 0 || padding > 0) return std::nullopt;  // nothing may follow the padding
        buffer = (buffer << 6) | static_cast<unsigned>(digit);
        bits += 6;
        ++count;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<char>((buffer >> bits) & 0xFF));
        }
    }
    int rest = count % 4;
    if (rest == 1 || padding > 2 || (padding > 0 && (rest + padding) % 4 != 0)) return std::nullopt;
    if ((buffer & ((1u << bits) - 1)) != 0) return std::nullopt;  // leftover bits must be zero
    return bytes;
}

std::optional<long long> integerText(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// from_chars, not strtod: the process locale may use a decimal comma.
std::optional<double> realText(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<PlistValue> readValue(const xmlNode* node, int depth) {
    if (depth > maxDepth) return std::nullopt;
    if (named(node, "array") || named(node, "dict")) {
        bool isDictionary = named(node, "dict");
        PlistValue value = isDictionary ? PlistValue::dictionary() : PlistValue::array();
        std::optional<std::string> key;
        for (const xmlNode* child = node->children; child; child = child->next) {
            if (child->type == XML_ENTITY_REF_NODE) return std::nullopt;
            if (child->type != XML_ELEMENT_NODE) continue;
            if (isDictionary && named(child, "key")) {
                if (key) return std::nullopt;  // two keys in a row
                key = leafText(child);
                if (!key) return std::nullopt;
                continue;
            }
            if (isDictionary && !key) return std::nullopt;  // a value without its key
            auto item = readValue(child, depth + 1);
            if (!item) return std::nullopt;
            if (isDictionary) {
                value.set(std::move(*key), std::move(*item));
                key.reset();
            } else {
                value.append(std::move(*item));
            }
        }
        if (key) return std::nullopt;  // a key without its value
        return value;
    }
    if (named(node, "true") || named(node, "false")) {
        auto text = leafText(node);
        if (!text || !trimmed(*text).empty()) return std::nullopt;
        return PlistValue::boolean(named(node, "true"));
    }
    auto text = leafText(node);
    if (!text) return std::nullopt;
    if (named(node, "string")) return PlistValue::string(std::move(*text));
    if (named(node, "integer")) {
        auto number = integerText(*text);
        if (!number) return std::nullopt;
        return PlistValue::integer(*number);
    }
    if (named(node, "real")) {
        auto number = realText(*text);
        if (!number) return std::nullopt;
        return PlistValue::real(*number);
    }
    if (named(node, "date")) {
        auto time = parseIsoDate(trimmed(*text));
        if (!time) return std::nullopt;
        return PlistValue::date(*time);
    }
    if (named(node, "data")) {
        auto bytes = decodeBase64(*text);
        if (!bytes) return std::nullopt;
        return PlistValue::data(std::move(*bytes));
    }
    return std::nullopt;
}

void initialiseParser() {
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });  // not safe to leave to the first parse of two threads
}

}  // namespace

std::optional<PlistValue> PropertyList::readData(std::string_view data) {
    if (data.empty() || data.size() > static_cast<size_t>(INT_MAX)) return std::nullopt;
    initialiseParser();
    // Neither XML_PARSE_NOENT nor XML_PARSE_DTDLOAD: entities stay references, no DTD is read.
    xmlDoc* document = xmlReadMemory(data.data(), static_cast<int>(data.size()), "settings.plist", nullptr,
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!document) return std::nullopt;
    std::optional<PlistValue> result;
    const xmlNode* root = xmlDocGetRootElement(document);
    if (root && named(root, "plist")) {
        int values = 0;
        for (const xmlNode* child = root->children; child; child = child->next) {
            if (child->type == XML_ENTITY_REF_NODE) values = 2;
            if (child->type != XML_ELEMENT_NODE) continue;
            if (++values == 1) result = readValue(child, 0);
        }
        if (values != 1) result.reset();  // a plist holds exactly one value
    }
    xmlFreeDoc(document);
    return result;
}

std::optional<PlistValue> PropertyList::readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return std::nullopt;
    return readData(content);
}

std::optional<PreferenceValue> PropertyList::toPreferenceValue(const PlistValue& value) {
    switch (value.kind()) {
        case PlistValue::Kind::String: return PreferenceValue(*value.asString());
        case PlistValue::Kind::Integer: return PreferenceValue(*value.asInteger());
        case PlistValue::Kind::Real: return PreferenceValue(*value.asReal());
        case PlistValue::Kind::Boolean: return PreferenceValue(*value.asBoolean());
        default: return std::nullopt;
    }
}

}  // namespace torvane
