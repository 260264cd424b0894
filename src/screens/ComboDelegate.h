#pragma once

#include <string>
#include <vector>

namespace torvane {

// The caller of a list picker: told which entry of the full list was chosen.
class ComboDelegate {
public:
    virtual ~ComboDelegate() = default;
    virtual void comboWithName(const std::string& name, int tag, const std::vector<std::string>& array,
                               int index) = 0;
};

}  // namespace torvane
