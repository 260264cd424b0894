#include "PhotoScreenWidget.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "articles/ArticoloImageViewController.h"

namespace torvane::gui {

namespace {
ArticoloImageViewController* viewer(ui::Screen& screen) { return dynamic_cast<ArticoloImageViewController*>(&screen); }
}  // namespace

PhotoScreenWidget::PhotoScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent)
    : ScreenWidget(std::move(screen), parent), area_(new QScrollArea(this)), picture_(new QLabel) {
    area_->setStyleSheet("QScrollArea, QScrollArea > QWidget > QWidget { background: black; }");
    area_->setAlignment(Qt::AlignCenter);
    area_->setWidget(picture_);
    area_->viewport()->installEventFilter(this);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setStyleSheet("background: black;");
    contentLayout()->addWidget(area_);
    setFocusPolicy(Qt::StrongFocus);
}

void PhotoScreenWidget::refreshContent() {
    auto* photo = viewer(screen());
    if (!photo) return;
    const QString path = photo->fotoArticolo() ? QString::fromStdString(*photo->fotoArticolo()) : QString();
    if (path != shownPath_) {
        shownPath_ = path;
        original_ = path.isEmpty() ? QPixmap() : QPixmap(path);
    }
    if (original_.isNull()) {
        picture_->clear();
        picture_->resize(area_->viewport()->size());
        return;
    }
    // Fitted to the visible area first, then zoomed.
    const QSize fitted = original_.size().scaled(area_->viewport()->size(), Qt::KeepAspectRatio);
    const QSize shown = fitted * photo->zoom();
    picture_->setPixmap(original_.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture_->resize(shown);
}

void PhotoScreenWidget::zoomBy(double factor) {
    if (auto* photo = viewer(screen())) photo->setZoom(photo->zoom() * factor);
}

bool PhotoScreenWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_->viewport() && event->type() == QEvent::Wheel) {
        zoomBy(static_cast<QWheelEvent*>(event)->angleDelta().y() > 0 ? 1.25 : 0.8);
        return true;
    }
    return ScreenWidget::eventFilter(watched, event);
}

void PhotoScreenWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Equal) zoomBy(1.25);
    else if (event->key() == Qt::Key_Minus) zoomBy(0.8);
    else ScreenWidget::keyPressEvent(event);
}

void PhotoScreenWidget::resizeEvent(QResizeEvent* event) {
    ScreenWidget::resizeEvent(event);
    refreshContent();
}

}  // namespace torvane::gui
