#pragma once
// The design matrix pane in the main window: the MatrixBtn (and Ctrl+M)
// shows and hides it; while shown it follows the selected row, holding the
// matrices over that row's children when it has two or more, otherwise those
// of the level the row belongs to; every cell the user changes is one undo
// step of the workspace. It owns its command: the toggle the window puts on
// the edit toolbar.
//
// The pane's own moves up and down (Enter, Backspace, ...) leave the trees'
// selection alone: the level moved to holds, through cell changes, undo and
// relabelling, until the selection changes, the rows change shape or the
// pane is shown again; then the pane follows the selected row once more.
//
// The "Full matrix" switch (the pane's button, Ctrl+Shift+M) shows the whole
// design over its leaf rows instead; the key brings a hidden pane up in that
// view. A cell set there is the same undo step as in a level's grid: a
// sibling pair's cell goes into its parent's matrix, any other pair's into
// its cross cell. A click on a column head (or Enter on a cell) marks in the
// tree columns the rows that column's parameter disturbs, and the status bar
// names them ("DP 1.2 affects FR 1.1, 1.2, 2.1"); the marks follow the cells,
// and go with a second click on the same head, a change of the rows, or the
// full view.
//
// The pane is read again from the event loop once a step is over: the step's
// row is selected only after the design has told of the step, and the
// selection models change rows in the middle of a command. The full view
// does not depend on the selection, so a click on a row leaves it alone.

#include "model/Design.h"
#include "model/TreeObserver.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QModelIndex;

namespace ui { class MatrixPane; }

namespace app {

class TreeColumns;
class Workspace;

class MatrixPaneController : public QObject, private model::TreeObserver {
    Q_OBJECT
public:
    inline static constexpr const char* kStepName = "Edit matrix cell";

    MatrixPaneController(Workspace& workspace, TreeColumns& columns, ui::MatrixPane* pane, QObject* parent);
    ~MatrixPaneController() override;

    // The parent whose matrices a selected row brings up (model::kNoRow: the top level).
    static int parentRowFor(const model::Design& design, int selectedRow);

    // Reads the design into the pane now, when shown.
    void refresh();

    // MatrixBtn and Ctrl+M: the pane shown.
    QAction* toggle() const { return m_toggle; }
    // The pane's "Full matrix" button and Ctrl+Shift+M: the full view.
    QAction* fullView() const { return m_fullView; }

private:
    void scheduleRefresh();
    // The selection changed: the row a level was moved to may mean another node now.
    void followSelection();
    void showLevel(int parentRow);
    void switchFullView();
    void setFullCell(model::MatrixKind kind, int aRow, int bRow, model::CellValue value);

    // What a parameter disturbs: the rows marked, and what the status bar says.
    void markDisturbed(model::MatrixKind kind, int columnRow);
    void findDisturbed();
    void clearDisturbed();
    bool rowMarked(model::TreeId tree, const QModelIndex& index) const;
    void repaintTrees();

    // model::TreeObserver: anything that may change what the pane shows.
    void stepFinished(const model::StepChanges& changes) override;

    Workspace& m_workspace;
    model::Design& m_design;
    TreeColumns& m_columns;
    ui::MatrixPane* m_pane;
    QAction* m_toggle;
    QAction* m_fullView;
    QTimer m_refresh;
    std::optional<int> m_movedTo; // the level the pane was moved to, while it holds
    struct Disturbed {
        model::MatrixKind kind;
        int column;             // the leaf row whose parameter it is
        std::vector<int> rows;  // the rows it affects, in row order
        QString said;           // on the status bar
    };
    std::optional<Disturbed> m_disturbed;
};

} // namespace app
