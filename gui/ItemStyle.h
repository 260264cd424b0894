#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

#include "platform/ui/ScreenModel.h"

// Conversions from the screen model's plain values to Qt's, shared by everything that draws rows.
namespace torvane::gui {

inline QString qs(const std::string& text) { return QString::fromStdString(text); }
inline QColor qcolor(const ui::Color& c) { return QColor(c.red, c.green, c.blue, c.alpha); }

Qt::Alignment qalign(ui::Alignment alignment);
QFont styledFont(QFont font, ui::TextStyle style);
QFont labelFont(const QFont& base, const ui::Label& label);
// The colour a label's style implies when the label gives none (details are grey).
QColor labelColor(const ui::Label& label, const QColor& text);

}  // namespace torvane::gui
