#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/ScreenModel.h"

class QHBoxLayout;
class QLabel;
class QPushButton;

namespace torvane::gui {

// The bar at the top of a screen: the back button, the title and the screen's buttons.
class NavigationBar : public QWidget {
    Q_OBJECT
public:
    explicit NavigationBar(QWidget* parent = nullptr);

    void setCanGoBack(bool canGoBack);
    // Shows this title and these buttons; a tap on one calls `tapped` with its action.
    void show(const std::string& title, const std::vector<ui::NavigationButton>& buttons,
              std::function<void(const std::string&)> tapped);

signals:
    void backRequested();

private:
    QPushButton* back_;
    QLabel* title_;
    QHBoxLayout* left_;
    QHBoxLayout* right_;
    std::vector<ui::NavigationButton> shown_;
};

}  // namespace torvane::gui
