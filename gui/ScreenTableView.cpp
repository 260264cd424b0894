#include "ScreenTableView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QScrollEvent>
#include <QScrollPrepareEvent>
#include <QScroller>
#include <QScrollerProperties>

#include "RowDelegate.h"
#include "RowGeometry.h"
#include "ScreenTableModel.h"

// The toolkit's QScroller::grabGesture allocates a gesture recognizer that its gesture manager
// never frees (16 bytes a grab, also when the grab is undone); every table view grabs one for
// kinetic scrolling. The leak checker of the sanitizer build excuses that allocation only. It
// lives here, in the file every program with tables links, so no environment has to carry it.
extern "C" const char* __lsan_default_suppressions() { return "leak:QScroller::grabGesture\n"; }

namespace torvane::gui {

ScreenTableView::ScreenTableView(ui::Screen& screen, QWidget* parent)
    : QTreeView(parent), screen_(screen), model_(new ScreenTableModel(screen, this)), delegate_(new RowDelegate(*this)) {
    setObjectName("table");
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(0);
    setUniformRowHeights(false);
    // Per item, so the scroll range needs the heights of the last screenful only, not of every row.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(delegate_);
    setModel(model_);
    header()->setStretchLastSection(true);
    // A finger, or the mouse dragged over the rows, flicks the list (a touch the rows do not
    // take comes as a mouse drag). The toolkit's grab allocates a recognizer it never frees:
    // the sanitizer build's leak check is told so (above).
    // A drag that begins on a row's controls stays theirs (selecting typed text, a stepper).
    const Qt::GestureType gesture = QScroller::grabGesture(viewport(), QScroller::LeftMouseButtonGesture);
    viewport()->grabGesture(gesture, Qt::DontStartGestureOnChildren);
    QScrollerProperties flick = QScroller::scroller(viewport())->scrollerProperties();
    flick.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy, QScrollerProperties::OvershootAlwaysOff);
    flick.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy, QScrollerProperties::OvershootAlwaysOff);
    QScroller::scroller(viewport())->setScrollerProperties(flick);
    connect(model_, &QAbstractItemModel::modelReset, this, &ScreenTableView::modelWasReset);
    connect(this, &QAbstractItemView::clicked, this, &ScreenTableView::activate);
    modelWasReset();
}

// The recognizer leaves the toolkit's list with its view: tables come and go all day.
ScreenTableView::~ScreenTableView() { QScroller::ungrabGesture(viewport()); }

void ScreenTableView::modelWasReset() {
    toggledOn_.clear();
    toggledOff_.clear();
    setSelectionMode(screen_.allowsMultipleSelection() ? QAbstractItemView::NoSelection
                                                       : QAbstractItemView::SingleSelection);
    expandAll();
}

void ScreenTableView::reload() {
    const int scroll = verticalScrollBar()->value();
    model_->reload();
    verticalScrollBar()->setValue(scroll);
}

void ScreenTableView::reloadRows(const std::vector<ui::IndexPath>& rows) {
    for (const ui::IndexPath& where : rows) {
        toggledOn_.erase({where.section, where.row});
        toggledOff_.erase({where.section, where.row});
    }
    std::set<std::pair<int, int>> onScreen;
    for (const auto& [index, rect] : visibleItems()) {
        const ui::IndexPath where = model_->pathOf(index);
        onScreen.insert({where.section, where.row});
    }
    // Rows off screen are not announced (that would measure every row up to them); one whose
    // height changes makes the view lay the rows out again.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    std::vector<std::pair<ui::IndexPath, int>> offScreen;
    for (const ui::IndexPath& where : rows)
        if (!onScreen.count({where.section, where.row}))
            if (auto old = model_->cachedRow(where)) offScreen.emplace_back(where, delegate_->rowHeight(*old, option.font));
    const int scroll = verticalScrollBar()->value();
    if (!model_->forgetRows(rows)) {
        verticalScrollBar()->setValue(scroll);
        return;
    }
    for (const ui::IndexPath& where : rows)
        if (onScreen.count({where.section, where.row})) model_->announceRowChanged(where);
    for (const auto& [where, height] : offScreen)
        if (delegate_->rowHeight(*model_->row(where), option.font) != height) {
            scheduleDelayedItemsLayout();
            break;
        }
}

bool ScreenTableView::isShownSelected(const QModelIndex& index, const ui::Row& row) const {
    const ui::IndexPath where = model_->pathOf(index);
    const std::pair<int, int> key{where.section, where.row};
    if (toggledOn_.count(key)) return true;
    if (toggledOff_.count(key)) return false;
    return row.selected || (selectionModel() && selectionModel()->isSelected(index));
}

void ScreenTableView::activate(const QModelIndex& index) {
    if (!model_->isSelectable(index)) return;
    const ui::IndexPath where = model_->pathOf(index);
    if (!screen_.allowsMultipleSelection()) {
        screen_.didSelectRow(where.section, where.row);
        return;
    }
    const std::pair<int, int> key{where.section, where.row};
    const bool wasSelected = isShownSelected(index, *model_->row(where));
    (wasSelected ? toggledOn_ : toggledOff_).erase(key);
    (wasSelected ? toggledOff_ : toggledOn_).insert(key);
    viewport()->update(visualRect(index));
    if (wasSelected) screen_.didDeselectRow(where.section, where.row);
    else screen_.didSelectRow(where.section, where.row);
}

void ScreenTableView::mousePressEvent(QMouseEvent* event) {
    pressTaken_ = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && model_->kindOf(index) == ScreenTableModel::Kind::Row) {
        const ui::IndexPath where = model_->pathOf(index);
        const RowGeometry geometry = RowGeometry::of(visualRect(index), *model_->row(where), screen_.isEditing());
        const QPoint at = event->position().toPoint();
        if (geometry.deleteButton.contains(at)) {
            pressTaken_ = true;
            screen_.commitDeletion(where.section, where.row);
            return;
        }
        if (geometry.detailButton.contains(at)) {
            pressTaken_ = true;
            screen_.accessoryTapped(where.section, where.row);
            return;
        }
    }
    QTreeView::mousePressEvent(event);
}

void ScreenTableView::mouseReleaseEvent(QMouseEvent* event) {
    if (pressTaken_) {
        pressTaken_ = false;
        event->accept();
        return;
    }
    QTreeView::mouseReleaseEvent(event);
}

void ScreenTableView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex index = currentIndex();
    const bool onRow = model_->kindOf(index) == ScreenTableModel::Kind::Row && index.isValid();
    if (onRow && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)) {
        const ui::IndexPath where = model_->pathOf(index);
        if (model_->row(where)->deletable) screen_.commitDeletion(where.section, where.row);
        return;
    }
    if (onRow && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        activate(index);
        return;
    }
    QTreeView::keyPressEvent(event);
}

QItemSelectionModel::SelectionFlags ScreenTableView::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const {
    if (index.isValid() && !model_->isSelectable(index)) return QItemSelectionModel::NoUpdate;
    return QTreeView::selectionCommand(index, event);
}

void ScreenTableView::updateGeometries() {
    QTreeView::updateGeometries();
    emit contentMoved();
}

// The rows are never moved as pixels. The tree view's own scrolling copies what is drawn by a
// distance it works out from the first item's height, and copies nothing, nor asks for any
// drawing, when that item is an untitled section of no height: the scroll bar then moved while
// the rows stayed, and every later partial repaint (a hover, a row widget placed at the new
// offset) drew rows of the new offset among those of the old. Drawing the viewport afresh from
// the scroll bar's value keeps rows, row widgets and scroll bar at one offset; a screenful of
// rows is cheap to paint.
void ScreenTableView::scrollContentsBy(int dx, int dy) {
    (void)dx, (void)dy;
    viewport()->update();
    emit contentMoved();
}

bool ScreenTableView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ScrollPrepare) {
        const auto shown = visibleItems();
        const int top = shown.empty() ? 0 : shown.front().second.height();
        flickRowHeight_ = std::max(top, fontMetrics().height());
        auto* prepare = static_cast<QScrollPrepareEvent*>(event);
        prepare->setViewportSize(viewport()->size());
        prepare->setContentPosRange(QRectF(0, 0, 0, verticalScrollBar()->maximum() * flickRowHeight_));
        prepare->setContentPos(QPointF(0, verticalScrollBar()->value() * flickRowHeight_));
        prepare->accept();
        return true;
    }
    if (event->type() == QEvent::Scroll) {
        const QPointF at = static_cast<QScrollEvent*>(event)->contentPos();
        verticalScrollBar()->setValue(qRound(at.y() / flickRowHeight_));
        return true;
    }
    return QTreeView::viewportEvent(event);
}

std::vector<std::pair<QModelIndex, QRect>> ScreenTableView::visibleItems() const {
    std::vector<std::pair<QModelIndex, QRect>> items;
    const int bottom = viewport()->height();
    if (bottom <= 0) return items;
    for (QModelIndex index = indexAt(QPoint(0, 0)); index.isValid(); index = indexBelow(index)) {
        const QRect rect = visualRect(index);
        if (rect.top() >= bottom) break;
        items.emplace_back(index, rect);
    }
    return items;
}

QRect ScreenTableView::rowRect(ui::IndexPath where) const { return visualRect(model_->indexOf(where)); }

void ScreenTableView::scrollToRow(ui::IndexPath where, ui::ScrollPosition position) {
    const QModelIndex index = model_->indexOf(where);
    if (!index.isValid()) return;
    const auto hint = position == ui::ScrollPosition::Top      ? QAbstractItemView::PositionAtTop
                      : position == ui::ScrollPosition::Middle ? QAbstractItemView::PositionAtCenter
                      : position == ui::ScrollPosition::Bottom ? QAbstractItemView::PositionAtBottom
                                                               : QAbstractItemView::EnsureVisible;
    scrollTo(index, hint);
}

void ScreenTableView::scrollToSection(int section) {
    const QModelIndex index = model_->sectionIndex(section);
    if (index.isValid()) scrollTo(index, QAbstractItemView::PositionAtTop);
}

}  // namespace torvane::gui
