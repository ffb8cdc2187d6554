#pragma once
// "Compare with…" in the window: another design is read from its file into
// a document of its own (the one on screen is never touched) and compared
// with the design on screen, the other as the older one. The rows added,
// moved and changed are marked in the three columns, each kind in its own
// colour; the list of changes under the columns holds every change,
// removed rows too (they have no row here). A click or Enter on a change, or
// F8 / Shift+F8 anywhere in the window, selects its row as a click on it
// would, its collapsed ancestors opened.
//
// The comparison is of the design as it was when compared: it ends (marks
// and list go) when the list is closed, another design is opened, or the
// design is edited, undone or redone. Working it out again after every step
// would cost a whole comparison per keystroke on a large design, and marks
// that follow edits would no longer say what the other file differs in.

#include "model/DesignDiff.h"
#include "model/TreeObserver.h"
#include "ui/NodeDelegate.h"

#include <QObject>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QModelIndex;
class QWidget;

namespace ui { class ComparePane; }

namespace app {

class TreeColumns;
class Workspace;

class CompareController : public QObject, private model::TreeObserver {
    Q_OBJECT
public:
    // Selects `row` as a click on it in column `tree` would.
    using SelectAsClick = std::function<void(model::TreeId tree, int row)>;

    struct Actions {
        QAction* compareWith;    // "Compare with…", in the file menu
        QAction* nextChange;     // F8, while a comparison is shown
        QAction* previousChange; // Shift+F8
    };

    // The pane is made here, a child of `window`, for the window to lay out.
    CompareController(Workspace& workspace, TreeColumns& columns, SelectAsClick selectAsClick, QWidget* window);
    // Goes before the columns: their delegates stop asking here for marks.
    ~CompareController() override;

    const Actions& actions() const { return m_actions; }
    ui::ComparePane* pane() const { return m_pane; }

    void compareWith();                         // asks for the other design
    void compareWithFile(const std::string& path);
    void chooseChange(int index);               // selects the change's row
    void end();

    bool active() const { return m_active; }
    const model::DesignDiff& diff() const { return m_diff; }
    ui::RowChange markOf(model::TreeId tree, int row) const;

private:
    void show(const QString& otherName);
    void markRows();
    void mark(model::TreeId tree, int row, ui::RowChange change);
    void repaintTrees();

    // model::TreeObserver: an edit ends the comparison; a renumbering or a
    // flag does not.
    void stepFinished(const model::StepChanges& changes) override;

    Workspace& m_workspace;
    TreeColumns& m_columns;
    SelectAsClick m_selectAsClick;
    ui::ComparePane* m_pane;
    Actions m_actions{};
    model::DesignDiff m_diff;
    std::array<std::vector<ui::RowChange>, model::kTreeCount> m_marks; // by row of the design on screen
    bool m_active = false;
};

} // namespace app
