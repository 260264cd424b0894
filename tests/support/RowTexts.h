#pragma once

#include <string>
#include <variant>
#include <vector>

#include "platform/ui/ScreenModel.h"

namespace torvane::test {

// The texts of a row's labels, in order (other items left out).
inline std::vector<std::string> labelTexts(const ui::Row& row) {
    std::vector<std::string> all;
    for (const auto& item : row.items)
        if (auto* label = std::get_if<ui::Label>(&item)) all.push_back(label->text);
    return all;
}

}  // namespace torvane::test
