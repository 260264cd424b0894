#pragma once

#include "platform/ui/ScreenModel.h"

namespace torvane::ui {

// How a screen numbers the editable controls of its rows, so that an edit reported by tag finds
// its row again: tag = (section + first) × stride + row + first. Every screen that tags fields
// by place uses one of the schemes below.
struct FieldTag {
    int stride;  // more rows than a section may have
    int first;   // what the first section and the first row count from

    constexpr int of(int section, int row) const { return (section + first) * stride + row + first; }
    constexpr IndexPath at(int tag) const { return {tag / stride - first, tag % stride - first}; }
};

// Forms and settings: section × 100 + row (section 3, row 0 is 300).
inline constexpr FieldTag kFormTags{100, 0};
// The size grid: section × 10000 + row + 10001, so no control of the grid has a tag below 10001.
inline constexpr FieldTag kSizeGridTags{10000, 1};

}  // namespace torvane::ui
