#include "TableScreenWidget.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace torvane::gui {

namespace {

constexpr int kSectionRole = Qt::UserRole;
constexpr int kRowRole = Qt::UserRole + 1;

QString qs(const std::string& text) { return QString::fromStdString(text); }

QColor qcolor(const ui::Color& c) { return QColor(c.red, c.green, c.blue, c.alpha); }

Qt::Alignment qalign(ui::Alignment alignment) {
    switch (alignment) {
        case ui::Alignment::Center: return Qt::AlignCenter;
        case ui::Alignment::Right: return Qt::AlignRight | Qt::AlignVCenter;
        default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QFont styled(QFont font, ui::TextStyle style) {
    switch (style) {
        case ui::TextStyle::Bold: font.setBold(true); break;
        case ui::TextStyle::Title: font.setBold(true), font.setPointSizeF(font.pointSizeF() * 1.25); break;
        case ui::TextStyle::Subtitle: font.setItalic(true); break;
        case ui::TextStyle::Detail:
        case ui::TextStyle::Small: font.setPointSizeF(font.pointSizeF() * 0.85); break;
        default: break;
    }
    return font;
}

QString accessoryText(ui::Accessory accessory) {
    switch (accessory) {
        case ui::Accessory::Disclosure: return QStringLiteral("›");
        case ui::Accessory::Checkmark: return QStringLiteral("✓");
        default: return {};
    }
}

QFont labelFont(const QFont& base, const ui::Label& label) {
    QFont font = styled(base, label.style);
    if (label.pointSize > 0) font.setPointSizeF(label.pointSize);
    return font;
}

// Rows of labels side by side are drawn as plain tree items, which stays cheap for long lists.
bool onlyLabels(const ui::Row& row) {
    if (row.stacked) return false;
    return std::all_of(row.items.begin(), row.items.end(),
                       [](const ui::Item& item) { return std::holds_alternative<ui::Label>(item); });
}

// A one-line field that tells its screen when editing begins.
class FieldEdit : public QLineEdit {
public:
    FieldEdit(ui::Screen& screen, int tag, QWidget* parent) : QLineEdit(parent), screen_(screen), tag_(tag) {}

protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        screen_.textFieldDidBeginEditing(tag_);
    }

private:
    ui::Screen& screen_;
    int tag_;
};

// A multi-line text that reports its text when editing ends.
class NoteEdit : public QPlainTextEdit {
public:
    NoteEdit(ui::Screen& screen, int tag, QWidget* parent) : QPlainTextEdit(parent), screen_(screen), tag_(tag) {}

protected:
    void focusInEvent(QFocusEvent* event) override {
        QPlainTextEdit::focusInEvent(event);
        screen_.textFieldDidBeginEditing(tag_);
    }
    void focusOutEvent(QFocusEvent* event) override {
        QPlainTextEdit::focusOutEvent(event);
        if (!isReadOnly()) screen_.textFieldDidEndEditing(tag_, toPlainText().toStdString());
    }

private:
    ui::Screen& screen_;
    int tag_;
};

}  // namespace

TableScreenWidget::TableScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent)
    : QWidget(parent), screen_(std::move(screen)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* bar = new QHBoxLayout;
    back_ = new QPushButton(QStringLiteral("‹ Indietro"), this);
    back_->setObjectName("back");
    back_->setVisible(false);
    connect(back_, &QPushButton::clicked, this, &TableScreenWidget::backRequested);
    title_ = new QLabel(this);
    title_->setObjectName("title");
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(styled(title_->font(), ui::TextStyle::Title));
    buttons_ = new QHBoxLayout;
    bar->addWidget(back_);
    bar->addWidget(title_, 1);
    bar->addLayout(buttons_);
    layout->addLayout(bar);

    search_ = new QLineEdit(this);
    search_->setObjectName("search");
    search_->setClearButtonEnabled(true);
    connect(search_, &QLineEdit::textEdited, this,
            [this](const QString& text) { screen_->searchTextChanged(text.toStdString()); });
    connect(search_, &QLineEdit::returnPressed, this,
            [this] { screen_->searchButtonClicked(search_->text().toStdString()); });
    cancelSearch_ = new QPushButton(QStringLiteral("Annulla"), this);
    cancelSearch_->setObjectName("cancelSearch");
    connect(cancelSearch_, &QPushButton::clicked, this, [this] { screen_->searchCancelled(); });
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(cancelSearch_);
    layout->addLayout(searchRow);

    tree_ = new QTreeWidget(this);
    tree_->setObjectName("table");
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);
    tree_->setItemsExpandable(false);
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { rowClicked(item); });
    layout->addWidget(tree_, 1);

    refresh();
}

void TableScreenWidget::setCanGoBack(bool canGoBack) { back_->setVisible(canGoBack); }

void TableScreenWidget::scheduleRefresh() {
    if (refreshPending_) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] { refresh(); });
}

void TableScreenWidget::rebuildNavigationBar() {
    title_->setText(qs(screen_->title()));
    while (QLayoutItem* old = buttons_->takeAt(0)) {
        if (old->widget()) old->widget()->deleteLater();
        delete old;
    }
    for (const ui::NavigationButton& spec : screen_->navigationButtons()) {
        auto* button = new QPushButton(qs(spec.title), this);
        button->setObjectName(qs("nav:" + spec.action));
        button->setEnabled(spec.enabled);
        const std::string action = spec.action;
        connect(button, &QPushButton::clicked, this, [this, action] { screen_->navigationButtonTapped(action); });
        buttons_->addWidget(button);
    }
}

void TableScreenWidget::refresh() {
    refreshPending_ = false;
    rebuildNavigationBar();
    search_->setVisible(screen_->hasSearchBar());
    cancelSearch_->setVisible(screen_->hasSearchBar());
    search_->setPlaceholderText(qs(screen_->searchPlaceholder()));
    if (auto text = screen_->searchText(); text && search_->text() != qs(*text)) search_->setText(qs(*text));

    const int scroll = tree_->verticalScrollBar() ? tree_->verticalScrollBar()->value() : 0;
    // The tree owns the row widgets and deletes them with its items. Redraws always run from
    // the event loop (`scheduleRefresh`), never inside a row widget's own signal.
    fields_.clear();
    items_.clear();
    tree_->clear();
    tree_->setSelectionMode(screen_->allowsMultipleSelection() ? QAbstractItemView::MultiSelection
                                                                : QAbstractItemView::SingleSelection);

    const std::vector<ui::Section> sections = screen_->sections();
    int columns = 1;
    for (const ui::Section& section : sections)
        for (const ui::Row& row : section.rows)
            if (onlyLabels(row)) columns = std::max(columns, static_cast<int>(row.items.size()));
    tree_->setColumnCount(columns + 1);  // the last column holds the accessory

    for (int s = 0; s < static_cast<int>(sections.size()); ++s) {
        const ui::Section& section = sections[static_cast<size_t>(s)];
        QTreeWidgetItem* parent = nullptr;
        if (!section.title.empty()) {
            parent = new QTreeWidgetItem(tree_, QStringList{qs(section.title)});
            parent->setFlags(Qt::ItemIsEnabled);
            parent->setFirstColumnSpanned(true);
            parent->setFont(0, styled(parent->font(0), ui::TextStyle::Bold));
            parent->setExpanded(true);
        }
        for (int r = 0; r < static_cast<int>(section.rows.size()); ++r) {
            const ui::Row& row = section.rows[static_cast<size_t>(r)];
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
            item->setData(0, kSectionRole, s);
            item->setData(0, kRowRole, r);
            item->setFlags(row.selectable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemIsEnabled);
            items_[{s, r}] = item;
            if (row.background)
                for (int c = 0; c <= columns; ++c) item->setBackground(c, qcolor(*row.background));
            if (onlyLabels(row)) {
                for (int c = 0; c < static_cast<int>(row.items.size()); ++c) {
                    const auto& label = std::get<ui::Label>(row.items[static_cast<size_t>(c)]);
                    if (label.hidden) continue;
                    item->setText(c, qs(label.text));
                    item->setFont(c, labelFont(item->font(c), label));
                    item->setTextAlignment(c, qalign(label.alignment));
                    if (label.color) item->setForeground(c, qcolor(*label.color));
                    if (label.background) item->setBackground(c, qcolor(*label.background));
                }
                item->setText(columns, accessoryText(row.accessory));
                if (row.accessory == ui::Accessory::DetailButton ||
                    row.accessory == ui::Accessory::DetailDisclosure) {
                    auto* detail = new QToolButton(tree_);
                    detail->setText(QStringLiteral("ⓘ"));
                    detail->setObjectName(QString("detail:%1:%2").arg(s).arg(r));
                    connect(detail, &QToolButton::clicked, this, [this, s, r] { screen_->accessoryTapped(s, r); });
                    tree_->setItemWidget(item, columns, detail);
                }
            } else {
                item->setFirstColumnSpanned(true);
                tree_->setItemWidget(item, 0, makeRowWidget(row, {s, r}));
            }
            if (row.selected) item->setSelected(true);
        }
        if (!section.footer.empty()) {
            auto* footer = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
            footer->setText(0, qs(section.footer));
            footer->setFirstColumnSpanned(true);
            footer->setFlags(Qt::ItemIsEnabled);
            footer->setFont(0, styled(footer->font(0), ui::TextStyle::Subtitle));
        }
    }
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    if (tree_->verticalScrollBar()) tree_->verticalScrollBar()->setValue(scroll);
}

QWidget* TableScreenWidget::makeRowWidget(const ui::Row& row, ui::IndexPath where) {
    auto* widget = new QWidget;
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(4, 2, 4, 2);
    QBoxLayout* items = layout;
    if (row.stacked) {
        items = new QVBoxLayout;
        items->setSpacing(0);
        layout->addLayout(items, 1);
    }
    for (const ui::Item& item : row.items)
        if (QWidget* child = makeItemWidget(item, where)) items->addWidget(child, 1);
    if (row.accessory == ui::Accessory::DetailButton || row.accessory == ui::Accessory::DetailDisclosure) {
        auto* detail = new QToolButton(widget);
        detail->setText(QStringLiteral("ⓘ"));
        detail->setObjectName(QString("detail:%1:%2").arg(where.section).arg(where.row));
        connect(detail, &QToolButton::clicked, this,
                [this, where] { screen_->accessoryTapped(where.section, where.row); });
        layout->addWidget(detail);
    } else if (!accessoryText(row.accessory).isEmpty()) {
        layout->addWidget(new QLabel(accessoryText(row.accessory), widget));
    }
    return widget;
}

QWidget* TableScreenWidget::makeItemWidget(const ui::Item& item, ui::IndexPath where) {
    if (const auto* label = std::get_if<ui::Label>(&item)) {
        if (label->hidden) return nullptr;
        auto* widget = new QLabel(qs(label->text));
        widget->setFont(labelFont(widget->font(), *label));
        widget->setAlignment(qalign(label->alignment));
        if (label->color) widget->setStyleSheet(QString("color: %1;").arg(qcolor(*label->color).name()));
        return widget;
    }
    if (const auto* spec = std::get_if<ui::TextField>(&item)) {
        auto* field = new FieldEdit(*screen_, spec->tag, nullptr);
        field->setObjectName(QString("field:%1").arg(spec->tag));
        field->setText(qs(spec->text));
        field->setPlaceholderText(qs(spec->placeholder));
        field->setEnabled(spec->enabled);
        field->setAlignment(qalign(spec->alignment));
        if (spec->maxLength > 0) field->setMaxLength(spec->maxLength);
        if (spec->secure) field->setEchoMode(QLineEdit::Password);
        const int tag = spec->tag;
        // The screen may refuse a change: the field then keeps the text it had.
        field->setProperty("accepted", field->text());
        connect(field, &QLineEdit::textEdited, this, [this, field, tag](const QString& text) {
            if (screen_->shouldChangeCharacters(tag, text.toStdString())) field->setProperty("accepted", text);
            else field->setText(field->property("accepted").toString());
        });
        connect(field, &QLineEdit::editingFinished, this,
                [this, field, tag] { screen_->textFieldDidEndEditing(tag, field->text().toStdString()); });
        connect(field, &QLineEdit::returnPressed, this, [this, tag] { screen_->textFieldShouldReturn(tag); });
        fields_[tag] = field;
        return field;
    }
    if (const auto* spec = std::get_if<ui::Button>(&item)) {
        if (spec->hidden) return nullptr;
        auto* button = new QPushButton(qs(spec->title));
        button->setObjectName(qs("button:" + spec->action));
        button->setEnabled(spec->enabled);
        if (spec->color) button->setStyleSheet(QString("color: %1;").arg(qcolor(*spec->color).name()));
        const std::string action = spec->action;
        connect(button, &QPushButton::clicked, this, [this, action, where] { screen_->buttonTapped(action, where); });
        return button;
    }
    if (const auto* spec = std::get_if<ui::Switch>(&item)) {
        auto* box = new QCheckBox;
        box->setObjectName(qs("switch:" + spec->action));
        box->setChecked(spec->on);
        box->setEnabled(spec->enabled);
        const std::string action = spec->action;
        connect(box, &QCheckBox::toggled, this,
                [this, action, where](bool on) { screen_->switchChanged(action, on, where); });
        return box;
    }
    if (const auto* spec = std::get_if<ui::Stepper>(&item)) {
        auto* stepper = new QDoubleSpinBox;
        stepper->setObjectName(qs("stepper:" + spec->action));
        stepper->setDecimals(0);
        stepper->setRange(spec->minimum, spec->maximum);
        stepper->setSingleStep(spec->step);
        stepper->setValue(spec->value);
        stepper->setEnabled(spec->enabled);
        const std::string action = spec->action;
        connect(stepper, &QDoubleSpinBox::valueChanged, this,
                [this, action, where](double value) { screen_->stepperChanged(action, value, where); });
        return stepper;
    }
    if (const auto* spec = std::get_if<ui::Image>(&item)) {
        auto* image = new QLabel;
        QPixmap pixmap(qs(spec->path));
        if (!pixmap.isNull() && spec->width > 0 && spec->height > 0)
            pixmap = pixmap.scaled(spec->width, spec->height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        image->setPixmap(pixmap);
        if (spec->width > 0 && spec->height > 0) image->setMinimumSize(spec->width, spec->height);
        return image;
    }
    if (const auto* spec = std::get_if<ui::MultilineText>(&item)) {
        auto* note = new NoteEdit(*screen_, spec->tag, nullptr);
        note->setObjectName(QString("field:%1").arg(spec->tag));
        note->setPlainText(qs(spec->text));
        note->setReadOnly(!spec->editable);
        fields_[spec->tag] = note;
        return note;
    }
    return nullptr;
}

void TableScreenWidget::rowClicked(QTreeWidgetItem* item) {
    if (!item || !(item->flags() & Qt::ItemIsSelectable)) return;
    const QVariant section = item->data(0, kSectionRole);
    if (!section.isValid()) return;
    const int s = section.toInt(), r = item->data(0, kRowRole).toInt();
    if (screen_->allowsMultipleSelection() && !item->isSelected()) screen_->didDeselectRow(s, r);
    else screen_->didSelectRow(s, r);
}

QTreeWidgetItem* TableScreenWidget::itemAt(ui::IndexPath where) const {
    auto found = items_.find({where.section, where.row});
    return found == items_.end() ? nullptr : found->second;
}

void TableScreenWidget::scrollTo(ui::IndexPath where, ui::ScrollPosition position) {
    QTreeWidgetItem* item = itemAt(where);
    if (!item) return;
    auto hint = position == ui::ScrollPosition::Top      ? QAbstractItemView::PositionAtTop
                : position == ui::ScrollPosition::Middle ? QAbstractItemView::PositionAtCenter
                : position == ui::ScrollPosition::Bottom ? QAbstractItemView::PositionAtBottom
                                                         : QAbstractItemView::EnsureVisible;
    tree_->scrollToItem(item, hint);
}

void TableScreenWidget::focusField(int tag) {
    auto found = fields_.find(tag);
    if (found != fields_.end()) found->second->setFocus();
}

}  // namespace torvane::gui
