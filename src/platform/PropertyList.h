#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/IsoDate.h"
#include "platform/PreferenceValue.h"

namespace torvane {

// One value of an XML property list. Dictionaries keep the order of the file.
// Accessors of the wrong kind give none (or an empty list), never a default that
// could pass for a real value.
class PlistValue {
public:
    enum class Kind { String, Integer, Real, Boolean, Date, Data, Array, Dictionary };
    using Array = std::vector<PlistValue>;
    using Dictionary = std::vector<std::pair<std::string, PlistValue>>;

    PlistValue() = default;  // an empty string
    static PlistValue string(std::string text);
    static PlistValue integer(long long value);
    static PlistValue real(double value);
    static PlistValue boolean(bool value);
    static PlistValue date(Timestamp value);
    static PlistValue data(std::string bytes);
    static PlistValue array(Array items = {});
    static PlistValue dictionary(Dictionary entries = {});

    Kind kind() const { return kind_; }
    bool isString() const { return kind_ == Kind::String; }
    bool isInteger() const { return kind_ == Kind::Integer; }
    bool isReal() const { return kind_ == Kind::Real; }
    bool isBoolean() const { return kind_ == Kind::Boolean; }
    bool isDate() const { return kind_ == Kind::Date; }
    bool isData() const { return kind_ == Kind::Data; }
    bool isArray() const { return kind_ == Kind::Array; }
    bool isDictionary() const { return kind_ == Kind::Dictionary; }

    std::optional<std::string> asString() const;
    std::optional<long long> asInteger() const;
    std::optional<double> asReal() const;  // an integer reads as a real too
    std::optional<bool> asBoolean() const;
    std::optional<Timestamp> asDate() const;
    std::optional<std::string> asData() const;  // the decoded bytes

    const Array& items() const;            // empty unless an array
    const Dictionary& entries() const;     // empty unless a dictionary
    const PlistValue* find(std::string_view key) const;  // none unless a dictionary holding the key
    std::optional<std::string> stringFor(std::string_view key) const;

    // Building: append to an array; set in a dictionary (a key already there keeps its
    // place and takes the new value). Ignored on other kinds.
    void append(PlistValue item);
    void set(std::string key, PlistValue value);

    bool operator==(const PlistValue& other) const;

private:
    Kind kind_ = Kind::String;
    std::string text_;  // String, Data
    long long integer_ = 0;
    double real_ = 0;
    bool boolean_ = false;
    Timestamp date_{};
    Array array_;
    Dictionary dictionary_;
};

// Reads the settings files shipped with the application. No network, no DTD, no entities:
// the DOCTYPE line the files carry is never fetched, and a file that relies on an entity
// of its own is refused rather than read with the entity left out.
class PropertyList {
public:
    // None for a missing or unreadable file, malformed XML, a root other than <plist>
    // holding one value, or a value that does not read as its element says.
    static std::optional<PlistValue> readFile(const std::string& path);
    static std::optional<PlistValue> readData(std::string_view data);
    // Scalars as the preferences keep them; none for arrays, dictionaries, data and dates.
    static std::optional<PreferenceValue> toPreferenceValue(const PlistValue& value);
};

}  // namespace torvane
