#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

class QWidget;

namespace torvane::ui {
class Screen;
}

namespace torvane::gui {

class ScreenWidget;

// Makes the widget of a screen by its kind ("table", "signature", "photo", …). Table screens
// are known from the start; special widgets register their kind. A kind nobody registered is
// drawn as a table.
class ScreenWidgetFactory {
public:
    using Maker = std::function<ScreenWidget*(std::shared_ptr<ui::Screen> screen, QWidget* parent)>;

    ScreenWidgetFactory();

    void registerKind(const std::string& kind, Maker maker);
    ScreenWidget* create(std::shared_ptr<ui::Screen> screen, QWidget* parent) const;

private:
    std::map<std::string, Maker> makers_;
};

}  // namespace torvane::gui
