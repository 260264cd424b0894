#pragma once

#include "TableScreenWidget.h"

class QTabBar;

namespace torvane::gui {

// A tabbed screen: a tab bar (bold titles) above the table of the selected tab.
class TabbedScreenWidget : public TableScreenWidget {
    Q_OBJECT
public:
    explicit TabbedScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent = nullptr);

    QTabBar* tabBar() const { return tabs_; }

protected:
    void refreshContent() override;

private:
    QTabBar* tabs_;
};

}  // namespace torvane::gui
