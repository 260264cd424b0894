#include "TableScreenWidget.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "FieldTabOrder.h"
#include "ItemStyle.h"
#include "RowWidget.h"
#include "RowWidgetLayer.h"
#include "ScreenTableModel.h"
#include "ScreenTableView.h"
#include "SectionIndexBar.h"

namespace torvane::gui {

TableScreenWidget::TableScreenWidget(std::shared_ptr<ui::Screen> screen, QWidget* parent)
    : ScreenWidget(std::move(screen), parent), search_(new QLineEdit(this)),
      cancelSearch_(new QPushButton(QStringLiteral("Annulla"), this)), view_(new ScreenTableView(this->screen(), this)),
      layer_(new RowWidgetLayer(*view_)), index_(new SectionIndexBar(this)) {
    search_->setObjectName("search");
    search_->setClearButtonEnabled(true);
    connect(search_, &QLineEdit::textEdited, this,
            [this](const QString& text) { this->screen().searchTextChanged(text.toStdString()); });
    connect(search_, &QLineEdit::returnPressed, this,
            [this] { this->screen().searchButtonClicked(search_->text().toStdString()); });
    cancelSearch_->setObjectName("cancelSearch");
    connect(cancelSearch_, &QPushButton::clicked, this, [this] { this->screen().searchCancelled(); });
    auto* searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(4, 0, 4, 4);
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(cancelSearch_);
    contentLayout()->addLayout(searchRow);

    auto* tableRow = new QHBoxLayout;
    tableRow->setSpacing(0);
    tableRow->addWidget(view_, 1);
    tableRow->addWidget(index_);
    contentLayout()->addLayout(tableRow, 1);
    connect(index_, &SectionIndexBar::titleTapped, this, [this](int index) {
        this->screen().sectionIndexTapped(index);
        view_->scrollToSection(index);
    });

    connect(view_, &ScreenTableView::contentMoved, this, [this] { scheduleShownRows(); });
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) { showEditMenu(at); });

    refresh();
}

void TableScreenWidget::refreshContent() {
    ui::Screen& shown = screen();
    const bool searching = shown.hasSearchBar();
    search_->setVisible(searching);
    cancelSearch_->setVisible(searching);
    search_->setPlaceholderText(qs(shown.searchPlaceholder()));
    search_->setInputMethodHints(shown.searchKeyboard() == ui::Keyboard::Number ? Qt::ImhDigitsOnly : Qt::ImhNone);
    if (auto text = shown.searchText(); text && search_->text() != qs(*text)) search_->setText(qs(*text));
    QStringList titles;
    for (const std::string& title : shown.sectionIndexTitles()) titles << qs(title);
    index_->setTitles(titles);

    pendingRows_.clear();
    view_->reload();
    shownRows_.clear();
    scheduleShownRows();
}

void TableScreenWidget::scheduleShownRows() {
    if (shownPending_) return;
    shownPending_ = true;
    QTimer::singleShot(0, this, [this] {
        shownPending_ = false;
        reportShownRows();
    });
}

void TableScreenWidget::reportShownRows() {
    std::vector<ui::IndexPath> rows;
    for (const auto& [index, rect] : view_->visibleItems()) {
        const ui::IndexPath where = view_->screenModel().pathOf(index);
        if (where.row >= 0 && where.row < screen().numberOfRows(where.section)) rows.push_back(where);
    }
    if (rows == shownRows_) return;
    shownRows_ = rows;
    screen().rowsShown(rows);
}

void TableScreenWidget::scheduleRowReload(const std::vector<ui::IndexPath>& rows) {
    if (refreshPending()) return;  // the whole screen is drawn anyway
    const bool first = pendingRows_.empty();
    pendingRows_.insert(pendingRows_.end(), rows.begin(), rows.end());
    if (first && !pendingRows_.empty()) QTimer::singleShot(0, this, [this] { reloadPendingRows(); });
}

void TableScreenWidget::reloadPendingRows() {
    if (pendingRows_.empty()) return;
    const std::vector<ui::IndexPath> rows = std::move(pendingRows_);
    pendingRows_.clear();
    view_->reloadRows(rows);
}

void TableScreenWidget::showEditMenu(const QPoint& at) {
    const ui::IndexPath where = view_->screenModel().pathOf(view_->indexAt(at));
    if (where.row < 0 || where.row >= screen().numberOfRows(where.section)) return;
    auto row = view_->screenModel().row(where);
    if (!row || row->editMenu.empty()) return;
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("Copia"));
    for (const std::string& entry : row->editMenu) menu.addAction(qs(entry));  // they do nothing
    if (menu.exec(view_->viewport()->mapToGlobal(at)) != copy) return;
    QStringList texts;
    for (const ui::Item& item : row->items)
        if (const auto* label = std::get_if<ui::Label>(&item); label && !label->hidden) texts << qs(label->text);
    QGuiApplication::clipboard()->setText(texts.join(QLatin1Char(' ')));
}

void TableScreenWidget::scrollTo(ui::IndexPath where, ui::ScrollPosition position) {
    view_->scrollToRow(where, position);
}

void TableScreenWidget::focusField(int tag) {
    if (QWidget* field = layer_->field(tag)) field->setFocus(Qt::OtherFocusReason);
}

bool TableScreenWidget::focusNextPrevChild(bool next) {
    RowWidget* row = nullptr;
    for (QWidget* w = QApplication::focusWidget(); w && !row; w = w->parentWidget())
        if (w->parentWidget() == view_->viewport()) row = qobject_cast<RowWidget*>(w);
    const std::optional<int> tag = row ? row->focusedTag() : std::nullopt;
    if (!tag) return ScreenWidget::focusNextPrevChild(next);
    const auto stop = FieldTabOrder(view_->screenModel()).next({row->where(), *tag}, next);
    if (!stop) return true;  // the last field of the form keeps the focus
    view_->scrollToRow(stop->where, ui::ScrollPosition::None);
    layer_->sync();
    RowWidget* target = layer_->widgetAt(stop->where);
    // Not as a Tab focus, which selects the whole text: the next key typed never replaces it.
    if (QWidget* field = target ? target->field(stop->tag) : nullptr) field->setFocus(Qt::OtherFocusReason);
    return true;
}

}  // namespace torvane::gui
