#include "SectionIndexBar.h"

#include <QMouseEvent>
#include <QPainter>

namespace torvane::gui {

SectionIndexBar::SectionIndexBar(QWidget* parent) : QWidget(parent) {
    setObjectName("sectionIndex");
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setVisible(false);
}

void SectionIndexBar::setTitles(const QStringList& titles) {
    if (titles == titles_) return;
    titles_ = titles;
    setVisible(!titles_.isEmpty());
    updateGeometry();
    update();
}

QSize SectionIndexBar::sizeHint() const {
    int width = 0;
    for (const QString& title : titles_) width = std::max(width, fontMetrics().horizontalAdvance(title));
    return {width + 8, 100};
}

QRect SectionIndexBar::titleRect(int index) const {
    if (titles_.isEmpty() || index < 0 || index >= titles_.size()) return {};
    const int count = static_cast<int>(titles_.size());
    const int top = height() * index / count, bottom = height() * (index + 1) / count;
    return QRect(0, top, width(), bottom - top);
}

int SectionIndexBar::titleAt(int y) const {
    if (titles_.isEmpty() || height() <= 0) return -1;
    const int count = static_cast<int>(titles_.size());
    return std::clamp(y * count / height(), 0, count - 1);
}

void SectionIndexBar::tap(int y) {
    const int index = titleAt(y);
    if (index < 0 || index == lastTapped_) return;
    lastTapped_ = index;
    emit titleTapped(index);
}

void SectionIndexBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 0.8);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 110, 220));
    for (int i = 0; i < titles_.size(); ++i) painter.drawText(titleRect(i), Qt::AlignCenter, titles_[i]);
}

void SectionIndexBar::mousePressEvent(QMouseEvent* event) {
    lastTapped_ = -1;
    tap(event->position().toPoint().y());
}

void SectionIndexBar::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) tap(event->position().toPoint().y());
}

}  // namespace torvane::gui
