#pragma once

#include <QStringList>
#include <QWidget>

namespace torvane::gui {

// The narrow column of section index titles at the right of a table ("A" … "Z"); a click or a
// drag over it names the title under the pointer.
class SectionIndexBar : public QWidget {
    Q_OBJECT
public:
    explicit SectionIndexBar(QWidget* parent = nullptr);

    void setTitles(const QStringList& titles);
    const QStringList& titles() const { return titles_; }
    // The rectangle of one title, for a click.
    QRect titleRect(int index) const;
    QSize sizeHint() const override;

signals:
    void titleTapped(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int titleAt(int y) const;
    void tap(int y);

    QStringList titles_;
    int lastTapped_ = -1;
};

}  // namespace torvane::gui
