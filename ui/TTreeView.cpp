#include "ui/TTreeView.h"

#include "ui/NodeDelegate.h"
#include "ui/TahomaFont.h"
#include "ui/TreeAdapter.h"

#include <QMimeData>

#include <QDrag>
#include <QDragMoveEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

namespace ui {

namespace {
constexpr int kIndentation = 19;
}

TTreeView* TTreeView::s_dragSource = nullptr;

TTreeView::TTreeView(const QString& objectName, const QString& columnName, QWidget* parent)
    : QTreeView(parent)
{
    setObjectName(objectName);
    setToolTip(columnName);
    setFont(tahoma(8)); // the platform may give item views a font of their own
    setHeaderHidden(true);
    setUniformRowHeights(true); // all rows are one height; keeps large designs fast
    setTextElideMode(Qt::ElideNone);
    setIndentation(kIndentation);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setExpandsOnDoubleClick(false);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_Hover, false); // rows under the pointer keep their colours
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setContextMenuPolicy(Qt::CustomContextMenu);

    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, kCream);
        pal.setColor(group, QPalette::Highlight, kCream);
        pal.setColor(group, QPalette::HighlightedText, Qt::black);
        pal.setColor(group, QPalette::Text, Qt::black);
    }
    setPalette(pal);
}

void TTreeView::mousePressEvent(QMouseEvent* event)
{
    // A press over empty space keeps the selection: only nodes are clicked.
    if (!indexAt(event->position().toPoint()).isValid()) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void TTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    emit nodeReleased(event->button(), event->position().toPoint());
}

void TTreeView::mouseMoveEvent(QMouseEvent* event)
{
    updateHint(event->position().toPoint());
    QTreeView::mouseMoveEvent(event);
}

void TTreeView::updateHint(const QPoint& viewportPos)
{
    const QModelIndex index = indexAt(viewportPos);
    setToolTip(index.isValid() ? index.data(Qt::DisplayRole).toString() : QString(kTreeViewHint));
}

void TTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // No expand toggle and no editor of the view's own: the window decides.
    if (event->button() == Qt::LeftButton)
        emit doubleClickedNode(event->position().toPoint());
}

void TTreeView::keyPressEvent(QKeyEvent* event)
{
    // F2 belongs to Add sibling below, so Enter opens the label editor here.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != EditingState && currentIndex().isValid()) {
        edit(currentIndex());
        return;
    }
    QTreeView::keyPressEvent(event);
}

bool TTreeView::viewportEvent(QEvent* event)
{
    // The view's hint is its own text (the node under the pointer), not the model's.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), toolTip(), viewport());
        return true;
    }
    return QTreeView::viewportEvent(event);
}

void TTreeView::startDrag(Qt::DropActions)
{
    // Our own drag: the base class would remove the dragged rows after a move.
    const QModelIndex source = currentIndex();
    if (!source.isValid())
        return;
    // The source stays recorded after exec() returns: without a display it
    // returns at once, and only a drop of our own row type can use it.
    s_dragSource = this;
    emit dragStarted(source);
    auto* drag = new QDrag(this);
    drag->setMimeData(model()->mimeData({source}));
    drag->exec(Qt::MoveAction);
}

TTreeView::~TTreeView()
{
    if (s_dragSource == this)
        s_dragSource = nullptr;
}

bool TTreeView::acceptsDrag(const QMimeData* mime) const
{
    return s_dragSource == this && mime && mime->hasFormat(TreeAdapter::kRowMimeType);
}

void TTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptsDrag(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptsDrag(event->mimeData())) {
        event->acceptProposedAction();
        QTreeView::dragMoveEvent(event); // keeps the auto-scroll near the edges
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TTreeView::dropEvent(QDropEvent* event)
{
    if (!acceptsDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    s_dragSource = nullptr;
    event->acceptProposedAction();
    emit dropped(event->position().toPoint());
}

} // namespace ui
