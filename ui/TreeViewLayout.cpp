// The layout of TTreeView: where each shown row stands, how the
// list of shown rows follows the model, scrolling, the keys that move the
// current row, and the branch arrow under the mouse.

#include "ui/TTreeView.h"

#include "ui/ExpansionLimit.h"
#include "ui/NodeDelegate.h"
#include "ui/TreeAdapter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVarLengthArray>

#include <algorithm>

namespace ui {

using model::Node;

void TTreeView::setModel(QAbstractItemModel* model)
{
    QAbstractItemView::setModel(model);
    m_adapter = qobject_cast<TreeAdapter*>(model);
    Q_ASSERT(m_adapter || !model); // the rows are the adapter's nodes
    m_rows.setTree(m_adapter ? &m_adapter->tree() : nullptr);
    m_rows.reset();
    m_rowHeight = 0;
    if (!m_adapter)
        return;
    connect(m_adapter, &QAbstractItemModel::rowsRemoved, this, [this] { rowsChanged(); });
    connect(m_adapter, &QAbstractItemModel::rowsAboutToBeMoved, this,
            [this](const QModelIndex& parent, int first, int last) { rowsMovedAway(parent, first, last); });
    connect(m_adapter, &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex&, int, int, const QModelIndex& parent, int) { rowsMovedHere(parent, 0, 0); });
    connect(m_adapter, &QAbstractItemModel::layoutChanged, this, &TTreeView::layoutChangedByModel);
    // The nodes go with the old tree: nothing may look at them until the new one is laid out.
    connect(m_adapter, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_rows.setTree(nullptr);
        m_rows.reset();
    });
    rowsChanged();
}

const Node* TTreeView::nodeOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != m_adapter)
        return nullptr;
    return static_cast<const Node*>(index.constInternalPointer());
}

QModelIndex TTreeView::indexAtPosition(int position) const
{
    if (position < 0 || position >= m_rows.size())
        return {};
    // Down from the top through the node's ancestors: drawing asks for no
    // tree row, so a tree whose rows are stale (just opened) is not walked.
    const Node* node = m_rows[position].node;
    const Node* root = m_adapter->tree().root();
    QVarLengthArray<const Node*, 16> path;
    for (const Node* n = node; n != root; n = n->parent)
        path.push_back(n);
    QModelIndex index;
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        index = m_adapter->index(static_cast<int>((*it)->siblingIndex), 0, index);
    return index;
}

// --- following the model ---------------------------------------------------------

void TTreeView::rowsInserted(const QModelIndex& parent, int first, int last)
{
    const Node* p = parent.isValid() ? nodeOf(parent) : m_adapter->tree().root();
    m_rows.insertRun(p, first, last);
    QAbstractItemView::rowsInserted(parent, first, last);
    rowsChanged();
}

void TTreeView::rowsAboutToBeRemoved(const QModelIndex& parent, int first, int last)
{
    // The base class moves the current row off the run first, which draws
    // the rows still shown.
    QAbstractItemView::rowsAboutToBeRemoved(parent, first, last);
    const Node* p = parent.isValid() ? nodeOf(parent) : m_adapter->tree().root();
    m_rows.takeRun(p, first, last, true);
}

void TTreeView::rowsMovedAway(const QModelIndex& parent, int first, int last)
{
    const Node* p = parent.isValid() ? nodeOf(parent) : m_adapter->tree().root();
    m_movedFirst = p->children[static_cast<std::size_t>(first)];
    m_movedLast = p->children[static_cast<std::size_t>(last)];
    m_rows.takeRun(p, first, last, false); // a moved row keeps its expansion, as in Qt's view
}

void TTreeView::rowsMovedHere(const QModelIndex& parent, int, int)
{
    if (!m_movedFirst)
        return;
    const Node* p = parent.isValid() ? nodeOf(parent) : m_adapter->tree().root();
    m_rows.insertRun(p, static_cast<int>(m_movedFirst->siblingIndex), static_cast<int>(m_movedLast->siblingIndex));
    m_movedFirst = m_movedLast = nullptr;
    rowsChanged();
}

void TTreeView::layoutChangedByModel()
{
    m_rows.rebuild();
    m_rowHeight = 0;
    rowsChanged();
}

void TTreeView::reset()
{
    m_rows.setTree(m_adapter ? &m_adapter->tree() : nullptr);
    m_rows.reset();
    m_rowHeight = 0;
    QAbstractItemView::reset();
    rowsChanged();
}

void TTreeView::rowsChanged(bool keepEditorShown)
{
    updateGeometries();
    viewport()->update();
    // Rows laid out anew under an open label editor: it stays in sight, as
    // in Qt's view after a relayout. One row opened or closed by hand does
    // not move the view.
    if (keepEditorShown && state() == EditingState && currentIndex().isValid())
        scrollTo(currentIndex());
}

// --- expansion ------------------------------------------------------------------

bool TTreeView::isExpanded(const QModelIndex& index) const
{
    const Node* node = nodeOf(index);
    return node && m_rows.isExpanded(node);
}

void TTreeView::setExpanded(const QModelIndex& index, bool expand)
{
    const Node* node = nodeOf(index);
    if (!node)
        return;
    if (expand ? !m_rows.expand(node) : !m_rows.collapse(node))
        return;
    rowsChanged(false);
    if (expand)
        emit expanded(index);
    else
        emit collapsed(index);
}

void TTreeView::expandAllWithinLimit()
{
    m_rows.expandAllWithin(safeExpansionDepth());
    rowsChanged();
}

void TTreeView::expandSubtreeWithinLimit(const QModelIndex& index)
{
    expandSubtreesWithinLimit({index});
}

void TTreeView::expandSubtreesWithinLimit(const QModelIndexList& indexes)
{
    std::vector<const Node*> tops;
    tops.reserve(static_cast<std::size_t>(indexes.size()));
    for (const QModelIndex& index : indexes)
        if (const Node* node = nodeOf(index))
            tops.push_back(node);
    if (tops.empty())
        return;
    m_rows.expandWithin(tops, safeExpansionDepth());
    rowsChanged();
}

void TTreeView::collapseAll()
{
    m_rows.collapseAll();
    rowsChanged();
}

// --- geometry -------------------------------------------------------------------

int TTreeView::rowHeight() const
{
    // Every row is as high as the first, as the delegate sizes it.
    if (m_rowHeight <= 0 && m_adapter && m_adapter->rowCount() > 0 && itemDelegate()) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect.setWidth(-1);
        const QModelIndex first = m_adapter->index(0, 0);
        m_rowHeight = itemDelegateForIndex(first)->sizeHint(option, first).height();
    }
    return m_rowHeight;
}

int TTreeView::firstShown() const
{
    return verticalScrollBar()->value();
}

int TTreeView::columnWidth() const
{
    return viewport()->width(); // the one column fills the view, as a stretched last section
}

int TTreeView::indentationAt(int position) const
{
    return indentation() * (m_rows[position].level + 1); // top-level rows have their arrow too
}

int TTreeView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int TTreeView::verticalOffset() const
{
    return firstShown() * rowHeight();
}

bool TTreeView::isIndexHidden(const QModelIndex&) const
{
    return false;
}

QRect TTreeView::visualRect(const QModelIndex& index) const
{
    const int position = positionOf(index);
    if (position < 0)
        return {};
    const int indent = indentationAt(position);
    return {indent - horizontalOffset(), (position - firstShown()) * rowHeight(), columnWidth() - indent, rowHeight()};
}

QModelIndex TTreeView::indexAt(const QPoint& point) const
{
    const int h = rowHeight();
    const int x = point.x() + horizontalOffset();
    if (h <= 0 || x < 0 || x >= columnWidth())
        return {};
    const int y = point.y() < 0 ? point.y() - (h - 1) : point.y();
    return indexAtPosition(firstShown() + y / h);
}

QModelIndex TTreeView::indexAbove(const QModelIndex& index) const
{
    const int position = positionOf(index);
    return position > 0 ? indexAtPosition(position - 1) : QModelIndex();
}

QModelIndex TTreeView::indexBelow(const QModelIndex& index) const
{
    const int position = positionOf(index);
    return position >= 0 ? indexAtPosition(position + 1) : QModelIndex();
}

void TTreeView::updateGeometries()
{
    const int h = rowHeight();
    const int count = m_rows.size();
    int fit = h > 0 ? viewport()->height() / h : count;
    if (count > 0)
        fit = std::max(1, fit);
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, count - fit));
    bar->setPageStep(fit);
    bar->setSingleStep(1);
    horizontalScrollBar()->setRange(0, 0);
    horizontalScrollBar()->setPageStep(viewport()->width());
    QAbstractItemView::updateGeometries();
}

void TTreeView::scrollContentsBy(int dx, int dy)
{
    const int h = rowHeight();
    if (h <= 0)
        return;
    // Scrolled by rows: further than a page, everything is drawn again.
    if (std::abs(dy) > viewport()->height() / h && state() != EditingState) {
        viewport()->update();
        return;
    }
    viewport()->scroll(dx, dy * h);
}

void TTreeView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const Node* node = nodeOf(index);
    if (!node)
        return;
    // A row hidden in collapsed branches: its ancestors open, each as by a user.
    if (state() == NoState)
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
            if (!isExpanded(parent))
                expand(parent);
    int position = m_rows.positionOf(node);
    if (position < 0)
        return;
    QScrollBar* bar = verticalScrollBar();
    const int top = bar->value();
    if (hint == EnsureVisible && position >= top && position < top + bar->pageStep())
        return;
    if (hint == PositionAtTop || (hint == EnsureVisible && position < top)) {
        bar->setValue(position);
        return;
    }
    const int h = rowHeight();
    int y = hint == PositionAtCenter ? viewport()->height() / 2 + h - 1 : viewport()->height();
    if (h > 0 && y > h) {
        while (position >= 0) {
            y -= h;
            if (y < 0) {
                ++position;
                break;
            }
            --position;
        }
    }
    bar->setValue(position);
}

QModelIndex TTreeView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const QModelIndex current = currentIndex();
    const int position = positionOf(current);
    if (!current.isValid() || position < 0)
        return indexAtPosition(0);
    const int last = m_rows.size() - 1;
    const int h = std::max(1, rowHeight());
    const int pageDown = viewport()->height() / h;
    const int pageUp = (viewport()->height() + h - 1) / h;
    const bool intoChildren = style()->styleHint(QStyle::SH_ItemView_ArrowKeysNavigateIntoChildren, nullptr, this);
    switch (cursorAction) {
    case MoveNext:
    case MoveDown:
        return position < last ? indexAtPosition(position + 1) : current;
    case MovePrevious:
    case MoveUp:
        return position > 0 ? indexAtPosition(position - 1) : current;
    case MoveLeft:
        if (isExpanded(current) && horizontalScrollBar()->value() == horizontalScrollBar()->minimum())
            collapse(current);
        else if (intoChildren && current.parent().isValid())
            return current.parent();
        return current;
    case MoveRight:
        if (!isExpanded(current) && m_adapter->hasChildren(current))
            expand(current);
        else if (intoChildren && position < last && m_rows[position + 1].level > m_rows[position].level)
            return indexAtPosition(position + 1);
        return current;
    case MovePageUp: {
        // The row a page above, as the rows stand now (Qt's view does the same).
        const int up = position - pageUp;
        return indexAtPosition(up < 0 || up > last ? 0 : up);
    }
    case MovePageDown: {
        const int down = position + pageDown;
        return indexAtPosition(down < 0 || down > last ? last : down);
    }
    case MoveHome:
        return indexAtPosition(0);
    case MoveEnd:
        return indexAtPosition(last);
    }
    return current;
}

void TTreeView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    if (!selectionModel() || rect.isNull())
        return;
    const QRect r = rect.normalized();
    int from = positionOf(indexAt(r.topLeft()));
    int to = positionOf(indexAt(r.bottomRight()));
    if (from < 0 && to < 0) {
        if (command & QItemSelectionModel::Clear)
            selectionModel()->clear();
        return;
    }
    if (from < 0)
        from = 0;
    if (to < 0)
        to = m_rows.size() - 1;
    if (from > to)
        std::swap(from, to);
    QItemSelection selection;
    for (int p = from; p <= to; ++p) {
        const QModelIndex index = indexAtPosition(p);
        selection.select(index, index);
    }
    selectionModel()->select(selection, command);
}

QRegion TTreeView::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    const QRect shown = viewport()->rect();
    for (const QItemSelectionRange& range : selection)
        for (int row = range.top(); row <= range.bottom(); ++row) {
            const QRect r = visualRect(m_adapter->index(row, 0, range.parent()));
            const QRect whole(-horizontalOffset(), r.y(), columnWidth(), r.height());
            if (r.isValid() && shown.intersects(whole))
                region += whole;
        }
    return region;
}

void TTreeView::keyboardSearch(const QString& search)
{
    // The typed letters start the label of a row shown below the current
    // one, or above it, round from the end; one letter typed again goes on
    // to the next row it starts.
    if (m_rows.size() == 0 || search.isEmpty())
        return;
    const bool goOn = m_typedAt.isValid() && m_typedAt.elapsed() <= QApplication::keyboardInputInterval();
    m_typedAt.start();
    m_typed = goOn ? m_typed + search : search;
    const bool sameKey = m_typed.count(m_typed.back()) == m_typed.size();
    const QString wanted = sameKey ? QString(m_typed.back()) : m_typed;
    const int current = positionOf(currentIndex());
    const int start = std::max(0, current) + ((!goOn || sameKey) && current >= 0 ? 1 : 0);
    for (int i = 0; i < m_rows.size(); ++i) {
        const QModelIndex index = indexAtPosition((start + i) % m_rows.size());
        if (index.data(Qt::DisplayRole).toString().startsWith(wanted, Qt::CaseInsensitive)) {
            setCurrentIndex(index);
            return;
        }
    }
}

// --- the branch arrow -----------------------------------------------------------------

QRect TTreeView::branchRect(int position) const
{
    QStyleOption option;
    option.initFrom(this);
    option.rect = QRect(indentationAt(position) - indentation() - horizontalOffset(),
                        (position - firstShown()) * rowHeight(), indentation(), rowHeight());
    return style()->subElementRect(QStyle::SE_TreeViewDisclosureItem, &option, this);
}

int TTreeView::positionOfArrowAt(const QPoint& pos) const
{
    const int position = positionOf(indexAt(pos));
    if (position < 0 || m_rows[position].node->children.empty())
        return -1;
    return branchRect(position).contains(pos) ? position : -1;
}

bool TTreeView::toggleArrowAt(const QPoint& pos)
{
    // Busy (dragging, say): the press goes nowhere, as in Qt's view.
    if ((state() != NoState && state() != EditingState) || !viewport()->rect().contains(pos))
        return true;
    const int position = positionOfArrowAt(pos);
    if (position < 0)
        return false;
    const QModelIndex index = indexAtPosition(position);
    setExpanded(index, !isExpanded(index));
    return true;
}

void TTreeView::pressOnTree(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    bool handled = false;
    if (style()->styleHint(QStyle::SH_ListViewExpand_SelectMouseType, nullptr, this) == QEvent::MouseButtonPress)
        handled = toggleArrowAt(pos);
    if (!handled && positionOfArrowAt(pos) < 0)
        QAbstractItemView::mousePressEvent(event);
}

void TTreeView::releaseOnTree(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (positionOfArrowAt(pos) < 0) {
        QAbstractItemView::mouseReleaseEvent(event);
        return;
    }
    if (state() == DragSelectingState || state() == DraggingState)
        setState(NoState);
    if (style()->styleHint(QStyle::SH_ListViewExpand_SelectMouseType, nullptr, this) == QEvent::MouseButtonRelease)
        toggleArrowAt(pos);
}

} // namespace ui
