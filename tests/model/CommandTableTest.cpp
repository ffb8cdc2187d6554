// Every command on one small design: where the new, moved, copied or removed
// rows end up, what is renumbered, which row to select, and the modified flag.
// After each command the three trees keep one shape and every node row holds
// the partners that belonged together (FR x, DP x', PV x'').

#include "DesignTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using model::Design;
using testsupport::Outline;

namespace {

// The design every case starts from, renumbered, modified flag clear:
//
//   row 0  1 a
//   row 1    1.1 b
//   row 2      1.1.1 c
//   row 3      1.1.2 d
//   row 4    1.2 e
//   row 5    1.3 f
//   row 6      1.3.1 g
//   row 7  2 h
const Outline kStart{"a", " b", "  c", "  d", " e", " f", "  g", "h"};
const Outline kNumbered{"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "  1.3.1 g", "2 h"};

using Command = std::function<std::string(Design&)>;

std::string asRow(int row) { return "row " + std::to_string(row); }

Command below(int k) { return [k](Design& d) { return asRow(d.addSiblingBelow(k)); }; }
Command above(int k) { return [k](Design& d) { return asRow(d.addSiblingAbove(k)); }; }
Command child(int k) { return [k](Design& d) { return asRow(d.addChild(k)); }; }
Command uncle(int k) { return [k](Design& d) { return asRow(d.addUncle(k)); }; }
Command duplicate(int k) { return [k](Design& d) { return asRow(d.duplicate(k)); }; }

Command remove(int k)
{
    return [k](Design& d) {
        const model::DeleteResult r = d.deleteRow(k);
        return r.refused ? std::string("refused") : "select " + std::to_string(r.selectRow);
    };
}

std::string asMove(const model::MoveResult& r)
{
    if (!r.acted)
        return "none";
    return std::string(r.moved ? "moved" : "acted") + " row " + std::to_string(r.row);
}

Command up(int k) { return [k](Design& d) { return asMove(d.moveUp(k)); }; }
Command down(int k) { return [k](Design& d) { return asMove(d.moveDown(k)); }; }
Command drop(int s, int t) { return [s, t](Design& d) { return std::string(d.drop(s, t) ? "dropped" : "kept"); }; }

struct CommandCase {
    const char* name;
    Command command;
    std::string result;
    Outline fr;     // FR afterwards; DP and PV are checked as its partners
    bool modifies;
};
void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class EveryCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(EveryCommand, KeepsShapeAndPartners)
{
    const CommandCase& c = GetParam();
    Design d;
    testsupport::buildTagged(d, kStart);
    d.renumber();
    d.setModified(false);
    d.setBackedUp(true);
    ASSERT_EQ(testsupport::outlineOf(d), kNumbered);

    EXPECT_EQ(c.command(d), c.result);
    EXPECT_EQ(testsupport::outlineOf(d), c.fr);
    EXPECT_TRUE(testsupport::shapeHolds(d));
    EXPECT_TRUE(testsupport::partnersHold(d));
    EXPECT_EQ(d.modified(), c.modifies);
    EXPECT_EQ(d.backedUp(), !c.modifies);
}

const auto kAdding = ::testing::Values(
    // A new sibling goes to the end of the group, never directly after S.
    CommandCase{"BelowFirstChild", below(1), "row 7",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "  1.3.1 g", " 1.4 __________", "2 h"},
                true},
    CommandCase{"BelowTopLevelWithTwoTopLevelNodes", below(0), "row 8",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "  1.3.1 g", "2 h", "3 __________"},
                true},
    CommandCase{"BelowDeepLeaf", below(2), "row 4",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", "  1.1.3 __________", " 1.2 e", " 1.3 f", "  1.3.1 g", "2 h"},
                true},
    CommandCase{"AboveFirstRow", above(0), "row 0",
                {"1 __________", "2 a", " 2.1 b", "  2.1.1 c", "  2.1.2 d", " 2.2 e", " 2.3 f", "  2.3.1 g", "3 h"},
                true},
    CommandCase{"AboveNodeWithChildren", above(5), "row 5",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 __________", " 1.4 f", "  1.4.1 g", "2 h"},
                true},
    CommandCase{"ChildAfterExistingChildren", child(1), "row 4",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", "  1.1.3 __________", " 1.2 e", " 1.3 f", "  1.3.1 g", "2 h"},
                true},
    CommandCase{"ChildOfLeaf", child(4), "row 5",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", "  1.2.1 __________", " 1.3 f", "  1.3.1 g", "2 h"},
                true},
    CommandCase{"ChildOfLastRow", child(7), "row 8",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "  1.3.1 g", "2 h", " 2.1 __________"},
                true},
    // The uncle follows the subtrees of the parent and its later siblings, unnumbered.
    CommandCase{"UncleOfFirstGrandchild", uncle(2), "row 7",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "  1.3.1 g", " 1.4 __________", "2 h"},
                true},
    CommandCase{"UncleOfLastGrandchild", uncle(6), "row 7",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "  1.3.1 g", " 1.4 __________", "2 h"},
                true},
    CommandCase{"UncleOfLevelOneRefused", uncle(1), "row -1", kNumbered, false},
    CommandCase{"UncleOfTopLevelRefused", uncle(0), "row -1", kNumbered, false});
INSTANTIATE_TEST_SUITE_P(Adding, EveryCommand, kAdding, [](const auto& info) { return std::string(info.param.name); });

const auto kRemovingAndMoving = ::testing::Values(
    // Delete does not renumber: f keeps 1.3 and g 1.3.1 until the next renumbering.
    CommandCase{"DeleteMiddleChild", remove(4), "select 4",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 f", "  1.2.1 g", "2 h"}, true},
    CommandCase{"DeleteFirstChildWithSubtree", remove(1), "select 1", {"1 a", " 1.1 e", " 1.2 f", "  1.2.1 g", "2 h"},
                true},
    CommandCase{"DeleteLastChildSelectsPrevious", remove(5), "select 4",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", "2 h"}, true},
    CommandCase{"DeleteOnlyChildSelectsParent", remove(6), "select 5",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "2 h"}, true},
    CommandCase{"DeleteSecondTopLevel", remove(7), "select 0",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "  1.3.1 g"}, true},
    CommandCase{"DeleteFirstRowRefused", remove(0), "refused", kNumbered, false},

    CommandCase{"UpOverLeaf", up(5), "moved row 4",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 f", "  1.2.1 g", " 1.3 e", "2 h"}, true},
    CommandCase{"UpOverSubtree", up(4), "moved row 1",
                {"1 a", " 1.1 e", " 1.2 b", "  1.2.1 c", "  1.2.2 d", " 1.3 f", "  1.3.1 g", "2 h"}, true},
    CommandCase{"UpOverWholeFirstRow", up(7), "moved row 0",
                {"1 h", "2 a", " 2.1 b", "  2.1.1 c", "  2.1.2 d", " 2.2 e", " 2.3 f", "  2.3.1 g"}, true},
    CommandCase{"UpOnFirstChildStillActs", up(1), "acted row 1", kNumbered, true},
    CommandCase{"UpOnFirstRowDoesNothing", up(0), "none", kNumbered, false},

    CommandCase{"DownBelowLeaf", down(1), "moved row 2",
                {"1 a", " 1.1 e", " 1.2 b", "  1.2.1 c", "  1.2.2 d", " 1.3 f", "  1.3.1 g", "2 h"}, true},
    CommandCase{"DownBelowSubtree", down(4), "moved row 6",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 f", "  1.2.1 g", " 1.3 e", "2 h"}, true},
    CommandCase{"DownOfFirstRow", down(0), "moved row 1",
                {"1 h", "2 a", " 2.1 b", "  2.1.1 c", "  2.1.2 d", " 2.2 e", " 2.3 f", "  2.3.1 g"}, true},
    CommandCase{"DownOnLastChildDoesNothing", down(5), "none", kNumbered, false},
    CommandCase{"DownOnOnlyChildDoesNothing", down(6), "none", kNumbered, false},
    CommandCase{"DownOnLastRowDoesNothing", down(7), "none", kNumbered, false});
INSTANTIATE_TEST_SUITE_P(RemovingAndMoving, EveryCommand, kRemovingAndMoving,
                         [](const auto& info) { return std::string(info.param.name); });

const auto kCopyingAndDropping = ::testing::Values(
    CommandCase{"DuplicateSubtree", duplicate(1), "row 7",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "  1.3.1 g", " 1.4 b copy", "  1.4.1 c",
                 "  1.4.2 d", "2 h"},
                true},
    CommandCase{"DuplicateOnlyChild", duplicate(6), "row 7",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "  1.3.1 g", "  1.3.2 g copy", "2 h"},
                true},
    CommandCase{"DuplicateFirstRow", duplicate(0), "row 8",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "  1.3.1 g", "2 h", "3 a copy", " 3.1 b",
                 "  3.1.1 c", "  3.1.2 d", " 3.2 e", " 3.3 f", "  3.3.1 g"},
                true},

    // A drop sets the modified flag only when something moved.
    CommandCase{"DropOnEarlierSibling", drop(5, 1), "dropped",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", "  1.1.3 f", "   1.1.3.1 g", " 1.2 e", "2 h"}, true},
    CommandCase{"DropOnGrandparent", drop(2, 0), "dropped",
                {"1 a", " 1.1 b", "  1.1.1 d", " 1.2 e", " 1.3 f", "  1.3.1 g", " 1.4 c", "2 h"}, true},
    CommandCase{"DropOnOwnParentGoesToEnd", drop(4, 0), "dropped",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 f", "  1.2.1 g", " 1.3 e", "2 h"}, true},
    CommandCase{"DropLastChildOnOwnParent", drop(5, 0), "kept", kNumbered, false},
    CommandCase{"DropOnDescendant", drop(0, 2), "kept", kNumbered, false},
    CommandCase{"DropOnChild", drop(5, 6), "kept", kNumbered, false},
    CommandCase{"DropOnItself", drop(1, 1), "kept", kNumbered, false},
    CommandCase{"DropIntoOtherBranch", drop(4, 6), "dropped",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 f", "  1.2.1 g", "   1.2.1.1 e", "2 h"}, true},
    // Below the last row the target is the first row.
    CommandCase{"DropTopLevelBelowLastRow", drop(7, 0), "dropped",
                {"1 a", " 1.1 b", "  1.1.1 c", "  1.1.2 d", " 1.2 e", " 1.3 f", "  1.3.1 g", " 1.4 h"}, true},
    CommandCase{"DropFirstRowBelowLastRow", drop(0, 0), "kept", kNumbered, false},
    CommandCase{"DropFirstRowOnOtherTopLevel", drop(0, 7), "dropped",
                {"1 h", " 1.1 a", "  1.1.1 b", "   1.1.1.1 c", "   1.1.1.2 d", "  1.1.2 e", "  1.1.3 f", "   1.1.3.1 g"},
                true});
INSTANTIATE_TEST_SUITE_P(CopyingAndDropping, EveryCommand, kCopyingAndDropping,
                         [](const auto& info) { return std::string(info.param.name); });

// A row outside the design (no selection) changes nothing and announces nothing.
class NoSelection : public ::testing::TestWithParam<int> {};

TEST_P(NoSelection, EveryCommandDoesNothing)
{
    const int k = GetParam();
    for (const Command& command : {below(k), above(k), child(k), uncle(k), duplicate(k), up(k), down(k), drop(k, 0),
                                   drop(0, k)}) {
        Design d;
        testsupport::buildTagged(d, kStart);
        d.renumber();
        d.setModified(false);
        testsupport::RecordingObserver rec(d);
        d.addObserver(&rec);
        const std::string result = command(d);
        EXPECT_TRUE(result == "row -1" || result == "none" || result == "kept") << result;
        EXPECT_TRUE(rec.lines.empty());
        EXPECT_EQ(testsupport::outlineOf(d), kNumbered);
        EXPECT_FALSE(d.modified());
    }
    Design d;
    testsupport::buildTagged(d, kStart);
    EXPECT_EQ(remove(k)(d), "refused");
}

INSTANTIATE_TEST_SUITE_P(Rows, NoSelection, ::testing::Values(-1, 8, 1 << 30), [](const auto& info) {
    return info.param < 0 ? "RowMinus" + std::to_string(-info.param) : "Row" + std::to_string(info.param);
});

TEST(NoSelection, EmptyDesignRefusesEverything)
{
    Design d;
    EXPECT_EQ(below(0)(d), "row -1");
    EXPECT_EQ(child(0)(d), "row -1");
    EXPECT_EQ(duplicate(0)(d), "row -1");
    EXPECT_EQ(remove(0)(d), "refused");
    EXPECT_EQ(up(0)(d), "none");
    EXPECT_EQ(drop(0, 0)(d), "kept");
    EXPECT_TRUE(d.empty());
    EXPECT_FALSE(d.modified());
}

} // namespace
