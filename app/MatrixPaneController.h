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
// The pane is read again from the event loop once a step is over: the step's
// row is selected only after the design has told of the step, and the
// selection models change rows in the middle of a command.

#include "model/Design.h"
#include "model/TreeObserver.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class QAction;

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

private:
    void scheduleRefresh();
    // The rows or the selection changed: the row a level was moved to may mean another node now.
    void followSelection();
    void showLevel(int parentRow);

    // model::TreeObserver: anything that may change what the pane shows.
    void stepFinished(const model::StepChanges& changes) override;

    Workspace& m_workspace;
    model::Design& m_design;
    TreeColumns& m_columns;
    ui::MatrixPane* m_pane;
    QAction* m_toggle;
    QTimer m_refresh;
    std::optional<int> m_movedTo; // the level the pane was moved to, while it holds
};

} // namespace app
