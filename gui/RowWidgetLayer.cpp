#include "RowWidgetLayer.h"

#include "RowGeometry.h"
#include "RowWidget.h"
#include "ScreenTableModel.h"
#include "ScreenTableView.h"

namespace torvane::gui {

namespace {
bool hasField(const ui::Row& row, int tag) {
    for (const ui::Item& item : row.items) {
        if (const auto* field = std::get_if<ui::TextField>(&item); field && field->tag == tag) return true;
        if (const auto* note = std::get_if<ui::MultilineText>(&item); note && note->tag == tag) return true;
    }
    return false;
}
}  // namespace

RowWidgetLayer::RowWidgetLayer(ScreenTableView& view) : QObject(&view), view_(view) {
    connect(&view, &ScreenTableView::contentMoved, this, &RowWidgetLayer::sync);
    connect(&view.screenModel(), &QAbstractItemModel::modelReset, this, &RowWidgetLayer::contentReset);
    connect(&view.screenModel(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) { rowsChanged(from, to); });
}

void RowWidgetLayer::contentReset() {
    ++version_;
    sync();
}

void RowWidgetLayer::rowsChanged(const QModelIndex& from, const QModelIndex& to) {
    const ScreenTableModel& model = view_.screenModel();
    const int section = model.pathOf(from).section;
    for (int r = from.row(); r <= to.row(); ++r)
        if (RowWidget* widget = widgetAt({section, r})) widget->version = 0;
    sync();
}

RowWidget* RowWidgetLayer::widgetAt(ui::IndexPath where) const {
    auto found = widgets_.find({where.section, where.row});
    return found == widgets_.end() ? nullptr : found->second;
}

QWidget* RowWidgetLayer::field(int tag) const {
    for (const auto& [key, widget] : widgets_)
        if (QWidget* found = widget->field(tag)) return found;
    return nullptr;
}

void RowWidgetLayer::discard(RowWidget* widget) {
    widget->hide();
    widget->deleteLater();  // it may be the sender of the event that caused the redraw
}

void RowWidgetLayer::sync() {
    if (syncing_) return;
    syncing_ = true;
    const ScreenTableModel& model = view_.screenModel();
    const bool editing = view_.screen().isEditing();

    RowWidget* typing = nullptr;
    int typingTag = 0;
    for (const auto& [key, widget] : widgets_)
        if (auto tag = widget->focusedTag()) typing = widget, typingTag = *tag;

    std::map<Key, RowWidget*> old = std::move(widgets_);
    widgets_.clear();
    bool typingPlaced = false;
    for (const auto& [index, rect] : view_.visibleItems()) {
        if (model.kindOf(index) != ScreenTableModel::Kind::Row) continue;
        const ui::IndexPath where = model.pathOf(index);
        const auto row = model.row(where);
        if (!RowWidget::isNeededFor(*row)) continue;
        RowWidget* widget = nullptr;
        if (typing && !typingPlaced && hasField(*row, typingTag) && typing->fits(*row)) {
            widget = typing;
            typingPlaced = true;
            std::erase_if(old, [typing](const auto& entry) { return entry.second == typing; });
        } else if (auto found = old.find({where.section, where.row}); found != old.end() && found->second != typing) {
            widget = found->second;
            old.erase(found);
            if (!widget->fits(*row)) discard(widget), widget = nullptr;
        }
        if (!widget) {
            widget = new RowWidget(view_.screen(), *row, where, view_.viewport());
            widget->version = version_;
        } else if (widget->version != version_ || widget->where() != where) {
            widget->apply(*row, where);
            widget->version = version_;
        }
        widget->setGeometry(RowGeometry::of(rect, *row, editing).content);
        widget->show();
        widgets_[{where.section, where.row}] = widget;
    }
    for (const auto& [key, widget] : old) {
        if (widget != typing) {
            discard(widget);
            continue;
        }
        if (widget->version == version_ && !widgets_.count(key)) {
            // Only scrolled away: it waits outside the viewport with its text and focus.
            widget->move(0, -10 * std::max(1, widget->height()) - view_.viewport()->height());
            widgets_[key] = widget;
            continue;
        }
        // Its row was drawn again and is no longer on screen: the editing ends here.
        view_.setFocus(Qt::OtherFocusReason);
        discard(widget);
    }
    syncing_ = false;
}

}  // namespace torvane::gui
