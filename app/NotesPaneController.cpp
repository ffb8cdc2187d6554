#include "app/NotesPaneController.h"

#include "app/Commands.h"
#include "app/EditingController.h"
#include "app/StepRecorder.h"
#include "app/TreeColumns.h"
#include "app/Workspace.h"
#include "ui/FullText.h"
#include "ui/NodeDelegate.h"
#include "ui/NotesPane.h"
#include "ui/ToolbarIcons.h"

#include <QAction>
#include <QItemSelectionModel>

namespace app {

using model::TreeId;

namespace {

ui::NodeDelegate* delegateOf(const TreeColumns& columns, TreeId id)
{
    return qobject_cast<ui::NodeDelegate*>(columns.view(id)->itemDelegate());
}

} // namespace

NotesPaneController::NotesPaneController(Workspace& workspace, TreeColumns& columns, EditingController& editing,
                                         QWidget* window)
    : QObject(window), m_workspace(workspace), m_design(workspace.design()), m_columns(columns), m_editing(editing),
      m_pane(new ui::NotesPane(window)),
      m_toggle(makeCommand(this, {.caption = "Notes", .icon = ui::notesIcon(),
                                  .key = QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N),
                                  .keyWorks = Qt::WindowShortcut, .toggle = true, .buttonName = "NotesBtn"}))
{
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &NotesPaneController::refresh);
    m_pane->hide();
    connect(m_toggle, &QAction::toggled, this, [this](bool on) {
        if (!on)
            finishPane();
        m_pane->setVisible(on);
        refresh();
    });
    for (TreeId id : model::kAllTrees)
        connect(m_columns.view(id)->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &NotesPaneController::rowChosen);
    connect(m_pane, &ui::NotesPane::noteChangeRequested, this, &NotesPaneController::editNote);
    for (TreeId id : model::kAllTrees)
        if (ui::NodeDelegate* delegate = delegateOf(m_columns, id))
            delegate->setNoteFinder([this, id](const QModelIndex& index) { return noteOf(id, index); });
    m_editing.setPaneEditing([this] { finishPane(); });
    m_design.addObserver(this);
}

NotesPaneController::~NotesPaneController()
{
    m_editing.setPaneEditing({});
    for (TreeId id : model::kAllTrees)
        if (ui::NodeDelegate* delegate = delegateOf(m_columns, id))
            delegate->setNoteFinder({});
    m_design.removeObserver(this);
}

// Asked for each row drawn: one look-up, and none in a design without notes.
const std::string* NotesPaneController::noteOf(TreeId id, const QModelIndex& index) const
{
    if (m_design.notes().empty() || !index.isValid())
        return nullptr;
    const int row = m_columns.adapter(id)->rowOf(index);
    return m_design.notes().find(id, m_design.tree(TreeId::FR).nodeAt(row));
}

void NotesPaneController::finishPane()
{
    // Notes typed into a design since replaced have no row to go to.
    if (m_shownTrees.expired())
        return;
    m_pane->finish();
}

void NotesPaneController::rowChosen()
{
    // What was typed belongs to the row shown until now: a row chosen by a
    // click or a key moves no row, so that row is still the pane's.
    finishPane();
    scheduleRefresh();
}

void NotesPaneController::editNote(int row, TreeId id, const QString& note)
{
    m_workspace.run([&] {
        m_workspace.steps().runOnRow(kStepName, row, [&] { m_design.setNote(id, row, note.toStdString()); });
    });
}

void NotesPaneController::stepFinished(const model::StepChanges& changes)
{
    using model::StepChanges;
    // A note changed draws nothing else anew: the markers must be. The
    // aspects do not say which of them changed; a design that holds no note,
    // and held none, has no marker to draw.
    const bool holds = !m_design.notes().empty();
    if (changes.has(StepChanges::Replaced) || (changes.has(StepChanges::Aspects) && (holds || m_heldNotes)))
        for (TreeId id : model::kAllTrees)
            m_columns.view(id)->viewport()->update();
    m_heldNotes = holds;
    if (changes.has(StepChanges::Structure | StepChanges::Replaced | StepChanges::Texts | StepChanges::Numbers
                    | StepChanges::Aspects))
        scheduleRefresh();
}

void NotesPaneController::scheduleRefresh()
{
    if (m_pane->isVisible())
        m_refresh.start();
}

void NotesPaneController::refresh()
{
    if (!m_pane->isVisible())
        return;
    const int row = m_columns.selectedRow(TreeId::FR);
    if (m_design.empty() || row < 0 || row >= m_design.rowCount()) {
        m_pane->showNothing();
        return;
    }
    ui::NotesPane::Texts heads;
    ui::NotesPane::Texts notes;
    const model::RowTextArray* held = m_design.notes().find(m_design.tree(TreeId::FR).nodeAt(row));
    for (TreeId id : model::kAllTrees) {
        const auto i = static_cast<std::size_t>(model::index(id));
        heads[i] = ui::fullTextOf(m_design, id, m_design.tree(id).nodeAt(row));
        if (held)
            notes[i] = QString::fromStdString((*held)[i]);
    }
    m_pane->showRow(row, heads, notes);
    m_shownTrees = m_design.lifetime();
}

} // namespace app
