#include "platform/ui/ScreenModel.h"

namespace torvane::ui {

Row Row::labels(std::vector<std::string> texts, Accessory accessory) {
    Row row;
    row.accessory = accessory;
    for (std::string& text : texts) {
        Label label;
        label.text = std::move(text);
        row.items.emplace_back(std::move(label));
    }
    return row;
}

}  // namespace torvane::ui
