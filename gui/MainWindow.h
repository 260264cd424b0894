#pragma once

#include <QMainWindow>
#include <map>
#include <vector>

#include "ScreenWidgetFactory.h"
#include "platform/ui/NavigationStacks.h"

class QDialog;
class QStackedWidget;
class QTabWidget;

namespace torvane::gui {

class ScreenWidget;

// The frame of the application: the tab bar, one navigation stack per tab, and the modal
// stacks as dialogs above it. It mirrors a `NavigationStacks`; it never decides navigation.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ui::NavigationStacks& navigation, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Brings the widgets in line with the navigation (after every navigation step).
    void sync();
    void setBadge(int tab, const QString& badge);
    // The widget drawing a screen; none when the screen is not shown.
    ScreenWidget* widgetFor(const ui::Screen& screen) const;
    // Where the widgets of screens come from; special kinds register here.
    ScreenWidgetFactory& factory() { return factory_; }
    QTabWidget* tabs() const { return tabs_; }

private:
    ScreenWidget* ensureWidget(const std::shared_ptr<ui::Screen>& screen, QStackedWidget* stack);
    void leaveCurrentPage();
    void showStack(const ui::NavigationStacks::Stack& screens, QStackedWidget* stack);

    ui::NavigationStacks& navigation_;
    QTabWidget* tabs_;
    std::vector<QStackedWidget*> tabStacks_;
    std::vector<QString> tabTitles_;
    std::vector<QDialog*> modalDialogs_;
    std::vector<QStackedWidget*> modalStacks_;
    std::map<const ui::Screen*, ScreenWidget*> widgets_;
    ScreenWidgetFactory factory_;
    bool syncing_ = false;
};

}  // namespace torvane::gui
