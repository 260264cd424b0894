#include "RowWidget.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QProgressBar>
#include <QImageReader>
#include <QLabel>
#include <QPixmapCache>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "FieldEdit.h"
#include "ItemStyle.h"
#include "NoteEdit.h"
#include "platform/ui/Screen.h"

namespace torvane::gui {

namespace {

constexpr int kVerticalMargin = 3;
constexpr int kButtonMinimumWidth = 80;
constexpr int kNoteLines = 4;
constexpr int kBlankImage = 44;

// Heights of the standard controls, measured once.
struct ControlHeights {
    int field, button, check, stepper;
    static const ControlHeights& get() {
        static const ControlHeights heights = [] {
            QLineEdit field;
            QPushButton button(QStringLiteral("X"));
            QCheckBox check(QStringLiteral("X"));
            QDoubleSpinBox stepper;
            return ControlHeights{field.sizeHint().height(), button.sizeHint().height(), check.sizeHint().height(),
                                  stepper.sizeHint().height()};
        }();
        return heights;
    }
};

// A picture in a row is at most this big: a camera photo would otherwise fill the screen and
// push the row's controls out of reach.
constexpr int kMaxImageWidth = 320;
constexpr int kMaxImageHeight = 160;

QSize fittedToRow(QSize size) {
    if (size.width() <= kMaxImageWidth && size.height() <= kMaxImageHeight) return size;
    return size.scaled(kMaxImageWidth, kMaxImageHeight, Qt::KeepAspectRatio).expandedTo({1, 1});
}

QSize naturalImageSize(const ui::Image& image) {
    if (image.width > 0 && image.height > 0) return {image.width, image.height};
    QSize natural;
    if (!image.path.empty()) natural = QImageReader(qs(image.path)).size();
    if (!natural.isValid()) return {image.width > 0 ? image.width : kBlankImage, image.height > 0 ? image.height : kBlankImage};
    if (image.width > 0) return {image.width, natural.height() * image.width / std::max(1, natural.width())};
    if (image.height > 0) return {natural.width() * image.height / std::max(1, natural.height()), image.height};
    return natural;
}

QSize imageSize(const ui::Image& image) { return fittedToRow(naturalImageSize(image)); }

QPixmap scaledImage(const ui::Image& image, QSize size) {
    const bool inFile = !image.path.empty();
    if (!inFile && !image.encoded) return {};
    // A picture held in memory is known by its bytes (a block's address could be reused by
    // another photo).
    const QString source =
        inFile ? qs(image.path)
               : QString("bytes:%1:%2")
                     .arg(qHash(QByteArrayView(image.encoded->data(), static_cast<qsizetype>(image.encoded->size()))))
                     .arg(image.encoded->size());
    const QString key = QString("row-image:%1:%2x%3").arg(source).arg(size.width()).arg(size.height());
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) return pixmap;
    if (inFile) pixmap = QPixmap(qs(image.path));
    else pixmap.loadFromData(image.encoded->data(), static_cast<uint>(image.encoded->size()));
    if (pixmap.isNull()) return {};
    pixmap = pixmap.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

int itemHeight(const ui::Item& item, const QFont& font) {
    const ControlHeights& controls = ControlHeights::get();
    if (const auto* label = std::get_if<ui::Label>(&item)) return QFontMetrics(labelFont(font, *label)).height();
    if (std::holds_alternative<ui::TextField>(item)) return controls.field;
    if (std::holds_alternative<ui::Button>(item)) return controls.button;
    if (std::holds_alternative<ui::Switch>(item)) return controls.check;
    if (std::holds_alternative<ui::Stepper>(item)) return controls.stepper;
    if (std::holds_alternative<ui::ProgressBar>(item)) return controls.field;
    if (const auto* image = std::get_if<ui::Image>(&item)) return imageSize(*image).height();
    return QFontMetrics(font).lineSpacing() * kNoteLines + 10;
}

// A button that shows its pressed title while held down.
class RowButton : public QPushButton {
public:
    explicit RowButton(QWidget* parent) : QPushButton(parent) {
        connect(this, &QPushButton::pressed, this, [this] {
            if (!pressedTitle.isEmpty()) setText(pressedTitle);
        });
        connect(this, &QPushButton::released, this, [this] { setText(title); });
    }
    QString title, pressedTitle;
};

QString colourCss(const ui::Color& color) { return qcolor(color).name(QColor::HexArgb); }

}  // namespace

RowWidget::RowWidget(ui::Screen& screen, const ui::Row& row, ui::IndexPath where, QWidget* parent)
    : QWidget(parent), screen_(screen), where_(where), stacked_(row.stacked), items_(row.items) {
    setObjectName(QString("row:%1:%2").arg(where.section).arg(where.row));
    QBoxLayout* layout = row.stacked ? static_cast<QBoxLayout*>(new QVBoxLayout(this)) : new QHBoxLayout(this);
    layout->setContentsMargins(0, kVerticalMargin, 0, kVerticalMargin);
    layout->setSpacing(row.stacked ? 2 : 6);
    for (size_t i = 0; i < items_.size(); ++i) {
        QWidget* widget = makeItem(i);
        widgets_.push_back(widget);
        const ui::Item& item = items_[i];
        int stretch = 0;
        if (std::holds_alternative<ui::Label>(item)) stretch = 1;
        else if (std::holds_alternative<ui::TextField>(item)) stretch = 2;
        else if (std::holds_alternative<ui::MultilineText>(item)) stretch = 3;
        if (stretch > 0 && !row.stacked) widget->setSizePolicy(QSizePolicy::Ignored, widget->sizePolicy().verticalPolicy());
        // A hidden item keeps its place, so that rows of the same shape stay aligned.
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
        layout->addWidget(widget, stretch);
        applyItem(widget, item);
    }
}

bool RowWidget::isNeededFor(const ui::Row& row) {
    return std::any_of(row.items.begin(), row.items.end(),
                       [](const ui::Item& item) { return !std::holds_alternative<ui::Label>(item); });
}

int RowWidget::naturalHeight(const ui::Row& row, const QFont& font) {
    int tallest = 0, total = 0;
    for (const ui::Item& item : row.items) {
        const int height = itemHeight(item, font);
        tallest = std::max(tallest, height);
        total += height + 2;
    }
    return (row.stacked ? total : tallest) + 2 * kVerticalMargin + 2;
}

bool RowWidget::fits(const ui::Row& row) const {
    if (row.stacked != stacked_ || row.items.size() != items_.size()) return false;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (row.items[i].index() != items_[i].index()) return false;
        // A field stands for its tag: another tag in the same place is another field.
        const auto* field = std::get_if<ui::TextField>(&items_[i]);
        if (field && field->tag != std::get<ui::TextField>(row.items[i]).tag) return false;
        const auto* note = std::get_if<ui::MultilineText>(&items_[i]);
        if (note && note->tag != std::get<ui::MultilineText>(row.items[i]).tag) return false;
    }
    return true;
}

void RowWidget::apply(const ui::Row& row, ui::IndexPath where) {
    where_ = where;
    setObjectName(QString("row:%1:%2").arg(where.section).arg(where.row));
    items_ = row.items;
    for (size_t i = 0; i < items_.size(); ++i) applyItem(widgets_[i], items_[i]);
}

QWidget* RowWidget::makeItem(size_t index) {
    const ui::Item& item = items_[index];
    if (std::holds_alternative<ui::Label>(item) || std::holds_alternative<ui::Image>(item)) return new QLabel(this);
    if (const auto* spec = std::get_if<ui::TextField>(&item)) return new FieldEdit(screen_, *spec, this);
    if (const auto* spec = std::get_if<ui::MultilineText>(&item)) return new NoteEdit(screen_, *spec, this);
    if (std::holds_alternative<ui::Button>(item)) {
        auto* button = new RowButton(this);
        button->setMinimumWidth(kButtonMinimumWidth);
        connect(button, &QPushButton::clicked, this, [this, index] {
            screen_.buttonTapped(std::get<ui::Button>(items_[index]).action, where_);
        });
        return button;
    }
    if (std::holds_alternative<ui::Switch>(item)) {
        auto* box = new QCheckBox(this);
        // Only the person's clicks reach the screen, not the state a redraw sets.
        connect(box, &QCheckBox::clicked, this, [this, index](bool on) {
            screen_.switchChanged(std::get<ui::Switch>(items_[index]).action, on, where_);
        });
        return box;
    }
    if (std::holds_alternative<ui::ProgressBar>(item)) {
        auto* bar = new QProgressBar(this);
        bar->setRange(0, 1000);
        return bar;
    }
    auto* stepper = new QDoubleSpinBox(this);
    connect(stepper, &QDoubleSpinBox::valueChanged, this, [this, index](double value) {
        screen_.stepperChanged(std::get<ui::Stepper>(items_[index]).action, value, where_);
    });
    return stepper;
}

void RowWidget::applyItem(QWidget* widget, const ui::Item& item) {
    const QSignalBlocker quiet(widget);
    if (const auto* spec = std::get_if<ui::Label>(&item)) {
        auto* label = static_cast<QLabel*>(widget);
        label->setText(qs(spec->text));
        label->setFont(labelFont(QApplication::font(), *spec));
        label->setAlignment(qalign(spec->alignment));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, labelColor(*spec, QApplication::palette().windowText().color()));
        if (spec->background) palette.setColor(QPalette::Window, qcolor(*spec->background));
        label->setAutoFillBackground(spec->background.has_value());
        label->setPalette(palette);
        label->setVisible(!spec->hidden);
    } else if (const auto* spec = std::get_if<ui::TextField>(&item)) {
        static_cast<FieldEdit*>(widget)->apply(*spec);
    } else if (const auto* spec = std::get_if<ui::MultilineText>(&item)) {
        static_cast<NoteEdit*>(widget)->apply(*spec);
    } else if (const auto* spec = std::get_if<ui::Button>(&item)) {
        auto* button = static_cast<RowButton*>(widget);
        button->setObjectName(qs("button:" + spec->action));
        button->title = qs(spec->title);
        button->pressedTitle = qs(spec->pressedTitle);
        button->setText(button->isDown() && !button->pressedTitle.isEmpty() ? button->pressedTitle : button->title);
        button->setEnabled(spec->enabled);
        button->setVisible(!spec->hidden);
        QString css;
        if (spec->color) css += QString("color: %1;").arg(colourCss(*spec->color));
        if (spec->background)
            css += QString("background-color: %1; border: 1px solid #8a8a8a; border-radius: 4px; padding: 3px 10px;")
                       .arg(colourCss(*spec->background));
        button->setStyleSheet(css.isEmpty() ? QString() : QString("QPushButton { %1 }").arg(css));
    } else if (const auto* spec = std::get_if<ui::Switch>(&item)) {
        auto* box = static_cast<QCheckBox*>(widget);
        box->setObjectName(qs("switch:" + spec->action));
        box->setText(qs(spec->title));
        box->setChecked(spec->on);
        box->setEnabled(spec->enabled);
    } else if (const auto* spec = std::get_if<ui::Stepper>(&item)) {
        auto* stepper = static_cast<QDoubleSpinBox*>(widget);
        stepper->setObjectName(qs("stepper:" + spec->action));
        stepper->setDecimals(spec->step == std::floor(spec->step) ? 0 : 2);
        stepper->setRange(spec->minimum, spec->maximum);
        stepper->setSingleStep(spec->step);
        stepper->setValue(spec->value);
        stepper->setEnabled(spec->enabled);
    } else if (const auto* spec = std::get_if<ui::ProgressBar>(&item)) {
        static_cast<QProgressBar*>(widget)->setValue(static_cast<int>(std::clamp(spec->value, 0.0, 1.0) * 1000));
    } else if (const auto* spec = std::get_if<ui::Image>(&item)) {
        auto* image = static_cast<QLabel*>(widget);
        const QSize size = imageSize(*spec);
        image->setFixedSize(size);
        image->setAlignment(Qt::AlignCenter);
        const QPixmap picture = scaledImage(*spec, size);
        image->setPixmap(picture);
        image->setFrameShape(picture.isNull() ? QFrame::Box : QFrame::NoFrame);
    }
}

QWidget* RowWidget::field(int tag) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        const auto* field = std::get_if<ui::TextField>(&items_[i]);
        const auto* note = std::get_if<ui::MultilineText>(&items_[i]);
        if ((field && field->tag == tag) || (note && note->tag == tag)) return widgets_[i];
    }
    return nullptr;
}

std::optional<int> RowWidget::focusedTag() const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (!widgets_[i]->hasFocus()) continue;
        if (const auto* field = std::get_if<ui::TextField>(&items_[i])) return field->tag;
        if (const auto* note = std::get_if<ui::MultilineText>(&items_[i])) return note->tag;
    }
    return std::nullopt;
}

}  // namespace torvane::gui
