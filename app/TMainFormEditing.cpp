// The main window's editing: the undo history's buttons and steps, the
// commands that add, remove, move and copy rows, and what the user does in
// the trees themselves (clicks, keys, double clicks, drag and drop). The
// window's construction, layout and file commands are in TMainForm.cpp.
#include "app/TMainForm.h"

#include "app/StepRecorder.h"
#include "app/TitleBar.h"
#include "app/TreeColumns.h"
#include "app/UndoHistory.h"
#include "ui/ExpansionLimit.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QStatusBar>

#include <utility>

namespace app {

using model::TreeId;

namespace {
constexpr const char* kEditLabelStep = "Edit label";
constexpr const char* kDropStep = "Drop";
constexpr const char* kRowsStayCollapsed = "Rows below level %1 stay collapsed: the design is too deep to expand further";
} // namespace

// --- the undo history ------------------------------------------------------------

void TMainForm::wireHistory()
{
    connect(m_history.get(), &UndoHistory::changed, this, &TMainForm::historyChanged);
    connect(m_history.get(), &UndoHistory::rowToSelect, this, [this](int row) {
        if (row >= 0 && row < m_design.rowCount())
            m_columns->selectRow(row);
    });
    // The modified flag follows the history: back at the saved state, it clears.
    connect(m_history.get(), &UndoHistory::cleanChanged, this, [this](bool clean) { m_design.setModified(!clean); });
    // Ctrl+Y redoes too, though not inside a label or title editor: the keys there are the editor's.
    auto* redoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), this);
    connect(redoKey, &QShortcut::activated, this, [this] {
        if (!qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            RedoBtnClick();
    });
    for (TreeId id : model::kAllTrees)
        m_columns->adapter(id)->setLabelEditor(
            [this, id](int row, const std::string& text) { labelEdited(id, row, text); });
    historyChanged();
}

void TMainForm::historyChanged()
{
    // Enabled when there is something to undo or redo; the hint names the step.
    const auto show = [](QAction* action, const char* verb, bool can, const QString& step) {
        const QString text = can ? QString::fromLatin1(verb) + QLatin1Char(' ') + step : QString::fromLatin1(verb);
        action->setEnabled(can);
        action->setText(text);
        action->setToolTip(text);
    };
    show(m_commands.undo, kUndoText, m_history->canUndo(), m_history->undoText());
    show(m_commands.redo, kRedoText, m_history->canRedo(), m_history->redoText());
}

void TMainForm::finishEditing()
{
    // An open label editor or an unfinished title edit becomes its own step
    // before the next one.
    for (TreeId id : model::kAllTrees)
        m_columns->view(id)->finishEditing();
    m_titleBar->finishEditing();
}

void TMainForm::runStep(const char* name, const std::function<void()>& command)
{
    runCommand([&] { m_steps->run(name, command); });
}

void TMainForm::labelEdited(TreeId id, int row, const std::string& text)
{
    runCommand([&] { m_steps->runOnRow(kEditLabelStep, row, [&] { m_design.editLabel(id, row, text); }); });
}

void TMainForm::UndoBtnClick()
{
    runCommand([&] {
        finishEditing();
        m_history->undo();
    });
}

void TMainForm::RedoBtnClick()
{
    runCommand([&] {
        finishEditing();
        m_history->redo();
    });
}

// --- selection and the label editor ----------------------------------------------

int TMainForm::selectedRow() const
{
    return m_columns->selectedRow(TreeId::FR);
}

TreeId TMainForm::editorTree() const
{
    return m_activeTree.value_or(TreeId::FR);
}

void TMainForm::selectAndEdit(int row)
{
    m_columns->selectRow(row);
    m_columns->editRow(editorTree(), row);
}

// --- adding ----------------------------------------------------------------------

void TMainForm::AddItemBelowBtnClick()
{
    runStep("Add sibling below", [&] {
        const int row = m_design.empty() ? m_design.addFirstRow() : m_design.addSiblingBelow(selectedRow());
        if (row != model::kNoRow)
            selectAndEdit(row);
    });
}

void TMainForm::AddItemAboveBtnClick()
{
    runStep("Add sibling above", [&] {
        const int row = m_design.empty() ? m_design.addFirstRow() : m_design.addSiblingAbove(selectedRow());
        if (row != model::kNoRow)
            selectAndEdit(row);
    });
}

void TMainForm::AddChildBtnClick()
{
    runStep("Add child", [&] {
        const int parent = selectedRow();
        const int row = m_design.empty() ? m_design.addFirstRow() : m_design.addChild(parent);
        if (row == model::kNoRow)
            return;
        if (parent >= 0)
            m_columns->setExpanded(parent, true);
        selectAndEdit(row);
    });
}

void TMainForm::AddChildToGrandParentBtnClick()
{
    runStep("Add uncle", [&] {
        const int selected = selectedRow();
        const int row = m_design.addUncle(selected);
        if (row == model::kNoRow)
            return;
        m_columns->setExpanded(selected, true); // the uncle lands below S's subtree: S keeps its row
        selectAndEdit(row);
    });
}

// --- removing, reordering, duplicating ----------------------------------------------

void TMainForm::DeleteBtnClick()
{
    runStep("Delete", [&] {
        const model::DeleteResult result = m_design.deleteRow(selectedRow());
        if (result.refused) {
            m_prompter->showMessage(QString::fromLatin1(kCannotDeleteRoot));
            return;
        }
        m_columns->selectRow(result.selectRow);
    });
}

void TMainForm::MoveUpBtnClick()
{
    runStep("Move up", [&] {
        const model::MoveResult result = m_design.moveUp(selectedRow());
        if (!result.moved)
            return;
        m_columns->setExpanded(result.row, false); // the node that moved comes back collapsed
        m_columns->selectRow(result.row);
    });
}

void TMainForm::MoveDownBtnClick()
{
    runStep("Move down", [&] {
        const int k = selectedRow();
        const model::MoveResult result = m_design.moveDown(k);
        if (!result.moved)
            return;
        m_columns->setExpanded(k, false); // the next sibling jumped over it and comes back collapsed
        m_columns->selectRow(result.row);
    });
}

void TMainForm::DuplicateBtnClick()
{
    runStep("Duplicate", [&] {
        const int row = m_design.duplicate(selectedRow());
        if (row == model::kNoRow)
            return;
        m_columns->expandSubtree(row);
        m_columns->setExpanded(row, !m_design.tree(TreeId::FR).nodeAt(row)->children.empty());
        selectAndEdit(row);
    });
}

void TMainForm::ExpandContractAllBtnClick()
{
    if (!m_commands.expandAll->isChecked()) {
        m_columns->collapseAll();
        return;
    }
    m_columns->expandAll();
    if (m_design.tree(TreeId::FR).maxLevel() > ui::safeExpansionDepth())
        depthLimitReached(ui::safeExpansionDepth());
}

void TMainForm::depthLimitReached(int depth)
{
    showStatus(QString::fromLatin1(kRowsStayCollapsed).arg(depth));
}

// --- the views' own gestures ----------------------------------------------------------

void TMainForm::FRVMouseUp(ui::TTreeView* view, Qt::MouseButton button, const QPoint& pos)
{
    if (button == Qt::RightButton)
        return;
    const auto id = m_columns->treeOf(view);
    const int row = id ? m_columns->rowAt(*id, pos) : -1;
    if (row >= 0)
        chooseRow(*id, row);
}

void TMainForm::FRVKeyDown(ui::TTreeView* view)
{
    // The keyboard moves through the rows as clicks would: every column follows.
    const auto id = m_columns->treeOf(view);
    const int row = id ? m_columns->adapter(*id)->rowOf(view->currentIndex()) : -1;
    if (row >= 0)
        chooseRow(*id, row);
}

void TMainForm::chooseRow(TreeId id, int row)
{
    // The chosen node's expanded state (after its arrow or a key may have toggled it) goes to its partners.
    const bool expanded = m_columns->view(id)->isExpanded(m_columns->indexOfRow(id, row));
    for (TreeId other : model::kAllTrees) {
        m_columns->selectRowIn(other, row);
        if (other != id)
            m_columns->view(other)->setExpanded(m_columns->indexOfRow(other, row), expanded);
    }
    m_steps->join([&] { m_design.renumber(); }); // a click's renumbering is no step of its own
    m_activeTree = id;
}

void TMainForm::FRVDblClick(ui::TTreeView* view, const QPoint& pos)
{
    // In the column that was clicked: its first click made it the active tree.
    const auto id = m_columns->treeOf(view);
    const int row = id ? m_columns->rowAt(*id, pos) : -1;
    if (row >= 0)
        m_columns->editRow(*id, row);
}

void TMainForm::editNeighbourColumn(ui::TTreeView* view, int step)
{
    // Tab and Shift+Tab in a label editor: FR, DP, PV, and round again. The
    // active tree stays, so the next added row opens its editor where the
    // user began the last one.
    const auto id = m_columns->treeOf(view);
    const int row = id ? m_columns->adapter(*id)->rowOf(view->currentIndex()) : -1;
    if (row < 0)
        return;
    const TreeId next =
        model::kAllTrees[static_cast<std::size_t>((model::index(*id) + step + model::kTreeCount) % model::kTreeCount)];
    if (!m_tabbedFrom)
        m_tabbedFrom = *id;
    m_columns->selectRowIn(next, row);
    m_columns->editRow(next, row);
}

void TMainForm::labelEditEnded(ui::TTreeView* view, bool byKey)
{
    // Enter or Esc ends an edit Tab carried along: the keyboard goes back to
    // the column where it began, so arrows and F2 work there as before.
    // (An edit ended by a click elsewhere leaves the focus where the click put it.)
    const std::optional<TreeId> began = std::exchange(m_tabbedFrom, std::nullopt);
    if (byKey && began && m_columns->treeOf(view) != began)
        m_columns->view(*began)->setFocus(Qt::OtherFocusReason);
}

void TMainForm::showTreeMenu(ui::TTreeView* view, const QPoint& pos)
{
    m_commands.treeMenu->popup(view->viewport()->mapToGlobal(pos));
}

void TMainForm::FRVStartDrag(ui::TTreeView* view, const QModelIndex& source)
{
    const auto id = m_columns->treeOf(view);
    m_dragSourceRow = id ? m_columns->adapter(*id)->rowOf(source) : -1;
}

void TMainForm::FRVDragDrop(ui::TTreeView* view, const QPoint& pos)
{
    const auto id = m_columns->treeOf(view);
    if (!id || m_dragSourceRow < 0)
        return;
    runCommand([&] {
        const int source = m_dragSourceRow;
        const int target = std::max(0, m_columns->rowAt(*id, pos)); // below the last row: the first row
        m_dragSourceRow = -1;
        if (source >= m_design.rowCount())
            return;
        const model::Node* moved = m_design.tree(TreeId::FR).nodeAt(source);
        const model::Node* receiver = m_design.tree(TreeId::FR).nodeAt(target);
        // A drop that moved something is a step, ending on the moved row; one
        // that only renumbered is not.
        m_steps->runOrJoin(kDropStep, source, [&]() -> std::optional<int> {
            if (!m_design.drop(source, target))
                return std::nullopt;
            const model::DesignTree& fr = m_design.tree(TreeId::FR);
            m_columns->setExpanded(fr.rowOf(receiver), true);
            m_columns->setExpanded(fr.rowOf(moved), false);
            return fr.rowOf(moved);
        });
    });
}

} // namespace app
