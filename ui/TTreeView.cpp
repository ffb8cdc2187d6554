#include "ui/TTreeView.h"

#include "ui/ExpansionLimit.h"
#include "ui/NodeDelegate.h"
#include "ui/TahomaFont.h"
#include "ui/TreeAdapter.h"

#include <QMimeData>

#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <utility>

namespace ui {

namespace {
constexpr int kIndentation = 19;
constexpr int kFrameWidth = 2; // the focus mark's; without the focus, the outer line alone is drawn
}

TTreeView* TTreeView::s_dragSource = nullptr;

TTreeView::TTreeView(const QString& objectName, const QString& columnName, QWidget* parent)
    : QAbstractItemView(parent)
{
    setObjectName(objectName);
    setToolTip(columnName);
    setFont(tahoma(8)); // the platform may give item views a font of their own
    setTextElideMode(Qt::ElideNone);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem); // the scroll bar counts rows
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // The view's own triggers are off: a row selected only because another
    // view selected it would take a first click for a slow second one, and a
    // pending one would swallow Enter. Enter and slow clicks are handled here.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_slowClick.setSingleShot(true);
    connect(&m_slowClick, &QTimer::timeout, this, &TTreeView::slowClickElapsed);
    // Whoever expands (the arrow, the keyboard, a command): never past the limit.
    connect(this, &TTreeView::expanded, this, &TTreeView::refuseTooDeep);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_Hover, false); // rows under the pointer keep their colours
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(kFrameWidth);
    connect(qApp, &QApplication::focusChanged, this, &TTreeView::focusMoved);
    setContextMenuPolicy(Qt::CustomContextMenu);

    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, kCream);
        pal.setColor(group, QPalette::Highlight, selectionBand()); // what the style fills a selected row's branches with
        pal.setColor(group, QPalette::HighlightedText, Qt::black);
        pal.setColor(group, QPalette::Text, Qt::black);
    }
    setPalette(pal);
}

bool TTreeView::holdsKeyboard() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

void TTreeView::focusMoved(QWidget* from, QWidget* to)
{
    // Into or out of this view or its label editor: the frame changes.
    const auto inHere = [this](QWidget* w) { return w && (w == this || isAncestorOf(w)); };
    if (inHere(from) != inHere(to))
        update();
}

bool TTreeView::event(QEvent* event)
{
    const bool handled = QAbstractItemView::event(event);
    if (event->type() == QEvent::Paint) {
        // Over the frame the base class drew: a band of the highlight colour
        // round the column with the keyboard, else a plain line with the
        // background inside it.
        QPainter painter(this);
        const QRect outer = rect().adjusted(0, 0, -1, -1);
        const QRect inner = outer.adjusted(1, 1, -1, -1);
        const bool focused = holdsKeyboard();
        painter.setPen(focused ? selectionEdge() : palette().color(QPalette::WindowText));
        painter.drawRect(outer);
        painter.setPen(focused ? selectionEdge() : palette().color(QPalette::Base));
        painter.drawRect(inner);
    }
    return handled;
}

void TTreeView::mousePressEvent(QMouseEvent* event)
{
    m_slowClick.stop();
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    // A press over empty space keeps the selection: only nodes are clicked.
    if (!index.isValid()) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    // A second click: on the label of the row this view's last click went
    // to, still current. (The view takes the focus before the press arrives,
    // so the focus cannot tell a first click here from a second one.)
    m_pressOnSelectedRow = event->button() == Qt::LeftButton && index == m_lastClickedRow
                           && index == currentIndex() && selectionModel()->isSelected(index)
                           && visualRect(index).contains(pos);
    pressOnTree(event);
}

void TTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    releaseOnTree(event);
    const QPoint pos = event->position().toPoint();
    emit nodeReleased(event->button(), pos);
    const QModelIndex released = indexAt(pos);
    const bool second = std::exchange(m_pressOnSelectedRow, false);
    if (event->button() != Qt::LeftButton || !released.isValid() || released != currentIndex())
        return;
    m_lastClickedRow = released;
    if (second) {
        m_slowClickRow = released;
        m_slowClick.start(QApplication::doubleClickInterval());
    }
}

void TTreeView::slowClickElapsed()
{
    if (m_slowClickRow.isValid() && m_slowClickRow == currentIndex() && hasFocus())
        editCurrent();
}

bool TTreeView::editCurrent()
{
    m_slowClick.stop();
    const QModelIndex index = currentIndex();
    if (!index.isValid() || state() == EditingState)
        return false;
    scrollTo(index); // expands a collapsed branch that hides it
    return edit(index, AllEditTriggers, nullptr);
}

void TTreeView::finishEditing()
{
    if (state() != EditingState)
        return;
    for (auto* editor : viewport()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (editor->isVisible()) { // a closed editor is hidden until it is deleted
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
            return;
        }
    }
}

void TTreeView::focusInEvent(QFocusEvent* event)
{
    const bool hadCurrent = currentIndex().isValid();
    QAbstractItemView::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid())
        emit currentPicked();
}

void TTreeView::focusOutEvent(QFocusEvent* event)
{
    m_slowClick.stop();
    m_lastClickedRow = QPersistentModelIndex();
    QAbstractItemView::focusOutEvent(event);
}

void TTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // Another view's click moved the selection here: the next click is a first one.
    m_slowClick.stop();
    if (current != m_lastClickedRow)
        m_lastClickedRow = QPersistentModelIndex();
    QAbstractItemView::currentChanged(current, previous);
}

int TTreeView::levelOf(const QModelIndex& index) const
{
    return index.data(TreeAdapter::LevelRole).toInt();
}

void TTreeView::refuseTooDeep(const QModelIndex& index)
{
    // The layout of this one expansion went no deeper than the limit, since
    // nothing below it is expanded: taking it back keeps it so.
    if (levelOf(index) < safeExpansionDepth())
        return;
    collapse(index);
    emit expansionLimited(safeExpansionDepth());
}

int TTreeView::indentation() const
{
    return kIndentation;
}

void TTreeView::mouseMoveEvent(QMouseEvent* event)
{
    updateHint(event->position().toPoint());
    if (positionOfArrowAt(event->position().toPoint()) < 0) // over the arrow, no drag starts
        QAbstractItemView::mouseMoveEvent(event);
}

void TTreeView::updateHint(const QPoint& viewportPos)
{
    const QModelIndex index = indexAt(viewportPos);
    if (!index.isValid()) {
        setToolTip(QString::fromLatin1(kTreeViewHint));
        return;
    }
    // The label, what the node's drawing notes after it, and under them the
    // first line of the node's note.
    QString hint = index.data(Qt::DisplayRole).toString();
    if (const auto* delegate = qobject_cast<const NodeDelegate*>(itemDelegateForIndex(index))) {
        if (const Annotation note = delegate->annotationOf(index); note.present())
            hint += QString::fromLatin1(kAnnotationGap) + note.text;
        if (const QString line = delegate->noteLineOf(index); !line.isEmpty())
            hint += QLatin1Char('\n') + line;
    }
    setToolTip(hint);
}

void TTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // No expand toggle and no editor of the view's own: the window decides.
    m_slowClick.stop();
    m_pressOnSelectedRow = false;
    if (event->button() == Qt::LeftButton)
        emit doubleClickedNode(event->position().toPoint());
}

void TTreeView::keyPressEvent(QKeyEvent* event)
{
    // F2 belongs to Add sibling below, so Enter opens the label editor here,
    // whatever a pending slow click was about to do.
    m_slowClick.stop();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() != EditingState && currentIndex().isValid()) {
        editCurrent();
        return;
    }
    // Any key that moved the current row (arrows, Home, End, the pages, a
    // typed first letter) or expanded or collapsed it: the window makes the
    // other columns follow, so they never show another row than this one.
    const QPersistentModelIndex before = currentIndex();
    const bool wasExpanded = before.isValid() && isExpanded(before);
    treeKeys(event);
    const bool moved = currentIndex() != before;
    const bool toggled = !moved && before.isValid() && isExpanded(before) != wasExpanded;
    if ((moved || toggled) && state() != EditingState)
        emit keyboardMoved();
}

void TTreeView::treeKeys(QKeyEvent* event)
{
    // + and - expand and collapse the current row, * the rows below it too.
    const QModelIndex current = currentIndex();
    if (current.isValid()) {
        switch (event->key()) {
        case Qt::Key_Asterisk:
            expandSubtreeWithinLimit(current);
            emit subtreeExpanded(current);
            break;
        case Qt::Key_Plus:
            expand(current);
            break;
        case Qt::Key_Minus:
            collapse(current);
            break;
        default:
            break;
        }
    }
    QAbstractItemView::keyPressEvent(event);
}

void TTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Tab goes on to the partner in the next column, not to the next row here.
    const bool next = hint == QAbstractItemDelegate::EditNextItem;
    const bool previous = hint == QAbstractItemDelegate::EditPreviousItem;
    const bool byKey = hint == QAbstractItemDelegate::SubmitModelCache || hint == QAbstractItemDelegate::RevertModelCache;
    QAbstractItemView::closeEditor(editor, next || previous ? QAbstractItemDelegate::NoHint : hint);
    if (next || previous)
        emit editNeighbour(next ? 1 : -1);
    else
        emit editEnded(byKey);
}

bool TTreeView::viewportEvent(QEvent* event)
{
    // The view's hint is its own text (the node under the pointer), not the model's.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), toolTip(), viewport());
        return true;
    }
    return QAbstractItemView::viewportEvent(event);
}

void TTreeView::startDrag(Qt::DropActions)
{
    // Our own drag: the base class would remove the dragged rows after a move.
    m_pressOnSelectedRow = false;
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
    // QWidget's destructor gives the focus away and so emits focusChanged
    // while this view is already gone: let go of the signal first.
    disconnect(qApp, &QApplication::focusChanged, this, &TTreeView::focusMoved);
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
        QAbstractItemView::dragMoveEvent(event); // keeps the auto-scroll near the edges
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
