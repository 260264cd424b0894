#include "platform/PropertyList.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <cctype>

#include <libxml/parser.h>
#include <openssl/evp.h>
#include <libxml/tree.h>

namespace torvane {

namespace {

std::string nodeText(xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return text;
}

bool named(xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, BAD_CAST name) == 0;
}

// Base64 through OpenSSL; blanks and line breaks of the file are dropped first.
std::string decodeBase64(const std::string& text) {
    std::string compact;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) compact += c;
    if (compact.empty() || compact.size() % 4 != 0) return {};
    std::string bytes(compact.size() / 4 * 3, '\0');
    int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                 reinterpret_cast<const unsigned char*>(compact.data()), static_cast<int>(compact.size()));
    if (length < 0) return {};
    size_t padding = compact.size() - compact.find_last_not_of('=') - 1;
    bytes.resize(static_cast<size_t>(length) - std::min<size_t>(padding, 2));
    return bytes;
}

std::optional<PlistValue> readValue(xmlNode* node, int depth) {
    if (depth > 64) return std::nullopt;  // nesting no settings file needs
    PlistValue value;
    if (named(node, "string")) {
        value.text = nodeText(node);
    } else if (named(node, "integer")) {
        std::string text = nodeText(node);
        value.kind = PlistValue::Kind::Integer;
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value.integer);
        if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    } else if (named(node, "real")) {
        std::string text = nodeText(node);
        char* end = nullptr;
        value.kind = PlistValue::Kind::Real;
        value.real = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0') return std::nullopt;
    } else if (named(node, "true") || named(node, "false")) {
        value.kind = PlistValue::Kind::Boolean;
        value.boolean = named(node, "true");
    } else if (named(node, "date")) {
        value.kind = PlistValue::Kind::Date;
        value.text = nodeText(node);
    } else if (named(node, "data")) {
        value.kind = PlistValue::Kind::Data;
        value.text = decodeBase64(nodeText(node));
    } else if (named(node, "array")) {
        value.kind = PlistValue::Kind::Array;
        for (xmlNode* child = node->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE) continue;
            auto item = readValue(child, depth + 1);
            if (!item) return std::nullopt;
            value.array.push_back(std::move(*item));
        }
    } else if (named(node, "dict")) {
        value.kind = PlistValue::Kind::Dictionary;
        std::optional<std::string> key;
        for (xmlNode* child = node->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE) continue;
            if (named(child, "key")) {
                if (key) return std::nullopt;  // two keys in a row
                key = nodeText(child);
                continue;
            }
            if (!key) return std::nullopt;  // a value without its key
            auto item = readValue(child, depth + 1);
            if (!item) return std::nullopt;
            value.dictionary.emplace_back(std::move(*key), std::move(*item));
            key.reset();
        }
        if (key) return std::nullopt;
    } else {
        return std::nullopt;
    }
    return value;
}

}  // namespace

const PlistValue* PlistValue::find(std::string_view key) const {
    if (kind != Kind::Dictionary) return nullptr;
    for (const auto& [k, v] : dictionary)
        if (k == key) return &v;
    return nullptr;
}

std::optional<std::string> PlistValue::stringFor(std::string_view key) const {
    const PlistValue* value = find(key);
    if (!value || value->kind != Kind::String) return std::nullopt;
    return value->text;
}

std::optional<PlistValue> PropertyList::readData(std::string_view data) {
    if (data.empty()) return std::nullopt;
    xmlDoc* document = xmlReadMemory(data.data(), static_cast<int>(data.size()), "settings.plist", nullptr,
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!document) return std::nullopt;
    std::optional<PlistValue> result;
    xmlNode* root = xmlDocGetRootElement(document);
    if (root && named(root, "plist")) {
        for (xmlNode* child = root->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE) continue;
            result = readValue(child, 0);
            break;
        }
    }
    xmlFreeDoc(document);
    return result;
}

std::optional<PlistValue> PropertyList::readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    return readData(content.str());
}

std::optional<PreferenceValue> PropertyList::toPreferenceValue(const PlistValue& value) {
    switch (value.kind) {
        case PlistValue::Kind::String: return PreferenceValue(value.text);
        case PlistValue::Kind::Integer: return PreferenceValue(value.integer);
        case PlistValue::Kind::Real: return PreferenceValue(value.real);
        case PlistValue::Kind::Boolean: return PreferenceValue(value.boolean);
        default: return std::nullopt;
    }
}

}  // namespace torvane
