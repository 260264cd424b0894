#pragma once

#include "ScreenWidget.h"

class QLabel;
class QScrollArea;

namespace torvane::gui {

// An article's photo: black background, the picture fitted to the widget and scaled by the
// screen's zoom (1 to 9 times); the wheel and the + and - keys zoom.
class PhotoScreenWidget : public ScreenWidget {
    Q_OBJECT
public:
    explicit PhotoScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent = nullptr);

    QLabel* picture() const { return picture_; }

protected:
    void refreshContent() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void zoomBy(double factor);

    QScrollArea* area_;
    QLabel* picture_;
    QString shownPath_;
    QPixmap original_;
};

}  // namespace torvane::gui
