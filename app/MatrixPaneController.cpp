#include "app/MatrixPaneController.h"

#include "app/Commands.h"
#include "app/TreeColumns.h"
#include "app/Workspace.h"
#include "ui/MatrixPane.h"
#include "ui/ToolbarIcons.h"

#include <QAction>
#include <QItemSelectionModel>

namespace app {

MatrixPaneController::MatrixPaneController(Workspace& workspace, TreeColumns& columns, ui::MatrixPane* pane,
                                           QObject* parent)
    : QObject(parent), m_workspace(workspace), m_design(workspace.design()), m_columns(columns), m_pane(pane),
      m_toggle(makeCommand(this, {.caption = "Design matrix", .icon = ui::matrixIcon(),
                                  .key = QKeySequence(Qt::CTRL | Qt::Key_M), .keyWorks = Qt::WindowShortcut,
                                  .toggle = true, .buttonName = "MatrixBtn"}))
{
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &MatrixPaneController::refresh);
    m_pane->hide();
    connect(m_toggle, &QAction::toggled, this, [this](bool on) {
        m_movedTo.reset();
        m_pane->setVisible(on);
        refresh();
    });
    for (model::TreeId id : model::kAllTrees)
        connect(m_columns.view(id)->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &MatrixPaneController::followSelection);
    connect(m_pane, &ui::MatrixPane::levelRequested, this, &MatrixPaneController::showLevel);
    connect(m_pane, &ui::MatrixPane::cellChangeRequested, this,
            [this](int parentRow, model::MatrixKind kind, int row, int column, model::CellValue value) {
                m_workspace.runStep(kStepName, [&] { m_design.setMatrixCell(parentRow, kind, row, column, value); });
            });
    m_design.addObserver(this);
}

MatrixPaneController::~MatrixPaneController()
{
    m_design.removeObserver(this);
}

int MatrixPaneController::parentRowFor(const model::Design& design, int selectedRow)
{
    if (selectedRow < 0 || selectedRow >= design.rowCount())
        return model::kNoRow;
    const model::DesignTree& fr = design.tree(model::TreeId::FR);
    const model::Node* node = fr.nodeAt(selectedRow);
    if (node->children.size() >= 2)
        return selectedRow;
    const model::Node* parent = fr.parentOf(node);
    return parent ? fr.rowOf(parent) : model::kNoRow;
}

void MatrixPaneController::followSelection()
{
    m_movedTo.reset();
    scheduleRefresh();
}

void MatrixPaneController::stepFinished(const model::StepChanges& changes)
{
    using model::StepChanges;
    // Other rows: the row a level was moved to may mean another node now.
    if (changes.has(StepChanges::Structure | StepChanges::Replaced))
        followSelection();
    else if (changes.has(StepChanges::Texts | StepChanges::Numbers | StepChanges::Aspects))
        scheduleRefresh();
}

void MatrixPaneController::showLevel(int parentRow)
{
    if (parentRow != model::kNoRow && (parentRow < 0 || parentRow >= m_design.rowCount()))
        return;
    m_movedTo = parentRow;
    refresh();
}

void MatrixPaneController::scheduleRefresh()
{
    if (m_pane->isVisible())
        m_refresh.start();
}

void MatrixPaneController::refresh()
{
    if (!m_pane->isVisible())
        return;
    if (m_design.empty()) {
        m_pane->showNothing();
        return;
    }
    m_pane->showMatrices(m_design,
                         m_movedTo.value_or(parentRowFor(m_design, m_columns.selectedRow(model::TreeId::FR))));
}

} // namespace app
