#pragma once
// One of the three tree views. It reports what the window turns into
// commands (a mouse release over a node, a double click, a drop) and keeps
// what belongs to the view itself: its hint under the pointer, whether the
// drag in progress started here (drops are accepted only then), and when the
// label editor opens from the keyboard or a slow second click. The view that
// holds the keyboard (itself or its label editor) says so with its frame in
// the highlight colour.
//
// It lays out its rows itself, all of one height, from a flat list of the
// rows shown (ui::VisibleRows) that follows the model run by run: a row
// inserted or removed under expanded parents costs a splice of that list,
// not a layout of every row shown, and expanding or collapsing everything
// is one walk of the tree. It draws its rows as Qt's tree view does: the
// branch marks of the style, then the item delegate.

#include "ui/VisibleRows.h"

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QPersistentModelIndex>
#include <QTimer>

class QMimeData;

namespace ui {

class TreeAdapter;

inline constexpr const char* kTreeViewHint = "Tree view";

class TTreeView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit TTreeView(const QString& objectName, const QString& columnName, QWidget* parent = nullptr);
    ~TTreeView() override;

    bool isEditing() const { return state() == EditingState; }
    // Opens the label editor on the current row, shown first if a collapsed
    // branch hid it. What Enter does.
    bool editCurrent();
    // Confirms an open label editor, as leaving it would.
    void finishEditing();

    // Only rows above level ui::safeExpansionDepth() are ever expanded: these
    // expand every row, or a row and the rows below it, as far as that
    // allows, and any other expansion of a deeper row is taken back
    // (expansionLimited says so). These and collapseAll change many rows at
    // once and tell no one row by row: the columns do all three alike.
    void expandAllWithinLimit();
    void expandSubtreeWithinLimit(const QModelIndex& index);
    void expandSubtreesWithinLimit(const QModelIndexList& indexes); // in one pass, however many
    void collapseAll();

    // One row at a time, as Qt's tree view does: each change is signalled.
    bool isExpanded(const QModelIndex& index) const;
    void setExpanded(const QModelIndex& index, bool expanded);
    void expand(const QModelIndex& index) { setExpanded(index, true); }
    void collapse(const QModelIndex& index) { setExpanded(index, false); }

    QModelIndex indexAbove(const QModelIndex& index) const;
    QModelIndex indexBelow(const QModelIndex& index) const;
    int indentation() const;

    // QAbstractItemView
    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void keyboardSearch(const QString& search) override;
    void reset() override;

signals:
    void expanded(const QModelIndex& index);
    void collapsed(const QModelIndex& index);
    void subtreeExpanded(const QModelIndex& index); // by the * key, as far as is safe
    void expansionLimited(int depth); // rows at level `depth` and deeper stay collapsed
    void nodeReleased(Qt::MouseButton button, const QPoint& viewportPos);
    void keyboardMoved(); // the current row moved, or was expanded or collapsed, by a key
    void editNeighbour(int step); // Tab (+1) or Shift+Tab (-1) confirmed the label editor
    void editEnded(bool byKey);   // the label editor closed otherwise: by Enter or Esc when `byKey`
    void currentPicked();         // the focus arrived with no current row, and the view made its first one current
    void doubleClickedNode(const QPoint& viewportPos);
    void dragStarted(const QModelIndex& source);
    void dropped(const QPoint& viewportPos);

protected:
    // QAbstractItemView
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void rowsInserted(const QModelIndex& parent, int first, int last) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int first, int last) override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool event(QEvent* event) override;

private:
    // The layout (TreeViewLayout.cpp) and the drawing (TreeViewDrawing.cpp).
    const model::Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexAtPosition(int position) const;
    int positionOf(const QModelIndex& index) const { return m_rows.positionOf(nodeOf(index)); }
    int rowHeight() const;
    int firstShown() const;
    int columnWidth() const;
    int indentationAt(int position) const;
    QRect branchRect(int position) const; // the arrow's, when the row has children
    int positionOfArrowAt(const QPoint& pos) const; // -1 when no arrow is there
    bool toggleArrowAt(const QPoint& pos);
    void rowsMovedAway(const QModelIndex& parent, int first, int last);
    void rowsMovedHere(const QModelIndex& parent, int first, int last);
    void layoutChangedByModel();
    void rowsChanged(bool keepEditorShown = true); // the list changed: scroll range and repaint
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, int position) const;
    void drawBranches(QPainter* painter, const QRect& rect, int position) const;
    void pressOnTree(QMouseEvent* event);
    void releaseOnTree(QMouseEvent* event);
    void treeKeys(QKeyEvent* event);

    bool holdsKeyboard() const;
    void focusMoved(QWidget* from, QWidget* to);
    void slowClickElapsed();
    void refuseTooDeep(const QModelIndex& index);
    int levelOf(const QModelIndex& index) const;
    void updateHint(const QPoint& viewportPos);
    bool acceptsDrag(const QMimeData* mime) const;

    TreeAdapter* m_adapter = nullptr;
    VisibleRows m_rows;
    mutable int m_rowHeight = 0; // asked of the delegate for the first row; 0 until there is one
    const model::Node* m_movedFirst = nullptr; // a run being moved: its first and last nodes
    const model::Node* m_movedLast = nullptr;
    QString m_typed; // what keyboardSearch looks for, typed within the input interval
    QElapsedTimer m_typedAt;

    static TTreeView* s_dragSource; // the view whose drag is the latest one
    bool m_pressOnSelectedRow = false;
    QPersistentModelIndex m_lastClickedRow; // this view's last click, while its row stays current
    QTimer m_slowClick;                     // a slow second click waits out the double-click time
    QPersistentModelIndex m_slowClickRow;
};

} // namespace ui
