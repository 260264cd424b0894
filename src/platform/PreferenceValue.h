#pragma once

#include <map>
#include <string>
#include <variant>
#include <vector>

namespace torvane {

// A field of a record kept in the preferences: a text or a list of texts
// (a company authorisation has a code, an address and a list of agent codes).
using PreferenceField = std::variant<std::string, std::vector<std::string>>;
using PreferenceRecord = std::map<std::string, PreferenceField>;
using PreferenceRecords = std::vector<PreferenceRecord>;

// A typed preference value, as the platform's user defaults keep them.
using PreferenceValue = std::variant<std::string, bool, long long, double, PreferenceRecords>;

}  // namespace torvane
