#include "app/MatrixPaneController.h"

#include "app/Commands.h"
#include "app/TreeColumns.h"
#include "app/Workspace.h"
#include "model/FullMatrix.h"
#include "model/Numbering.h"
#include "ui/MatrixPane.h"
#include "ui/MatrixPaneFull.h"
#include "ui/NodeDelegate.h"
#include "ui/ToolbarIcons.h"

#include <QAction>
#include <QItemSelectionModel>

#include <algorithm>

namespace app {

namespace {

ui::NodeDelegate* delegateOf(TreeColumns& columns, model::TreeId id)
{
    return qobject_cast<ui::NodeDelegate*>(columns.view(id)->itemDelegate());
}

// Where the rows a parameter disturbs are marked: FR-DP's in the FR column, DP-PV's in the DP column.
model::TreeId markedTree(model::MatrixKind kind)
{
    return kind == model::MatrixKind::FrDp ? model::TreeId::FR : model::TreeId::DP;
}

// "DP 1.2 affects FR 1.1, 1.2, 2.1" ("PV 1.2 affects DP ..." for DP-PV).
QString affectsSentence(const model::DesignTree& fr, model::MatrixKind kind, int column, const std::vector<int>& rows)
{
    const bool frDp = kind == model::MatrixKind::FrDp;
    QString out = QStringLiteral("%1 %2 affects ")
                      .arg(QLatin1String(frDp ? "DP" : "PV"),
                           QString::fromStdString(model::outlineNumberOf(fr.nodeAt(column))));
    out += QLatin1String(frDp ? "FR " : "DP ");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            out += QStringLiteral(", ");
        out += QString::fromStdString(model::outlineNumberOf(fr.nodeAt(rows[i])));
    }
    return out;
}

} // namespace

MatrixPaneController::MatrixPaneController(Workspace& workspace, TreeColumns& columns, ui::MatrixPane* pane,
                                           QObject* parent)
    : QObject(parent), m_workspace(workspace), m_design(workspace.design()), m_columns(columns), m_pane(pane),
      m_toggle(makeCommand(this, {.caption = "Design matrix", .icon = ui::matrixIcon(),
                                  .key = QKeySequence(Qt::CTRL | Qt::Key_M), .keyWorks = Qt::WindowShortcut,
                                  .toggle = true, .buttonName = "MatrixBtn"})),
      m_fullView(makeCommand(this, {.name = "FullMatrix", .caption = "Full matrix",
                                    .hint = "The whole design's matrices over its leaf rows (Ctrl+Shift+M)",
                                    .key = QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M),
                                    .keyWorks = Qt::WindowShortcut, .toggle = true}))
{
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &MatrixPaneController::refresh);
    m_pane->hide();
    connect(m_toggle, &QAction::toggled, this, [this](bool on) {
        m_movedTo.reset();
        if (!on)
            clearDisturbed();
        m_pane->setVisible(on);
        refresh();
    });
    m_pane->setFullViewCommand(m_fullView);
    connect(m_fullView, &QAction::triggered, this, &MatrixPaneController::switchFullView);
    connect(m_pane->fullView(), &ui::FullMatrixView::cellChangeRequested, this, &MatrixPaneController::setFullCell);
    connect(m_pane->fullView(), &ui::FullMatrixView::columnMarked, this, &MatrixPaneController::markDisturbed);
    for (model::TreeId id : model::kAllTrees)
        if (ui::NodeDelegate* delegate = delegateOf(m_columns, id))
            delegate->setRowMarker([this, id](const QModelIndex& index) { return rowMarked(id, index); });
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

// Goes before the columns: their delegates stop asking for marks here.
MatrixPaneController::~MatrixPaneController()
{
    for (model::TreeId id : model::kAllTrees)
        if (ui::NodeDelegate* delegate = delegateOf(m_columns, id))
            delegate->setRowMarker({});
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
    if (!m_fullView->isChecked())
        scheduleRefresh();
}

void MatrixPaneController::stepFinished(const model::StepChanges& changes)
{
    using model::StepChanges;
    // Other rows: the row a level was moved to may mean another node now, and
    // the rows marked may be other rows.
    if (changes.has(StepChanges::Structure | StepChanges::Replaced)) {
        m_movedTo.reset();
        clearDisturbed();
        scheduleRefresh();
    } else if (changes.has(StepChanges::Texts | StepChanges::Numbers | StepChanges::Aspects)) {
        scheduleRefresh();
    }
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
    if (m_fullView->isChecked()) {
        m_pane->showFull(m_design);
        if (m_disturbed)
            findDisturbed(); // a cell of the marked column may have changed
        return;
    }
    m_pane->showMatrices(m_design,
                         m_movedTo.value_or(parentRowFor(m_design, m_columns.selectedRow(model::TreeId::FR))));
}

void MatrixPaneController::switchFullView()
{
    // The key brings a hidden pane up, in the full view whichever view it was left in.
    if (!m_toggle->isChecked()) {
        m_fullView->setChecked(true);
        m_toggle->setChecked(true);
        return;
    }
    clearDisturbed();
    refresh();
}

// A pair of leaf rows: siblings have their parent's matrix, any other pair a cross cell.
void MatrixPaneController::setFullCell(model::MatrixKind kind, int aRow, int bRow, model::CellValue value)
{
    const int rows = m_design.rowCount();
    if (aRow < 0 || bRow < 0 || aRow >= rows || bRow >= rows || aRow == bRow)
        return;
    m_workspace.runStep(kStepName, [&] {
        const model::DesignTree& fr = m_design.tree(model::TreeId::FR);
        const model::Node* a = fr.nodeAt(aRow);
        const model::Node* b = fr.nodeAt(bRow);
        if (a->parent != b->parent) {
            m_design.setCrossCell(kind, aRow, bRow, value);
            return;
        }
        const model::Node* parent = fr.parentOf(a);
        m_design.setMatrixCell(parent ? fr.rowOf(parent) : model::kNoRow, kind, static_cast<int>(a->siblingIndex),
                               static_cast<int>(b->siblingIndex), value);
    });
}

void MatrixPaneController::markDisturbed(model::MatrixKind kind, int columnRow)
{
    if (m_disturbed && m_disturbed->kind == kind && m_disturbed->column == columnRow) {
        clearDisturbed();
        return;
    }
    m_disturbed = Disturbed{kind, columnRow, {}, {}};
    findDisturbed();
}

// The column's X cells, read from the full matrix as the grid shows it.
void MatrixPaneController::findDisturbed()
{
    const model::DesignTree& fr = m_design.tree(model::TreeId::FR);
    const int column = m_disturbed->column;
    if (column < 0 || column >= fr.size() || !fr.nodeAt(column)->children.empty()) {
        clearDisturbed();
        return;
    }
    const model::LeafIndex leaves(fr);
    const std::vector<model::FullCell> cells =
        model::fullMatrixCells(m_design.matrices(), m_design.crossCells(), m_disturbed->kind, leaves);
    if (cells.empty()) {
        clearDisturbed();
        return;
    }
    const std::size_t n = leaves.size();
    const std::size_t j = leaves.first(fr.nodeAt(column));
    m_disturbed->rows.clear();
    // The column's own row is among them (the diagonal is X): a change of the
    // parameter revisits its own requirement first.
    for (std::size_t i = 0; i < n; ++i)
        if (cells[i * n + j] == model::FullCell::X)
            m_disturbed->rows.push_back(fr.rowOf(leaves.leaves()[i]));
    const QString sentence = affectsSentence(fr, m_disturbed->kind, column, m_disturbed->rows);
    // Said again only when it changed: a cell elsewhere leaves the status bar's other news alone.
    if (sentence != m_disturbed->said) {
        m_disturbed->said = sentence;
        m_workspace.showStatus(sentence);
    }
    m_pane->fullView()->markColumn(m_disturbed->kind, column);
    repaintTrees();
}

void MatrixPaneController::clearDisturbed()
{
    if (!m_disturbed)
        return;
    const bool said = !m_disturbed->said.isEmpty();
    m_disturbed.reset();
    m_pane->fullView()->markColumn(model::MatrixKind::FrDp, model::kNoRow);
    if (said)
        m_workspace.showStatus(QString());
    repaintTrees();
}

bool MatrixPaneController::rowMarked(model::TreeId tree, const QModelIndex& index) const
{
    if (!m_disturbed || tree != markedTree(m_disturbed->kind) || !index.isValid())
        return false;
    const int row = m_columns.adapter(tree)->rowOf(index);
    return std::binary_search(m_disturbed->rows.begin(), m_disturbed->rows.end(), row);
}

void MatrixPaneController::repaintTrees()
{
    for (model::TreeId id : model::kAllTrees)
        m_columns.view(id)->viewport()->update();
}

} // namespace app
