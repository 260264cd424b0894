#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ScreenModel.h"

namespace torvane::ui {

struct AlertTextField {
    std::string placeholder;
    std::string text;
    Keyboard keyboard = Keyboard::Default;
    bool secure = false;
};

enum class AlertStyle { Alert, ActionSheet };

// An alert or an action sheet. No title is not the same as an empty title: several alerts
// are shown without one.
struct Alert {
    std::optional<std::string> title;
    std::string message;
    std::vector<std::string> buttons;
    std::vector<AlertTextField> textFields;
    int tag = 0;
    AlertStyle style = AlertStyle::Alert;
    int cancelButton = -1;       // index in buttons, -1: none
    int destructiveButton = -1;  // index in buttons, -1: none

    static Alert simple(std::optional<std::string> title, std::string message, std::string button);
};

// What the person answered: the button pressed and the texts of the fields.
struct AlertAnswer {
    int buttonIndex = 0;
    std::vector<std::string> texts;
    int tag = 0;
};

using AlertHandler = std::function<void(const AlertAnswer&)>;

}  // namespace torvane::ui
