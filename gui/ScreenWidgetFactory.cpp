#include "ScreenWidgetFactory.h"

#include "TableScreenWidget.h"
#include "PhotoScreenWidget.h"
#include "SignatureScreenWidget.h"
#include "TabbedScreenWidget.h"
#include "platform/Log.h"

namespace torvane::gui {

ScreenWidgetFactory::ScreenWidgetFactory() {
    registerKind("table", [](std::shared_ptr<ui::Screen> screen, QWidget* parent) -> ScreenWidget* {
        return new TableScreenWidget(std::move(screen), parent);
    });
    registerKind("photo", [](std::shared_ptr<ui::Screen> screen, QWidget* parent) -> ScreenWidget* {
        return new PhotoScreenWidget(std::move(screen), parent);
    });
    registerKind("signature", [](std::shared_ptr<ui::Screen> screen, QWidget* parent) -> ScreenWidget* {
        return new SignatureScreenWidget(std::move(screen), parent);
    });
    registerKind("tabs", [](std::shared_ptr<ui::Screen> screen, QWidget* parent) -> ScreenWidget* {
        return new TabbedScreenWidget(std::move(screen), parent);
    });
}

void ScreenWidgetFactory::registerKind(const std::string& kind, Maker maker) { makers_[kind] = std::move(maker); }

ScreenWidget* ScreenWidgetFactory::create(std::shared_ptr<ui::Screen> screen, QWidget* parent) const {
    const std::string kind = screen->kind();
    auto found = makers_.find(kind);
    if (found == makers_.end()) {
        Log::f("Screen kind %@ has no widget: drawn as a table", kind);
        found = makers_.find("table");
    }
    return found->second(std::move(screen), parent);
}

}  // namespace torvane::gui
