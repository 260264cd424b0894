#pragma once

#include <optional>
#include <string>

#include "platform/ui/ScreenModel.h"

namespace torvane::ui {

namespace label_traits {
inline void apply(Label& label, TextStyle style) { label.style = style; }
inline void apply(Label& label, Alignment alignment) { label.alignment = alignment; }
inline void apply(Label& label, const std::optional<Color>& color) { label.color = color; }
inline void apply(Label& label, const Color& color) { label.color = color; }
inline void apply(Label& label, double pointSize) { label.pointSize = pointSize; }
}  // namespace label_traits

// A label showing `text`, with any of a style, an alignment, a colour and a point size given in
// any order; what is not given stays the renderer's usual (normal, left, default colour and size).
template <typename... Traits>
Label label(std::string text, const Traits&... traits) {
    Label made;
    made.text = std::move(text);
    (label_traits::apply(made, traits), ...);
    return made;
}

}  // namespace torvane::ui
