// The rows a tree view shows are always those of the tree walked in order,
// each under expanded ancestors only, whatever the design went through:
// commands, pastes, undo and redo, runs of rows inserted or removed at once,
// and expansion by hand. Rows that leave the tree come back collapsed.

#include "model/CopiedRows.h"
#include "model/Design.h"
#include "model/EditRecord.h"
#include "ui/TTreeView.h"
#include "ui/TreeAdapter.h"
#include "ui/VisibleRows.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace {

using model::Node;
using model::TreeId;
using Shown = std::vector<std::pair<const Node*, int>>;

// The oracle: every node whose ancestors are all expanded, in pre-order.
Shown shownRows(const Node* parent, int level, const std::function<bool(const Node*)>& expanded)
{
    Shown rows;
    for (const Node* child : parent->children) {
        rows.emplace_back(child, level);
        if (expanded(child)) {
            Shown below = shownRows(child, level + 1, expanded);
            rows.insert(rows.end(), below.begin(), below.end());
        }
    }
    return rows;
}

Shown listed(const ui::VisibleRows& rows)
{
    Shown out;
    for (int i = 0; i < rows.size(); ++i)
        out.emplace_back(rows[i].node, rows[i].level);
    return out;
}

Shown listed(const ui::TTreeView& view, const ui::TreeAdapter& adapter)
{
    Shown out;
    for (QModelIndex i = adapter.index(0, 0); i.isValid(); i = view.indexBelow(i))
        out.emplace_back(static_cast<const Node*>(i.constInternalPointer()), i.data(ui::TreeAdapter::LevelRole).toInt());
    return out;
}

TEST(TreeViewLayout, ShownRowsFollowCommandsUndoRedoAndExpansion)
{
    model::Design design;
    ui::TreeAdapter adapter(design, TreeId::FR);
    ui::TTreeView view(QStringLiteral("FRV"), QStringLiteral("FR"));
    view.setModel(&adapter);
    std::mt19937 random(11);
    auto pick = [&](int n) { return n <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<std::unique_ptr<model::EditRecord>> done, undone;
    model::CopiedRows run; // three subtrees side by side: pasted, undone and redone as a run
    run.levels = {0, 1, 0, 0};
    for (auto& texts : run.texts)
        texts = {"p", "q", "r", "s"};
    design.addFirstRow();
    for (int step = 0; step < 600; ++step) {
        const int k = pick(design.rowCount());
        const int what = pick(15);
        const QModelIndex index = adapter.indexOfRow(k);
        if (what >= 10 && what < 14) { // by hand, as the arrow, the keys or the window do it
            if (what == 10 || what == 11)
                view.setExpanded(index, what == 10);
            else if (what == 12)
                view.expandSubtreesWithinLimit({index, adapter.indexOfRow(pick(design.rowCount()))});
            else if (pick(4) == 0)
                view.collapseAll();
        } else if (what == 8 && !done.empty()) {
            done.back()->undo();
            undone.push_back(std::move(done.back()));
            done.pop_back();
        } else if (what == 9 && !undone.empty()) {
            undone.back()->redo();
            done.push_back(std::move(undone.back()));
            undone.pop_back();
        } else {
            design.startRecording();
            switch (what) {
            case 0: design.addSiblingBelow(k); break;
            case 1: design.addChild(k); break;
            case 2: design.addUncle(k); break;
            case 3: design.deleteRow(k); break;
            case 4: design.moveUp(k); break;
            case 5: design.moveDown(k); break;
            case 6: design.drop(k, pick(design.rowCount())); break;
            case 7: design.duplicate(design.rowCount() > 80 ? 0 : k); break;
            default:
                design.paste(k, run, k % 2 ? model::PastePlace::NextSiblings : model::PastePlace::LastChildren);
                break;
            }
            done.push_back(design.stopRecording());
            undone.clear();
        }
        const auto expanded = [&](const Node* n) { return view.isExpanded(adapter.indexOfRow(adapter.tree().rowOf(n))); };
        ASSERT_EQ(listed(view, adapter), shownRows(adapter.tree().root(), 0, expanded)) << "step " << step;
    }
}

TEST(TreeViewLayout, DeletedRowComesBackCollapsedByUndo)
{
    model::Design design;
    ui::TreeAdapter adapter(design, TreeId::FR);
    ui::TTreeView view(QStringLiteral("FRV"), QStringLiteral("FR"));
    view.setModel(&adapter);
    design.addFirstRow();
    design.addChild(0);
    design.addChild(1); // 0 > 1 > 2
    view.expandAllWithinLimit();
    ASSERT_TRUE(view.isExpanded(adapter.indexOfRow(1)));
    design.startRecording();
    design.deleteRow(1);
    std::unique_ptr<model::EditRecord> record = design.stopRecording();
    record->undo();
    EXPECT_TRUE(view.isExpanded(adapter.indexOfRow(0)));
    EXPECT_FALSE(view.isExpanded(adapter.indexOfRow(1)));
    EXPECT_FALSE(view.indexBelow(adapter.indexOfRow(1)).isValid()); // row 2 hidden
}

// Runs of several rows at once, as a paste and its undo announce them: each
// case expands some rows, then inserts or removes children first..last of a
// parent; the list must equal the oracle's.
struct RunCase {
    const char* name;
    std::vector<int> expandedRows; // rows of the starting tree
    int parentRow;                 // -1: the top level
    int first;
    int last;
    bool insert;
};

TEST(TreeViewLayout, RunsOfRowsAreSplicedWhereTheyBelong)
{
    const RunCase cases[] = {
        {"removal of tops with expanded subtrees", {0, 1, 6}, -1, 0, 1, false},
        {"removal inside an expanded parent", {0, 1, 6}, 0, 1, 2, false},
        {"removal under a collapsed parent", {6}, 0, 0, 2, false},
        {"insertion at the top level, first", {0, 1}, -1, 0, 2, true},
        {"insertion in the middle of an expanded parent", {0, 1}, 0, 1, 3, true},
        {"insertion after the last child", {0, 6}, 0, 3, 4, true},
        {"insertion under a collapsed parent", {}, 0, 0, 1, true},
    };
    for (const RunCase& c : cases) {
        // 0 A, 1 B, 2 B1, 3 B2, 4 C, 5 D, 6 E, 7 F, 8 F1 (levels 0 1 2 2 1 1 0 1 2).
        model::DesignTree tree;
        Node* a = tree.appendTopLevel("A");
        Node* b = tree.appendChild(a, "B");
        tree.appendChild(b, "B1");
        tree.appendChild(b, "B2");
        tree.appendChild(a, "C");
        tree.appendChild(a, "D");
        Node* e = tree.appendTopLevel("E");
        tree.appendChild(tree.appendChild(e, "F"), "F1");
        ui::VisibleRows rows;
        rows.setTree(&tree);
        rows.reset();
        for (int r : c.expandedRows)
            rows.expand(tree.nodeAt(r));
        Node* parent = c.parentRow < 0 ? tree.root() : tree.nodeAt(c.parentRow);
        if (c.insert) {
            for (int i = c.first; i <= c.last; ++i)
                tree.insert(parent, i, "new");
            rows.insertRun(parent, c.first, c.last);
        } else {
            rows.takeRun(parent, c.first, c.last, true);
            for (int i = c.last; i >= c.first; --i)
                tree.remove(parent->children[static_cast<std::size_t>(i)]);
        }
        const auto expanded = [&](const Node* n) { return rows.isExpanded(n); };
        EXPECT_EQ(listed(rows), shownRows(tree.root(), 0, expanded)) << c.name;
    }
}

} // namespace
