#pragma once

#include <QElapsedTimer>

#include "TableScreenWidget.h"

namespace torvane::gui {

// The signature pad: a white signing area with a black border above the pad's buttons. The
// mouse, a touch or a pen draws; a pen's pressure is used where the device gives it.
class SignatureScreenWidget : public TableScreenWidget {
    Q_OBJECT
public:
    explicit SignatureScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent = nullptr);

    QWidget* area() const { return area_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintArea();

    QWidget* area_;
    QElapsedTimer clock_;
};

}  // namespace torvane::gui
