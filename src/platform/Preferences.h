#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/PreferenceValue.h"

namespace torvane {

// The user defaults: a typed key-value store kept in one JSON file. Registered defaults are
// fallbacks read when a key holds no value; they are never written to the file. Readers
// convert between types as the platform does ("YES" reads as true, "12abc" as 12).
// Thread-safe: the catalogue loader writes parameters from its own thread.
class Preferences {
public:
    // Opens the store kept in `filePath` (created on the first `synchronize`). A damaged file
    // is reported in the log and replaced by empty defaults.
    explicit Preferences(std::string filePath);

    // The application's shared instance, in the configuration folder.
    static Preferences& standard();
    // Points the shared instance at another file (tests, --data-dir); drops the old instance.
    static void resetStandard(const std::string& filePath);

    const std::string& filePath() const { return filePath_; }

    void registerDefaults(const std::map<std::string, PreferenceValue>& defaults);

    // Stored value, else registered default, else none.
    std::optional<PreferenceValue> objectForKey(std::string_view key) const;
    // Only what is stored (registered defaults do not count).
    bool hasStoredValue(std::string_view key) const;

    std::optional<std::string> stringForKey(std::string_view key) const;
    bool boolForKey(std::string_view key) const;
    long long integerForKey(std::string_view key) const;
    double doubleForKey(std::string_view key) const;
    PreferenceRecords recordsForKey(std::string_view key) const;

    void setObject(std::string_view key, PreferenceValue value);
    void setString(std::string_view key, std::string value) { setObject(key, std::move(value)); }
    void setBool(std::string_view key, bool value) { setObject(key, value); }
    void setInteger(std::string_view key, long long value) { setObject(key, value); }
    void setDouble(std::string_view key, double value) { setObject(key, value); }
    void removeObjectForKey(std::string_view key);
    // A value read like a stored one but never written to the file: a choice made on the
    // command line for one run. Setting or removing the key drops it.
    void setForThisRun(std::string_view key, PreferenceValue value);

    // Every stored key with its value, in key order.
    std::vector<std::pair<std::string, PreferenceValue>> storedEntries() const;

    // Writes the stored values atomically (temporary file + rename). False when it failed
    // (also when a text is not UTF-8); nothing is then left beside the file.
    bool synchronize();

    // Text of a value as the platform shows it ("1"/"0" for booleans, JSON for records).
    static std::string describe(const PreferenceValue& value);
    static bool valueAsBool(const PreferenceValue& value);
    static long long valueAsInteger(const PreferenceValue& value);
    static double valueAsDouble(const PreferenceValue& value);

private:
    void load();

    std::string filePath_;
    mutable std::mutex mutex_;
    std::mutex writeMutex_;
    std::map<std::string, PreferenceValue, std::less<>> stored_;
    std::map<std::string, PreferenceValue, std::less<>> registered_;
    std::map<std::string, PreferenceValue, std::less<>> forThisRun_;
};

}  // namespace torvane
