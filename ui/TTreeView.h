#pragma once
// One of the three tree views. It reports what the window turns into
// commands (a mouse release over a node, a double click, a drop) and keeps
// what belongs to the view itself: its hint under the pointer, whether the
// drag in progress started here (drops are accepted only then), and when the
// label editor opens from the keyboard or a slow second click. The view that
// holds the keyboard (itself or its label editor) says so with its frame in
// the highlight colour.

#include <QPersistentModelIndex>
#include <QTimer>
#include <QTreeView>

class QMimeData;

namespace ui {

inline constexpr const char* kTreeViewHint = "Tree view";

class TTreeView : public QTreeView {
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
    // (expansionLimited says so).
    void expandAllWithinLimit();
    void expandSubtreeWithinLimit(const QModelIndex& index);

signals:
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
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool event(QEvent* event) override;

private:
    bool holdsKeyboard() const;
    void focusMoved(QWidget* from, QWidget* to);
    void slowClickElapsed();
    void refuseTooDeep(const QModelIndex& index);
    int levelOf(const QModelIndex& index) const;
    void updateHint(const QPoint& viewportPos);
    bool acceptsDrag(const QMimeData* mime) const;

    static TTreeView* s_dragSource; // the view whose drag is the latest one
    bool m_pressOnSelectedRow = false;
    QPersistentModelIndex m_lastClickedRow; // this view's last click, while its row stays current
    QTimer m_slowClick;                     // a slow second click waits out the double-click time
    QPersistentModelIndex m_slowClickRow;
};

} // namespace ui
