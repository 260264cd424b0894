#pragma once

#include <string>

#include "platform/ui/Screen.h"

namespace torvane::ui {

// A table screen with a title and nothing in it: holds a tab's place until its screen exists.
class EmptyScreen : public Screen {
public:
    EmptyScreen(Ui& ui, std::string title) : Screen(ui) { setTitle(std::move(title)); }
};

}  // namespace torvane::ui
