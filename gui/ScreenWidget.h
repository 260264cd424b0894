#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "platform/ui/Screen.h"

class QVBoxLayout;

namespace torvane::gui {

class NavigationBar;

// The widget of one screen: the navigation bar above the content a kind of screen draws
// (a table, a signature pad, a photo). The main window and the `Ui` know screens only by this.
class ScreenWidget : public QWidget {
    Q_OBJECT
public:
    explicit ScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent = nullptr);

    ui::Screen& screen() const { return *screen_; }
    void setCanGoBack(bool canGoBack);
    bool canGoBack() const { return canGoBack_; }
    // Where Escape was pressed: on a screen of the window's tabs it only goes back (a tab's own
    // "Annulla" may discard an order); on a modal it also runs the screen's cancel.
    enum class CancelScope { Tab, Modal };
    // Escape or a modal's close button: back when the screen was pushed, else, on a modal,
    // the screen's own cancel. Whether anything was done.
    bool cancel(CancelScope scope);
    // Draws the screen again, at most once per event-loop turn.
    void scheduleRefresh();
    // Draws the screen again now.
    void refresh();
    // Draws these rows again; by default the whole screen.
    virtual void scheduleRowReload(const std::vector<ui::IndexPath>& rows);
    virtual void scrollTo(ui::IndexPath where, ui::ScrollPosition position);
    virtual void focusField(int tag);
    void endEditing();

signals:
    void backRequested();

protected:
    // Draws the content from the screen (the navigation bar is drawn already).
    virtual void refreshContent() = 0;
    QVBoxLayout* contentLayout() const { return content_; }
    bool refreshPending() const { return refreshPending_; }

private:
    std::shared_ptr<ui::Screen> screen_;
    NavigationBar* bar_;
    QVBoxLayout* content_;
    bool refreshPending_ = false;
    bool canGoBack_ = false;
};

}  // namespace torvane::gui
