#include "loader/StoredValidators.h"

#include <nlohmann/json.hpp>

#include "loader/PrivateFiles.h"
#include "platform/Log.h"

namespace torvane {

namespace {

using json = nlohmann::json;

// A few documents per company: anything larger is not ours.
constexpr std::size_t kMostFileBytes = 256 * 1024;

std::string textAt(const json& entry, const char* key) {
    auto found = entry.find(key);
    return found != entry.end() && found->is_string() ? found->get<std::string>() : std::string();
}

// The entries as this file writes them; anything else in it (a damaged file) is dropped.
json readEntries(const std::string& path) {
    json entries = json::object();
    auto bytes = PrivateFiles::readSmall(path, kMostFileBytes);
    if (!bytes) return entries;
    const json read = json::parse(*bytes, nullptr, false);
    if (!read.is_object()) return entries;
    for (const auto& [url, entry] : read.items())
        if (entry.is_object())
            entries[url] = {{"etag", textAt(entry, "etag")},
                            {"lastModified", textAt(entry, "lastModified")},
                            {"marker", textAt(entry, "marker")}};
    return entries;
}

void writeEntries(const std::string& path, const json& entries) {
    if (!PrivateFiles::replace(path, entries.dump())) Log::f("Non riesco a scrivere %@", path);
}

}  // namespace

StoredValidators::StoredValidators(std::string storePath) : path_(std::move(storePath) + ".validatori") {}

std::optional<DocumentValidators> StoredValidators::find(const std::string& url, const std::string& marker) const {
    const json entries = readEntries(path_);
    auto entry = entries.find(url);
    if (entry == entries.end() || !entry->is_object() || textAt(*entry, "marker") != marker) return std::nullopt;
    DocumentValidators validators{textAt(*entry, "etag"), textAt(*entry, "lastModified")};
    if (validators.etag.empty() && validators.lastModified.empty()) return std::nullopt;
    return validators;
}

void StoredValidators::remember(const std::string& url, const DocumentValidators& validators, const std::string& marker) {
    json entries = readEntries(path_);
    entries[url] = {{"etag", validators.etag}, {"lastModified", validators.lastModified}, {"marker", marker}};
    writeEntries(path_, entries);
}

void StoredValidators::forget(const std::string& url) {
    json entries = readEntries(path_);
    if (entries.erase(url) > 0) writeEntries(path_, entries);
}

}  // namespace torvane
