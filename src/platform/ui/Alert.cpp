#include "platform/ui/Alert.h"

#include <utility>

namespace torvane::ui {

Alert Alert::simple(std::optional<std::string> title, std::string message, std::string button) {
    Alert alert;
    alert.title = std::move(title);
    alert.message = std::move(message);
    alert.buttons.push_back(std::move(button));
    return alert;
}

}  // namespace torvane::ui
