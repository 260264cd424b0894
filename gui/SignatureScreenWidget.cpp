#include "SignatureScreenWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTabletEvent>
#include <QVBoxLayout>

#include "devices/FirmaViewController.h"

namespace torvane::gui {

namespace {
FirmaViewController* firma(ui::Screen& screen) { return dynamic_cast<FirmaViewController*>(&screen); }
}  // namespace

SignatureScreenWidget::SignatureScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent)
    : TableScreenWidget(std::move(screen), parent), area_(new QWidget(this)) {
    const auto* pad = firma(this->screen());
    area_->setFixedSize(pad ? static_cast<int>(pad->pad().width()) : 280, pad ? static_cast<int>(pad->pad().height()) : 160);
    area_->setAttribute(Qt::WA_TabletTracking);
    area_->installEventFilter(this);
    setStyleSheet("background-color: rgb(204, 204, 204);");
    contentLayout()->insertWidget(0, area_, 0, Qt::AlignHCenter);
    clock_.start();
}

bool SignatureScreenWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched != area_) return TableScreenWidget::eventFilter(watched, event);
    auto* pad = firma(screen());
    if (!pad) return false;
    const double time = static_cast<double>(clock_.elapsed()) / 1000.0;
    switch (event->type()) {
    case QEvent::Paint: paintArea(); return true;
    case QEvent::MouseButtonPress: {
        const QPointF at = static_cast<QMouseEvent*>(event)->position();
        pad->pad().begin(at.x(), at.y(), time);
        area_->update();
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!(mouse->buttons() & Qt::LeftButton)) return false;
        pad->pad().move(mouse->position().x(), mouse->position().y(), time);
        area_->update();
        return true;
    }
    case QEvent::MouseButtonRelease:
        pad->pad().end();
        pad->padChanged();
        return true;
    case QEvent::TabletPress:
    case QEvent::TabletMove: {
        auto* pen = static_cast<QTabletEvent*>(event);
        if (event->type() == QEvent::TabletPress) pad->pad().begin(pen->position().x(), pen->position().y(), time, pen->pressure());
        else if (pen->pressure() > 0) pad->pad().move(pen->position().x(), pen->position().y(), time, pen->pressure());
        area_->update();
        event->accept();
        return true;
    }
    case QEvent::TabletRelease:
        pad->pad().end();
        pad->padChanged();
        event->accept();
        return true;
    default: return false;
    }
}

void SignatureScreenWidget::paintArea() {
    QPainter painter(area_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 3));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(area_->rect()).adjusted(1.5, 1.5, -1.5, -1.5), 10, 10);
    const auto* pad = firma(screen());
    if (!pad) return;
    for (const auto& stroke : pad->pad().strokes())
        for (std::size_t i = 1; i < stroke.size(); ++i) {
            painter.setPen(QPen(Qt::black, std::max(stroke[i].thickness, 0.5), Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(stroke[i - 1].x, stroke[i - 1].y), QPointF(stroke[i].x, stroke[i].y));
        }
}

}  // namespace torvane::gui
