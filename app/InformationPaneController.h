#pragma once
// The information pane in the main window, and the I noted after FR labels.
// The InfoBtn (and Ctrl+I) shows and hides the pane; while shown it holds
// the ranges of the selected row, and every change the user makes there is
// one undo step of the workspace. Wherever the pane is, each FR row with both
// ranges shows its I after its label and in its hint, drawn by the row's
// delegate: the label itself never changes.
//
// The pane is read again from the event loop once a step is over, like the
// matrix pane: the step's row is selected only after the design has told of
// the step. Showing a row reads that row alone; the design's total is a walk
// over every row, so it is taken once after each step that may change it,
// and only while the pane shows it.

#include "model/Design.h"
#include "model/TreeObserver.h"
#include "ui/NodeDelegate.h"

#include <QObject>
#include <QTimer>

class QAction;
class QWidget;

namespace ui { class InformationPane; }

namespace app {

class TreeColumns;
class Workspace;

class InformationPaneController : public QObject, private model::TreeObserver {
    Q_OBJECT
public:
    inline static constexpr const char* kStepName = "Edit ranges";

    // The pane is made here, a child of `window`, for the window to lay out.
    InformationPaneController(Workspace& workspace, TreeColumns& columns, QWidget* window);
    // Goes before the columns: their FR delegate stops asking here for what follows a label.
    ~InformationPaneController() override;

    // What the FR column notes after the label of a row with these ranges:
    // "I = 0.415 bits", a warning for "I = inf bits"; nothing unless complete.
    static ui::Annotation annotationFor(const model::FrRanges* ranges);

    // Reads the selected row (and a stale total) into the pane now, when shown.
    void refresh();

    ui::InformationPane* pane() const { return m_pane; }
    // InfoBtn and Ctrl+I: the pane shown.
    QAction* toggle() const { return m_toggle; }

private:
    void scheduleRefresh();
    void editRanges(int row, const model::FrRanges& ranges);
    ui::Annotation annotationOf(const QModelIndex& index) const;
    ui::NodeDelegate* frDelegate() const;

    // model::TreeObserver: anything that may change what the pane or the FR column shows.
    void stepFinished(const model::StepChanges& changes) override;

    Workspace& m_workspace;
    model::Design& m_design;
    TreeColumns& m_columns;
    ui::InformationPane* m_pane;
    QAction* m_toggle;
    QTimer m_refresh;
    bool m_totalStale = true;
};

} // namespace app
