#pragma once
// Editing the design in the trees: the commands that add, remove, move and
// duplicate rows, expand or collapse all, undo and redo, and what the user
// does in the trees themselves (clicks, keys, double clicks, Tab between the
// columns' label editors, drag and drop, the right click's menu). Handlers
// are thin: read the selected row, run one model command as one step, then
// select, expand or open the label editor.

#include "model/TreeId.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>

class QAction;
class QMenu;
class QModelIndex;
class QPoint;
class QWidget;

namespace ui { class TTreeView; }

namespace app {

// Delete's one refusal, also Cut's.
inline constexpr const char* kCannotDeleteRoot = "Cannot delete root node";

class TitleBar;
class TreeColumns;
class Workspace;

class EditingController : public QObject {
    Q_OBJECT
public:
    struct Actions {
        QAction* addBelow;
        QAction* addAbove;
        QAction* addChild;
        QAction* addUncle;
        QAction* moveUp;
        QAction* moveDown;
        QAction* duplicate;
        QAction* deleteRow;
        QAction* expandAll; // a toggle: on, every row expanded
        QAction* undo;      // Ctrl+Z; the hint names the step
        QAction* redo;      // Ctrl+Shift+Z, and Ctrl+Y outside the editors
    };

    // `window` holds the window-wide keys.
    EditingController(Workspace& workspace, TreeColumns& columns, TitleBar& titleBar, QWidget* window);
    ~EditingController() override;

    const Actions& actions() const { return m_actions; }
    // The menu a right click on a tree opens.
    void setTreeMenu(QMenu* menu) { m_treeMenu = menu; }

    void addSiblingBelow();
    void addSiblingAbove();
    void addChild();
    void addUncle();
    void deleteRow();
    void moveUp();
    void moveDown();
    void duplicate();
    void expandOrCollapseAll(); // as the toggle stands
    void undo();
    void redo();

    int selectedRow() const;
    // The column clicked last, where the next added row's label editor opens.
    std::optional<model::TreeId> activeTree() const { return m_activeTree; }
    // The column the keys go to.
    model::TreeId focusedTree() const;
    // What a click on `row` in column `id` does: all three columns follow.
    void chooseRow(model::TreeId id, int row);
    // Open label editors, title edits and what a pane's editor holds become
    // their own steps now.
    void finishEditing();
    // A pane's editors (the notes) to finish with the label and title
    // editors before every step; none: an empty function.
    void setPaneEditing(std::function<void()> finish) { m_finishPane = std::move(finish); }
    void reportLabelsCut();

private:
    void makeActions(QWidget* window);
    void wireViews();
    void wireHistory();
    void historyChanged();
    model::TreeId editorTree() const;
    void selectAndEdit(int row);
    void labelEdited(model::TreeId id, int row, const std::string& text);
    void depthLimitReached(int depth);
    void released(ui::TTreeView* view, Qt::MouseButton button, const QPoint& pos);
    void keyboardMoved(ui::TTreeView* view);
    void doubleClicked(ui::TTreeView* view, const QPoint& pos);
    void editNeighbourColumn(ui::TTreeView* view, int step);
    void labelEditEnded(ui::TTreeView* view, bool byKey);
    void dragStarted(ui::TTreeView* view, const QModelIndex& source);
    void dropped(ui::TTreeView* view, const QPoint& pos);
    void showTreeMenu(ui::TTreeView* view, const QPoint& pos);

    Workspace& m_workspace;
    TreeColumns& m_columns;
    TitleBar& m_titleBar;
    Actions m_actions{};
    QMenu* m_treeMenu = nullptr;
    std::optional<model::TreeId> m_activeTree;
    std::optional<model::TreeId> m_tabbedFrom; // where the label edit Tab carried on from began
    int m_dragSourceRow = -1;
    std::function<void()> m_finishPane;
};

} // namespace app
