#pragma once
// The notes pane in the main window, and the marker of a node with a note.
// The NotesBtn (and Ctrl+Shift+N) shows and hides the pane; while shown it
// holds the notes of the selected row, and each note the user changes there
// is one undo step of the workspace, taken when its editor loses the focus,
// another row is selected or another step is about to run. Wherever the
// pane is, a node with a note shows a marker at the end of its row, and the
// row's hint the note's first line, drawn by the row's delegate.
//
// The pane is read again from the event loop once a step is over, like the
// information pane: the step's row is selected only after the design has
// told of the step.

#include "model/Design.h"
#include "model/TreeObserver.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <string>

class QAction;
class QModelIndex;
class QWidget;

namespace ui { class NotesPane; }

namespace app {

class EditingController;
class TreeColumns;
class Workspace;

class NotesPaneController : public QObject, private model::TreeObserver {
    Q_OBJECT
public:
    inline static constexpr const char* kStepName = "Edit note";

    // The pane is made here, a child of `window`, for the window to lay out;
    // `editing` finishes what the pane holds before each step.
    NotesPaneController(Workspace& workspace, TreeColumns& columns, EditingController& editing, QWidget* window);
    // Goes before the columns: their delegates stop asking here for notes.
    ~NotesPaneController() override;

    // Reads the selected row into the pane now, when shown.
    void refresh();

    ui::NotesPane* pane() const { return m_pane; }
    // NotesBtn and Ctrl+Shift+N: the pane shown.
    QAction* toggle() const { return m_toggle; }

private:
    void scheduleRefresh();
    void rowChosen();
    void finishPane();
    void editNote(int row, model::TreeId id, const QString& note);
    const std::string* noteOf(model::TreeId id, const QModelIndex& index) const;

    // model::TreeObserver: anything that may change what the pane or the markers show.
    void stepFinished(const model::StepChanges& changes) override;

    Workspace& m_workspace;
    model::Design& m_design;
    TreeColumns& m_columns;
    EditingController& m_editing;
    ui::NotesPane* m_pane;
    QAction* m_toggle;
    QTimer m_refresh;
    std::weak_ptr<const int> m_shownTrees; // the trees the pane's row is a row of
    bool m_heldNotes = false;              // as the last step ended
};

} // namespace app
