#include "app/EditingController.h"

#include "app/Commands.h"
#include "app/StepRecorder.h"
#include "app/TitleBar.h"
#include "app/TreeColumns.h"
#include "app/UndoHistory.h"
#include "app/Workspace.h"
#include "model/Limits.h"
#include "ui/ExpansionLimit.h"
#include "ui/ToolbarIcons.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QMenu>
#include <QShortcut>

#include <utility>

namespace app {

using model::TreeId;

namespace {

constexpr const char* kUndoText = "Undo";
constexpr const char* kRedoText = "Redo";
constexpr const char* kEditLabelStep = "Edit label";
constexpr const char* kDropStep = "Drop";
constexpr const char* kRowsStayCollapsed = "Rows below level %1 stay collapsed: the design is too deep to expand further";
constexpr const char* kLabelsCut = "Labels longer than %1 characters are cut to their first %1";

// Each command's caption, also the name of the step it makes.
constexpr const char* kAddBelow = "Add sibling below";
constexpr const char* kAddAbove = "Add sibling above";
constexpr const char* kAddChild = "Add child";
constexpr const char* kAddUncle = "Add uncle";
constexpr const char* kMoveUp = "Move up";
constexpr const char* kMoveDown = "Move down";
constexpr const char* kDuplicate = "Duplicate";
constexpr const char* kDelete = "Delete";

} // namespace

EditingController::EditingController(Workspace& workspace, TreeColumns& columns, TitleBar& titleBar, QWidget* window)
    : m_workspace(workspace), m_columns(columns), m_titleBar(titleBar)
{
    makeActions(window);
    wireViews();
    wireHistory();
    m_workspace.setSelection({[this] { return selectedRow(); }, [this] { finishEditing(); },
                              [this](int row) { m_columns.selectRow(row); }});
}

EditingController::~EditingController()
{
    m_workspace.setSelection({});
}

void EditingController::makeActions(QWidget* window)
{
    const auto make = [&](const CommandLook& look, void (EditingController::*command)()) {
        QAction* action = makeCommand(this, look);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    const QKeySequence upKey(Qt::ALT | Qt::Key_Up), downKey(Qt::ALT | Qt::Key_Down);
    Actions& a = m_actions;
    a.addBelow = make({.name = "AddSiblingBelow1", .caption = kAddBelow, .icon = ui::toolbarIcon(3), .hint = kAddBelow,
                       .key = Qt::Key_F2, .buttonName = "AddItemBelowBtn", .buttonHint = kAddBelow},
                      &EditingController::addSiblingBelow);
    a.addAbove = make({.name = "AddSiblingAbove1", .caption = kAddAbove, .icon = ui::toolbarIcon(4), .hint = kAddAbove,
                       .key = Qt::Key_F3, .buttonName = "AddItemAboveBtn", .buttonHint = kAddAbove},
                      &EditingController::addSiblingAbove);
    a.addChild = make({.name = "AddChild1", .caption = kAddChild, .icon = ui::toolbarIcon(5), .hint = kAddChild,
                       .key = Qt::Key_F4, .buttonName = "AddChildBtn", .buttonHint = kAddChild},
                      &EditingController::addChild);
    a.addUncle = make({.name = "AddUncle1", .caption = kAddUncle, .icon = ui::toolbarIcon(6),
                       .hint = "Add a sibling of the parent", .key = QKeySequence(Qt::SHIFT | Qt::Key_F4),
                       .buttonName = "AddChildToGrandParentBtn", .buttonHint = kAddUncle},
                      &EditingController::addUncle);
    a.moveUp = make({.name = "MoveUp1", .caption = kMoveUp, .icon = ui::toolbarIcon(1), .hint = "Move up (if possible)",
                     .key = upKey, .buttonName = "MoveUpBtn", .buttonHint = kMoveUp},
                    &EditingController::moveUp);
    a.moveDown = make({.name = "MoveDown1", .caption = kMoveDown, .icon = ui::toolbarIcon(2),
                       .hint = "Move down (if possible)", .key = downKey, .buttonName = "MoveDownBtn",
                       .buttonHint = kMoveDown},
                      &EditingController::moveDown);
    a.duplicate = make({.name = "Duplicate1", .caption = kDuplicate, .icon = ui::toolbarIcon(7),
                        .hint = "Duplicate this (and all sub-nodes)", .key = QKeySequence(Qt::CTRL | Qt::Key_D),
                        .buttonName = "DuplicateBtn", .buttonHint = "Duplicate node"},
                       &EditingController::duplicate);
    a.deleteRow = make({.name = "Delete1", .caption = kDelete, .icon = ui::toolbarIcon(8),
                        .hint = "Delete this (and all sub-nodes)", .key = QKeySequence(Qt::SHIFT | Qt::Key_Delete),
                        .buttonName = "DeleteBtn", .buttonHint = "Delete (this and all children)"},
                       &EditingController::deleteRow);
    a.expandAll = make({.name = "ExpandAll1", .caption = "Expand/collapse all", .icon = ui::toolbarIcon(0),
                        .hint = "Expand or collapse every row", .key = QKeySequence(Qt::CTRL | Qt::Key_E),
                        .toggle = true, .buttonName = "ExpandContractAllBtn", .buttonHint = "Expand/Contract all"},
                       &EditingController::expandOrCollapseAll);
    a.undo = make({.caption = kUndoText, .icon = ui::undoIcon(), .key = QKeySequence::Undo,
                   .keyWorks = Qt::WindowShortcut, .buttonName = "UndoBtn"},
                  &EditingController::undo);
    a.redo = make({.caption = kRedoText, .icon = ui::redoIcon(), .key = QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                   .keyWorks = Qt::WindowShortcut, .buttonName = "RedoBtn"},
                  &EditingController::redo);
    window->addAction(a.undo);
    window->addAction(a.redo);
    // Ctrl+Y redoes too, though not inside a label, title or note editor: the keys there are the editor's.
    auto* redoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), window);
    connect(redoKey, &QShortcut::activated, this, [this] {
        QWidget* focus = QApplication::focusWidget();
        if (!qobject_cast<QLineEdit*>(focus) && !qobject_cast<QPlainTextEdit*>(focus))
            redo();
    });
}

void EditingController::wireViews()
{
    for (TreeId id : model::kAllTrees) {
        ui::TTreeView* view = m_columns.view(id);
        connect(view, &ui::TTreeView::nodeReleased, this,
                [this, view](Qt::MouseButton b, const QPoint& p) { released(view, b, p); });
        connect(view, &ui::TTreeView::dragStarted, this,
                [this, view](const QModelIndex& source) { dragStarted(view, source); });
        connect(view, &ui::TTreeView::dropped, this, [this, view](const QPoint& p) { dropped(view, p); });
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& p) { showTreeMenu(view, p); });
        connect(view, &ui::TTreeView::expansionLimited, this, &EditingController::depthLimitReached);
    }
    for (TreeId id : model::kAllTrees) {
        ui::TTreeView* view = m_columns.view(id);
        connect(view, &ui::TTreeView::doubleClickedNode, this, [this, view](const QPoint& p) { doubleClicked(view, p); });
        connect(view, &ui::TTreeView::keyboardMoved, this, [this, view] { keyboardMoved(view); });
        connect(view, &ui::TTreeView::editNeighbour, this, [this, view](int step) { editNeighbourColumn(view, step); });
        connect(view, &ui::TTreeView::editEnded, this, [this, view](bool byKey) { labelEditEnded(view, byKey); });
        m_columns.adapter(id)->setLabelEditor(
            [this, id](int row, const std::string& text) { labelEdited(id, row, text); });
    }
}

// --- the undo history ------------------------------------------------------------

void EditingController::wireHistory()
{
    UndoHistory& history = m_workspace.history();
    connect(&history, &UndoHistory::changed, this, &EditingController::historyChanged);
    connect(&history, &UndoHistory::rowToSelect, this, [this](int row) {
        if (row >= 0 && row < m_workspace.design().rowCount())
            m_columns.selectRow(row);
    });
    historyChanged();
}

void EditingController::historyChanged()
{
    // Enabled when there is something to undo or redo; the hint names the step.
    const auto show = [](QAction* action, const char* verb, bool can, const QString& step) {
        const QString text = can ? QString::fromLatin1(verb) + QLatin1Char(' ') + step : QString::fromLatin1(verb);
        action->setEnabled(can);
        action->setText(text);
        action->setToolTip(text);
    };
    const UndoHistory& history = m_workspace.history();
    show(m_actions.undo, kUndoText, history.canUndo(), history.undoText());
    show(m_actions.redo, kRedoText, history.canRedo(), history.redoText());
}

void EditingController::finishEditing()
{
    // An open label editor or an unfinished title edit becomes its own step
    // before the next one.
    for (TreeId id : model::kAllTrees)
        m_columns.view(id)->finishEditing();
    m_titleBar.finishEditing();
    if (m_finishPane)
        m_finishPane();
}

void EditingController::labelEdited(TreeId id, int row, const std::string& text)
{
    m_workspace.run([&] {
        m_workspace.steps().runOnRow(kEditLabelStep, row, [&] { m_workspace.design().editFullLabel(id, row, text); });
    });
}

void EditingController::undo()
{
    m_workspace.run([&] {
        finishEditing();
        m_workspace.history().undo();
    });
}

void EditingController::redo()
{
    m_workspace.run([&] {
        finishEditing();
        m_workspace.history().redo();
    });
}

// --- selection and the label editor ----------------------------------------------

int EditingController::selectedRow() const
{
    return m_columns.selectedRow(TreeId::FR);
}

TreeId EditingController::editorTree() const
{
    return m_activeTree.value_or(TreeId::FR);
}

TreeId EditingController::focusedTree() const
{
    const QWidget* focus = QApplication::focusWidget();
    for (TreeId id : model::kAllTrees)
        if (focus && (focus == m_columns.view(id) || m_columns.view(id)->isAncestorOf(focus)))
            return id;
    return editorTree();
}

void EditingController::selectAndEdit(int row)
{
    m_columns.selectRow(row);
    m_columns.editRow(editorTree(), row);
}

void EditingController::reportLabelsCut()
{
    m_workspace.showStatus(QString::fromLatin1(kLabelsCut).arg(model::kLongestLabel));
}

// --- adding ----------------------------------------------------------------------

void EditingController::addSiblingBelow()
{
    m_workspace.runStep(kAddBelow, [&] {
        model::Design& design = m_workspace.design();
        const int row = design.empty() ? design.addFirstRow() : design.addSiblingBelow(selectedRow());
        if (row != model::kNoRow)
            selectAndEdit(row);
    });
}

void EditingController::addSiblingAbove()
{
    m_workspace.runStep(kAddAbove, [&] {
        model::Design& design = m_workspace.design();
        const int row = design.empty() ? design.addFirstRow() : design.addSiblingAbove(selectedRow());
        if (row != model::kNoRow)
            selectAndEdit(row);
    });
}

void EditingController::addChild()
{
    m_workspace.runStep(kAddChild, [&] {
        model::Design& design = m_workspace.design();
        const int parent = selectedRow();
        const int row = design.empty() ? design.addFirstRow() : design.addChild(parent);
        if (row == model::kNoRow)
            return;
        if (parent >= 0)
            m_columns.setExpanded(parent, true);
        selectAndEdit(row);
    });
}

void EditingController::addUncle()
{
    m_workspace.runStep(kAddUncle, [&] {
        const int selected = selectedRow();
        const int row = m_workspace.design().addUncle(selected);
        if (row == model::kNoRow)
            return;
        m_columns.setExpanded(selected, true); // the uncle lands below S's subtree: S keeps its row
        selectAndEdit(row);
    });
}

// --- removing, reordering, duplicating ----------------------------------------------

void EditingController::deleteRow()
{
    m_workspace.runStep(kDelete, [&] {
        const model::DeleteResult result = m_workspace.design().deleteRow(selectedRow());
        if (result.refused) {
            m_workspace.prompter().showMessage(QString::fromLatin1(kCannotDeleteRoot));
            return;
        }
        m_columns.selectRow(result.selectRow);
    });
}

void EditingController::moveUp()
{
    m_workspace.runStep(kMoveUp, [&] {
        const model::MoveResult result = m_workspace.design().moveUp(selectedRow());
        if (!result.moved)
            return;
        m_columns.setExpanded(result.row, false); // the node that moved comes back collapsed
        m_columns.selectRow(result.row);
    });
}

void EditingController::moveDown()
{
    m_workspace.runStep(kMoveDown, [&] {
        const int k = selectedRow();
        const model::MoveResult result = m_workspace.design().moveDown(k);
        if (!result.moved)
            return;
        m_columns.setExpanded(k, false); // the next sibling jumped over it and comes back collapsed
        m_columns.selectRow(result.row);
    });
}

void EditingController::duplicate()
{
    m_workspace.runStep(kDuplicate, [&] {
        model::Design& design = m_workspace.design();
        const int row = design.duplicate(selectedRow());
        if (row == model::kNoRow)
            return;
        m_columns.expandSubtree(row);
        m_columns.setExpanded(row, !design.tree(TreeId::FR).nodeAt(row)->children.empty());
        selectAndEdit(row);
    });
}

void EditingController::expandOrCollapseAll()
{
    if (!m_actions.expandAll->isChecked()) {
        m_columns.collapseAll();
        return;
    }
    m_columns.expandAll();
    if (m_workspace.design().tree(TreeId::FR).maxLevel() > ui::safeExpansionDepth())
        depthLimitReached(ui::safeExpansionDepth());
}

void EditingController::depthLimitReached(int depth)
{
    m_workspace.showStatus(QString::fromLatin1(kRowsStayCollapsed).arg(depth));
}

// --- the views' own gestures ----------------------------------------------------------

void EditingController::released(ui::TTreeView* view, Qt::MouseButton button, const QPoint& pos)
{
    if (button == Qt::RightButton)
        return;
    const auto id = m_columns.treeOf(view);
    const int row = id ? m_columns.rowAt(*id, pos) : -1;
    if (row >= 0)
        chooseRow(*id, row);
}

void EditingController::keyboardMoved(ui::TTreeView* view)
{
    // The keyboard moves through the rows as clicks would: every column follows.
    const auto id = m_columns.treeOf(view);
    const int row = id ? m_columns.adapter(*id)->rowOf(view->currentIndex()) : -1;
    if (row >= 0)
        chooseRow(*id, row);
}

void EditingController::chooseRow(TreeId id, int row)
{
    // The chosen node's expanded state (after its arrow or a key may have toggled it) goes to its partners.
    const bool expanded = m_columns.view(id)->isExpanded(m_columns.indexOfRow(id, row));
    for (TreeId other : model::kAllTrees) {
        m_columns.selectRowIn(other, row);
        if (other != id)
            m_columns.view(other)->setExpanded(m_columns.indexOfRow(other, row), expanded);
    }
    // A click's renumbering is no step of its own.
    m_workspace.steps().join([&] { m_workspace.design().renumber(); });
    m_activeTree = id;
}

void EditingController::doubleClicked(ui::TTreeView* view, const QPoint& pos)
{
    // In the column that was clicked: its first click made it the active tree.
    const auto id = m_columns.treeOf(view);
    const int row = id ? m_columns.rowAt(*id, pos) : -1;
    if (row >= 0)
        m_columns.editRow(*id, row);
}

void EditingController::editNeighbourColumn(ui::TTreeView* view, int step)
{
    // Tab and Shift+Tab in a label editor: FR, DP, PV, and round again. The
    // active tree stays, so the next added row opens its editor where the
    // user began the last one.
    const auto id = m_columns.treeOf(view);
    const int row = id ? m_columns.adapter(*id)->rowOf(view->currentIndex()) : -1;
    if (row < 0)
        return;
    const TreeId next =
        model::kAllTrees[static_cast<std::size_t>((model::index(*id) + step + model::kTreeCount) % model::kTreeCount)];
    if (!m_tabbedFrom)
        m_tabbedFrom = *id;
    m_columns.selectRowIn(next, row);
    m_columns.editRow(next, row);
}

void EditingController::labelEditEnded(ui::TTreeView* view, bool byKey)
{
    // Enter or Esc ends an edit Tab carried along: the keyboard goes back to
    // the column where it began, so arrows and F2 work there as before.
    // (An edit ended by a click elsewhere leaves the focus where the click put it.)
    const std::optional<TreeId> began = std::exchange(m_tabbedFrom, std::nullopt);
    if (byKey && began && m_columns.treeOf(view) != began)
        m_columns.view(*began)->setFocus(Qt::OtherFocusReason);
}

void EditingController::showTreeMenu(ui::TTreeView* view, const QPoint& pos)
{
    if (m_treeMenu)
        m_treeMenu->popup(view->viewport()->mapToGlobal(pos));
}

void EditingController::dragStarted(ui::TTreeView* view, const QModelIndex& source)
{
    const auto id = m_columns.treeOf(view);
    m_dragSourceRow = id ? m_columns.adapter(*id)->rowOf(source) : -1;
}

void EditingController::dropped(ui::TTreeView* view, const QPoint& pos)
{
    const auto id = m_columns.treeOf(view);
    if (!id || m_dragSourceRow < 0)
        return;
    m_workspace.run([&] {
        model::Design& design = m_workspace.design();
        const int source = m_dragSourceRow;
        const int target = std::max(0, m_columns.rowAt(*id, pos)); // below the last row: the first row
        m_dragSourceRow = -1;
        if (source >= design.rowCount())
            return;
        const model::Node* moved = design.tree(TreeId::FR).nodeAt(source);
        const model::Node* receiver = design.tree(TreeId::FR).nodeAt(target);
        // A drop that moved something is a step, ending on the moved row; one
        // that only renumbered is not.
        m_workspace.steps().runOrJoin(kDropStep, source, [&]() -> std::optional<int> {
            if (!design.drop(source, target))
                return std::nullopt;
            const model::DesignTree& fr = design.tree(TreeId::FR);
            m_columns.setExpanded(fr.rowOf(receiver), true);
            m_columns.setExpanded(fr.rowOf(moved), false);
            return fr.rowOf(moved);
        });
    });
}

} // namespace app
