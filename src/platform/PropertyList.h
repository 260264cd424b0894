#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/PreferenceValue.h"

namespace torvane {

// One value of an XML property list. Dictionaries keep their key order.
struct PlistValue {
    enum class Kind { String, Integer, Real, Boolean, Date, Data, Array, Dictionary };
    Kind kind = Kind::String;
    std::string text;  // String, Date (as written), Data (decoded bytes)
    long long integer = 0;
    double real = 0;
    bool boolean = false;
    std::vector<PlistValue> array;
    std::vector<std::pair<std::string, PlistValue>> dictionary;

    bool isDictionary() const { return kind == Kind::Dictionary; }
    bool isArray() const { return kind == Kind::Array; }
    const PlistValue* find(std::string_view key) const;  // none unless a dictionary holding the key
    std::optional<std::string> stringFor(std::string_view key) const;
};

// Reads the settings files shipped with the application. No network, no DTD, no entities:
// the DOCTYPE line the files carry is never fetched.
class PropertyList {
public:
    static std::optional<PlistValue> readFile(const std::string& path);
    static std::optional<PlistValue> readData(std::string_view data);
    // Scalars as the preferences keep them; none for arrays, dictionaries, data and dates.
    static std::optional<PreferenceValue> toPreferenceValue(const PlistValue& value);
};

}  // namespace torvane
