#include "platform/Preferences.h"

#include <nlohmann/json.hpp>

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Log.h"
#include "platform/Paths.h"

namespace torvane {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// Leading integer of a text, as the platform reads "12abc" (12) or "  -3" (-3).
long long leadingInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (value > (LLONG_MAX - 9) / 10) break;  // saturate instead of overflowing
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

double leadingReal(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    double value = std::strtod(begin, &end);
    return (end == begin || !std::isfinite(value)) ? 0.0 : value;
}

json fieldToJson(const PreferenceField& field) {
    if (const auto* text = std::get_if<std::string>(&field)) return *text;
    return std::get<std::vector<std::string>>(field);
}

json valueToJson(const PreferenceValue& value) {
    return std::visit(
        [](const auto& v) -> json {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, PreferenceRecords>) {
                json list = json::array();
                for (const auto& record : v) {
                    json object = json::object();
                    for (const auto& [name, field] : record) object[name] = fieldToJson(field);
                    list.push_back(std::move(object));
                }
                return list;
            } else {
                return v;
            }
        },
        value);
}

// Values the file may hold; anything else in a record is ignored rather than fatal.
std::optional<PreferenceValue> valueFromJson(const json& j) {
    if (j.is_string()) return j.get<std::string>();
    if (j.is_boolean()) return j.get<bool>();
    if (j.is_number_integer()) return j.get<long long>();
    if (j.is_number_float()) return j.get<double>();
    if (j.is_array()) {
        PreferenceRecords records;
        for (const auto& item : j) {
            if (!item.is_object()) continue;
            PreferenceRecord record;
            for (const auto& [name, field] : item.items()) {
                if (field.is_string()) {
                    record[name] = field.get<std::string>();
                } else if (field.is_array()) {
                    std::vector<std::string> texts;
                    for (const auto& t : field)
                        if (t.is_string()) texts.push_back(t.get<std::string>());
                    record[name] = std::move(texts);
                }
            }
            records.push_back(std::move(record));
        }
        return records;
    }
    return std::nullopt;
}

std::unique_ptr<Preferences>& standardInstance() {
    static std::unique_ptr<Preferences> instance;
    return instance;
}

std::mutex& standardMutex() {
    static std::mutex m;
    return m;
}

}  // namespace

Preferences::Preferences(std::string filePath) : filePath_(std::move(filePath)) { load(); }

Preferences& Preferences::standard() {
    std::lock_guard lock(standardMutex());
    auto& instance = standardInstance();
    if (!instance) instance = std::make_unique<Preferences>(Paths::preferencesFile());
    return *instance;
}

void Preferences::resetStandard(const std::string& filePath) {
    std::lock_guard lock(standardMutex());
    standardInstance() = std::make_unique<Preferences>(filePath);
}

void Preferences::load() {
    std::error_code ec;
    if (!fs::exists(filePath_, ec)) return;
    std::ifstream in(filePath_, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    json document = json::parse(buffer.str(), nullptr, /*allow_exceptions=*/false);
    if (document.is_discarded() || !document.is_object()) {
        Log::f("Preferenze danneggiate in %@: riparto dai valori standard", filePath_);
        // Keep the damaged file aside for support instead of overwriting it at the next save.
        fs::path aside = filePath_;
        aside += ".danneggiato";
        fs::rename(filePath_, aside, ec);
        return;
    }
    for (const auto& [key, item] : document.items()) {
        if (auto value = valueFromJson(item)) stored_[key] = std::move(*value);
    }
}

void Preferences::registerDefaults(const std::map<std::string, PreferenceValue>& defaults) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : defaults) registered_[key] = value;
}

std::optional<PreferenceValue> Preferences::objectForKey(std::string_view key) const {
    std::lock_guard lock(mutex_);
    if (auto it = forThisRun_.find(key); it != forThisRun_.end()) return it->second;
    if (auto it = stored_.find(key); it != stored_.end()) return it->second;
    if (auto it = registered_.find(key); it != registered_.end()) return it->second;
    return std::nullopt;
}

bool Preferences::hasStoredValue(std::string_view key) const {
    std::lock_guard lock(mutex_);
    return stored_.find(key) != stored_.end() || forThisRun_.find(key) != forThisRun_.end();
}

std::optional<std::string> Preferences::stringForKey(std::string_view key) const {
    auto value = objectForKey(key);
    if (!value || std::holds_alternative<PreferenceRecords>(*value)) return std::nullopt;
    return describe(*value);
}

bool Preferences::boolForKey(std::string_view key) const {
    auto value = objectForKey(key);
    return value && valueAsBool(*value);
}

long long Preferences::integerForKey(std::string_view key) const {
    auto value = objectForKey(key);
    return value ? valueAsInteger(*value) : 0;
}

double Preferences::doubleForKey(std::string_view key) const {
    auto value = objectForKey(key);
    return value ? valueAsDouble(*value) : 0.0;
}

PreferenceRecords Preferences::recordsForKey(std::string_view key) const {
    auto value = objectForKey(key);
    if (!value) return {};
    if (auto* records = std::get_if<PreferenceRecords>(&*value)) return *records;
    return {};
}

void Preferences::setObject(std::string_view key, PreferenceValue value) {
    std::lock_guard lock(mutex_);
    if (auto it = forThisRun_.find(key); it != forThisRun_.end()) forThisRun_.erase(it);
    stored_[std::string(key)] = std::move(value);
}

void Preferences::removeObjectForKey(std::string_view key) {
    std::lock_guard lock(mutex_);
    if (auto it = forThisRun_.find(key); it != forThisRun_.end()) forThisRun_.erase(it);
    if (auto it = stored_.find(key); it != stored_.end()) stored_.erase(it);
}

void Preferences::setForThisRun(std::string_view key, PreferenceValue value) {
    std::lock_guard lock(mutex_);
    forThisRun_[std::string(key)] = std::move(value);
}

std::vector<std::pair<std::string, PreferenceValue>> Preferences::storedEntries() const {
    std::lock_guard lock(mutex_);
    return {stored_.begin(), stored_.end()};
}

bool Preferences::synchronize() {
    // One writer at a time: they share the temporary file.
    std::lock_guard writing(writeMutex_);
    json document = json::object();
    {
        std::lock_guard lock(mutex_);
        for (const auto& [key, value] : stored_) document[key] = valueToJson(value);
    }
    // Serialised before the temporary file exists: a text that is not UTF-8 fails here.
    std::string text;
    try {
        text = document.dump(2) + '\n';
    } catch (const json::exception& failure) {
        Log::f("Non riesco a salvare le preferenze in %@: %@", filePath_, failure.what());
        return false;
    }
    std::error_code ec;
    fs::path target(filePath_);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    // Write beside the target and rename over it, so a crash never leaves half a file.
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        // The file holds the agent's password: readable by its owner only, before anything
        // is written into it (the rename keeps the mode, so an older file is tightened too).
        fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace, ec);
        out << text;
        out.flush();
        if (!out) {
            Log::f("Non riesco a salvare le preferenze in %@", filePath_);
            fs::remove(temporary, ec);
            return false;
        }
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        Log::f("Non riesco a salvare le preferenze in %@", filePath_);
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

std::string Preferences::describe(const PreferenceValue& value) {
    return std::visit(
        [](const auto& v) -> std::string {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::string>) return v;
            else if constexpr (std::is_same_v<V, bool>) return v ? "1" : "0";
            else if constexpr (std::is_same_v<V, long long>) return std::to_string(v);
            else if constexpr (std::is_same_v<V, double>) return format("%@", v);
            else return valueToJson(v).dump();
        },
        value);
}

bool Preferences::valueAsBool(const PreferenceValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        std::string t;
        for (char c : *text) t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::size_t start = t.find_first_not_of(" \t");
        if (start != std::string::npos) t = t.substr(start);
        if (t.rfind("yes", 0) == 0 || t.rfind("true", 0) == 0 || (!t.empty() && (t[0] == 'y' || t[0] == 't')))
            return true;
        return leadingInteger(*text) != 0;
    }
    if (const auto* b = std::get_if<bool>(&value)) return *b;
    if (const auto* i = std::get_if<long long>(&value)) return *i != 0;
    if (const auto* d = std::get_if<double>(&value)) return *d != 0.0;
    return false;
}

long long Preferences::valueAsInteger(const PreferenceValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return leadingInteger(*text);
    if (const auto* b = std::get_if<bool>(&value)) return *b ? 1 : 0;
    if (const auto* i = std::get_if<long long>(&value)) return *i;
    if (const auto* d = std::get_if<double>(&value))
        return std::isfinite(*d) ? static_cast<long long>(*d) : 0;
    return 0;
}

double Preferences::valueAsDouble(const PreferenceValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return leadingReal(*text);
    if (const auto* b = std::get_if<bool>(&value)) return *b ? 1.0 : 0.0;
    if (const auto* i = std::get_if<long long>(&value)) return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&value)) return *d;
    return 0.0;
}

}  // namespace torvane
