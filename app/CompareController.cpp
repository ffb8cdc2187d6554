#include "app/CompareController.h"

#include "app/Commands.h"
#include "app/TreeColumns.h"
#include "app/Workspace.h"
#include "io/DesignFile.h"
#include "model/Design.h"
#include "ui/ComparePane.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>

#include <algorithm>

namespace app {

using model::DesignChange;
using model::TreeId;
using ui::RowChange;

namespace {

constexpr const char* kChangesFrom = "Changes from %1 to the design on screen: %2";
constexpr const char* kNoChangesFrom = "No changes from %1 to the design on screen";

ui::NodeDelegate* delegateOf(const TreeColumns& columns, TreeId id)
{
    return qobject_cast<ui::NodeDelegate*>(columns.view(id)->itemDelegate());
}

std::size_t slot(TreeId id)
{
    return static_cast<std::size_t>(model::index(id));
}

// The colour of a change in the list; changes with no row of their own (a
// title, a level colour) count as changed.
RowChange kindOf(const DesignChange& change)
{
    switch (change.kind) {
    case DesignChange::Kind::RowAdded: return RowChange::Added;
    case DesignChange::Kind::RowRemoved: return RowChange::Removed;
    case DesignChange::Kind::RowMoved: return RowChange::Moved;
    default: return RowChange::Changed;
    }
}

// A relabelling and a note concern one column; a cell, a class or a range the whole row.
bool oneColumnOnly(DesignChange::Kind kind)
{
    return kind == DesignChange::Kind::Relabelled || kind == DesignChange::Kind::NoteChanged;
}

} // namespace

CompareController::CompareController(Workspace& workspace, TreeColumns& columns, SelectAsClick selectAsClick,
                                     QWidget* window)
    : QObject(window), m_workspace(workspace), m_columns(columns), m_selectAsClick(std::move(selectAsClick)),
      m_pane(new ui::ComparePane(window))
{
    m_pane->hide();
    m_actions.compareWith = makeCommand(this, {.name = "CompareWith1", .hint = "Mark what changed from another design file"});
    m_actions.compareWith->setText(QStringLiteral("Compare with\u2026")); // a caption is Latin-1, the ellipsis is not
    m_actions.nextChange = makeCommand(this, {.name = "NextChange1", .caption = "Next change",
                                              .key = QKeySequence(Qt::Key_F8), .keyWorks = Qt::WindowShortcut});
    m_actions.previousChange =
        makeCommand(this, {.name = "PreviousChange1", .caption = "Previous change",
                           .key = QKeySequence(Qt::SHIFT | Qt::Key_F8), .keyWorks = Qt::WindowShortcut});
    m_actions.nextChange->setEnabled(false);
    m_actions.previousChange->setEnabled(false);
    connect(m_actions.compareWith, &QAction::triggered, this, &CompareController::compareWith);
    connect(m_actions.nextChange, &QAction::triggered, m_pane, [this] { m_pane->step(+1); });
    connect(m_actions.previousChange, &QAction::triggered, m_pane, [this] { m_pane->step(-1); });
    connect(m_pane, &ui::ComparePane::changeChosen, this, &CompareController::chooseChange);
    connect(m_pane, &ui::ComparePane::closeRequested, this, [this] {
        end();
        m_columns.view(TreeId::FR)->setFocus(Qt::OtherFocusReason); // the keys go back to the trees
    });
    for (TreeId id : model::kAllTrees)
        if (ui::NodeDelegate* delegate = delegateOf(m_columns, id))
            delegate->setChangeMarker([this, id](const QModelIndex& index) {
                return m_active ? markOf(id, m_columns.adapter(id)->rowOf(index)) : RowChange::None;
            });
    m_workspace.design().addObserver(this);
}

CompareController::~CompareController()
{
    for (TreeId id : model::kAllTrees)
        if (ui::NodeDelegate* delegate = delegateOf(m_columns, id))
            delegate->setChangeMarker({});
    m_workspace.design().removeObserver(this);
}

void CompareController::compareWith()
{
    const auto path = m_workspace.prompter().chooseOpenPath();
    if (path)
        compareWithFile(QFile::encodeName(*path).toStdString());
}

void CompareController::compareWithFile(const std::string& path)
{
    m_workspace.run([&] {
        // Read whole and checked before anything on screen changes, like an open.
        model::Design other;
        io::openInto(other, io::readDesignFile(path));
        m_diff = model::compareDesigns(other, m_workspace.design());
        show(QFileInfo(QFile::decodeName(path.c_str())).fileName());
    });
}

void CompareController::show(const QString& otherName)
{
    std::vector<ui::ComparePane::Entry> entries;
    entries.reserve(m_diff.changes.size());
    for (const DesignChange& change : m_diff.changes)
        entries.push_back({QString::fromStdString(change.line), kindOf(change)});
    m_pane->showChanges(m_diff.same() ? QString::fromLatin1(kNoChangesFrom).arg(otherName)
                                      : QString::fromLatin1(kChangesFrom).arg(otherName).arg(m_diff.changes.size()),
                        entries);
    markRows();
    m_active = true;
    m_actions.nextChange->setEnabled(!m_diff.same());
    m_actions.previousChange->setEnabled(!m_diff.same());
    m_pane->show();
    m_pane->list()->setFocus(Qt::OtherFocusReason);
    repaintTrees();
}

void CompareController::markRows()
{
    const model::Design& design = m_workspace.design();
    const auto rows = static_cast<std::size_t>(design.tree(TreeId::FR).size());
    for (auto& marks : m_marks)
        marks.assign(rows, RowChange::None);
    for (const DesignChange& change : m_diff.changes) {
        if (change.newRow < 0 || static_cast<std::size_t>(change.newRow) >= rows)
            continue;
        const auto first = static_cast<std::size_t>(change.newRow);
        switch (change.kind) {
        case DesignChange::Kind::RowAdded:
            for (auto& marks : m_marks)
                std::fill_n(marks.begin() + static_cast<std::ptrdiff_t>(first), std::min(change.rows, rows - first),
                            RowChange::Added);
            break;
        case DesignChange::Kind::RowMoved: {
            // The subtree moved with its row; what changed inside it says so.
            const model::DesignTree& fr = design.tree(TreeId::FR);
            const auto size = static_cast<std::size_t>(fr.subtreeSize(fr.nodeAt(change.newRow)));
            for (auto& marks : m_marks)
                std::replace(marks.begin() + static_cast<std::ptrdiff_t>(first),
                             marks.begin() + static_cast<std::ptrdiff_t>(std::min(first + size, rows)),
                             RowChange::None, RowChange::Moved);
            break;
        }
        default:
            if (oneColumnOnly(change.kind))
                mark(change.tree, change.newRow, RowChange::Changed);
            else
                for (TreeId id : model::kAllTrees)
                    mark(id, change.newRow, RowChange::Changed);
        }
    }
}

// An added row stays added whatever else is said of it; a change outweighs a move.
void CompareController::mark(TreeId tree, int row, RowChange change)
{
    RowChange& at = m_marks[slot(tree)][static_cast<std::size_t>(row)];
    if (at != RowChange::Added)
        at = change;
}

RowChange CompareController::markOf(TreeId tree, int row) const
{
    const auto& marks = m_marks[slot(tree)];
    return row >= 0 && static_cast<std::size_t>(row) < marks.size() ? marks[static_cast<std::size_t>(row)]
                                                                    : RowChange::None;
}

void CompareController::chooseChange(int index)
{
    if (!m_active || index < 0 || static_cast<std::size_t>(index) >= m_diff.changes.size())
        return;
    const DesignChange& change = m_diff.changes[static_cast<std::size_t>(index)];
    if (change.newRow < 0 || change.newRow >= m_workspace.design().tree(TreeId::FR).size())
        return; // a removed row, a title or a level colour: nothing to select
    // A click selects only rows on screen: open the branches above the row first.
    const model::DesignTree& fr = m_workspace.design().tree(TreeId::FR);
    std::vector<int> ancestors;
    for (const model::Node* p = fr.parentOf(fr.nodeAt(change.newRow)); p; p = fr.parentOf(p))
        ancestors.push_back(fr.rowOf(p));
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        m_columns.setExpanded(*it, true);
    m_selectAsClick(oneColumnOnly(change.kind) ? change.tree : TreeId::FR, change.newRow);
}

void CompareController::end()
{
    if (!m_active)
        return;
    m_active = false;
    m_diff = {};
    for (auto& marks : m_marks)
        marks = {};
    m_pane->showChanges({}, {});
    m_pane->hide();
    m_actions.nextChange->setEnabled(false);
    m_actions.previousChange->setEnabled(false);
    repaintTrees();
}

void CompareController::stepFinished(const model::StepChanges& changes)
{
    using model::StepChanges;
    if (changes.has(StepChanges::Structure | StepChanges::Texts | StepChanges::Titles | StepChanges::Aspects |
                    StepChanges::Replaced | StepChanges::Looks))
        end();
}

void CompareController::repaintTrees()
{
    for (TreeId id : model::kAllTrees)
        m_columns.view(id)->viewport()->update();
}

} // namespace app
