#include "platform/ui/Screen.h"

#include "platform/ui/Ui.h"

namespace torvane::ui {

void Screen::redraw() { ui_->reload(*this); }

}  // namespace torvane::ui
