// The drawing of TTreeView's rows, as Qt's tree view draws them: the row's
// background, the style's branch marks level by level, then the delegate.

#include "ui/TTreeView.h"

#include "ui/NodeDelegate.h"
#include "ui/TreeAdapter.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace ui {

using model::Node;

void TTreeView::paintEvent(QPaintEvent* event)
{
    // The first row's height may have changed with the level styles.
    const int before = std::exchange(m_rowHeight, 0);
    if (rowHeight() != before)
        updateGeometries();
    const int h = rowHeight();
    if (h <= 0 || m_rows.size() == 0)
        return;
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State state = option.state;
    const QRect area = event->rect();
    const int top = firstShown();
    for (int p = top + std::max(0, area.top()) / h; p < m_rows.size(); ++p) {
        const int y = (p - top) * h;
        if (y > area.bottom())
            break;
        const Node* node = m_rows[p].node;
        option.rect = QRect(0, y, viewport()->width(), h);
        option.state = state | (m_rows.isExpanded(node) ? QStyle::State_Open : QStyle::State_None)
                       | (node->children.empty() ? QStyle::State_None : QStyle::State_Children)
                       | (node->siblingIndex + 1 < node->parent->children.size() ? QStyle::State_Sibling
                                                                                 : QStyle::State_None);
        drawRow(&painter, option, p);
    }
}

void TTreeView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, int position) const
{
    const QModelIndex index = indexAtPosition(position);
    // A selected row is a band across the whole row, its indentation
    // included, edged above and below inside the row's height.
    const bool selected = selectionModel()->isSelected(index);
    if (selected)
        painter->fillRect(option.rect, selectionBand());

    // What Qt's tree view does for its one column.
    QStyleOptionViewItem opt = option;
    opt.showDecorationSelected = true; // whole rows are selected
    opt.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    if (selected)
        opt.state |= QStyle::State_Selected;
    if (hasFocus() && currentIndex() == index)
        opt.state |= QStyle::State_HasFocus;
    if (opt.state & QStyle::State_Enabled)
        opt.palette.setCurrentColorGroup(opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive);

    const int x = -horizontalOffset();
    const int width = columnWidth();
    const int y = option.rect.y();
    const int height = option.rect.height();
    const int indent = indentationAt(position);
    const QRect branches(x, y, indent, height);
    const bool clip = branches.width() > width;
    if (clip) {
        painter->save();
        painter->setClipRect(QRect(x, y, width, height));
    }
    // The branch area's background, then the item's (without the selection).
    opt.rect = branches;
    opt.showDecorationSelected = style()->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, &opt, this);
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &opt, painter, this);
    const QStyle::State withSelection = opt.state;
    opt.state &= ~QStyle::State_Selected;
    opt.rect.setRect(x + indent, y, width - indent, height);
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &opt, painter, this);
    opt.state = withSelection;
    opt.showDecorationSelected = true;
    drawBranches(painter, branches, position);
    if (clip)
        painter->restore();
    itemDelegateForIndex(index)->paint(painter, opt, index);

    if (selected) {
        painter->save();
        painter->setPen(selectionEdge());
        const QRect r = option.rect;
        painter->drawLine(r.left(), r.top(), r.right(), r.top());
        painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        painter->restore();
    }
}

void TTreeView::drawBranches(QPainter* painter, const QRect& rect, int position) const
{
    // From the row's own arrow outwards, one indentation per level: the
    // style draws each, told whether a later sibling continues the line.
    const Node* node = m_rows[position].node;
    QStyleOptionViewItem opt;
    initViewItemOption(&opt);
    QStyle::State extra = QStyle::State_None;
    if (isEnabled())
        extra |= QStyle::State_Enabled;
    if (hasFocus())
        extra |= QStyle::State_Active;
    if (selectionModel()->isSelected(indexAtPosition(position)))
        extra |= QStyle::State_Selected;
    const auto hasMoreSiblings = [](const Node* n) { return n->siblingIndex + 1 < n->parent->children.size(); };

    QRect primitive(rect.right() + 1 - indentation(), rect.top(), indentation(), rect.height());
    opt.rect = primitive;
    opt.state = QStyle::State_Item | extra | (hasMoreSiblings(node) ? QStyle::State_Sibling : QStyle::State_None)
                | (node->children.empty() ? QStyle::State_None : QStyle::State_Children)
                | (m_rows.isExpanded(node) ? QStyle::State_Open : QStyle::State_None);
    style()->drawPrimitive(QStyle::PE_IndicatorBranch, &opt, painter, this);
    const Node* ancestor = node->parent;
    for (int level = m_rows[position].level - 1; level >= 0; --level, ancestor = ancestor->parent) {
        primitive.moveLeft(primitive.left() - indentation());
        opt.rect = primitive;
        opt.state = extra | (hasMoreSiblings(ancestor) ? QStyle::State_Sibling : QStyle::State_None);
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &opt, painter, this);
    }
}

} // namespace ui
