// Commands in sequence, and the cases a single command on the common design
// cannot show: renumbering that waits, protection of whichever row is first,
// duplicating deep subtrees and digit-first labels, flags.

#include "DesignTestSupport.h"

#include "model/Numbering.h"
#include "model/UserError.h"

#include <gtest/gtest.h>

using model::Design;
using model::TreeId;
using testsupport::Outline;
using testsupport::outlineOf;

namespace {

Design* makeDesign(Design& d, const Outline& outline)
{
    testsupport::buildTagged(d, outline);
    d.renumber();
    return &d;
}

std::string text(const Design& d, int row, TreeId id = TreeId::FR)
{
    return d.tree(id).nodeAt(row)->text().str();
}

TEST(AddSiblingAbove, OnFirstRowTheNewRowIsProtectedAndTheOldOneNot)
{
    Design d;
    makeDesign(d, {"a", " b"});
    EXPECT_EQ(d.addSiblingAbove(0), 0);
    EXPECT_EQ(outlineOf(d), (Outline{"1 __________", "2 a", " 2.1 b"}));
    EXPECT_TRUE(d.deleteRow(0).refused);
    EXPECT_FALSE(d.deleteRow(1).refused);
    EXPECT_EQ(outlineOf(d), (Outline{"1 __________"}));
    EXPECT_TRUE(testsupport::shapeHolds(d));
}

TEST(AddUncle, NumbersTheNewRowAtOnce)
{
    // 1              1
    //   1.1            1.1
    //   1.2            1.2
    //     1.2.1          1.2.1
    //     1.2.2          1.2.2
    //     1.2.3  <-      1.2.3
    //   1.3            1.3
    //                  1.4 __________
    Design d;
    makeDesign(d, {"x", " y", " z", "  p", "  q", "  r", " w"});
    EXPECT_EQ(d.addUncle(5), 7);
    EXPECT_EQ(text(d, 7), "1.4 __________");
    EXPECT_EQ(text(d, 6), "1.3 w");
    EXPECT_TRUE(testsupport::partnersHold(d));
}

TEST(Delete, LaterSiblingsAreRenumberedAtOnce)
{
    // A saved file or an export right after a Delete must not show two rows 1.3.
    Design d;
    makeDesign(d, {"n", " p", " q", " r"});
    d.deleteRow(2);
    EXPECT_EQ(text(d, 2), "1.2 r");
    EXPECT_EQ(text(d, 2, TreeId::PV), "1.2 r''");
}

TEST(Delete, RefusesWhicheverNodeIsFirstAtThatMoment)
{
    Design d;
    makeDesign(d, {"a", " b", "h"});
    EXPECT_TRUE(d.moveUp(2).moved);
    EXPECT_EQ(outlineOf(d), (Outline{"1 h", "2 a", " 2.1 b"}));
    EXPECT_TRUE(d.deleteRow(0).refused);
    EXPECT_EQ(d.deleteRow(1).selectRow, 0);
    EXPECT_EQ(outlineOf(d), (Outline{"1 h"}));
}

TEST(Move, UpThenDownRestoresTheOrderForEveryRow)
{
    const Outline start{"a", " b", "  c", " d", "  e", "  f", "   g", " h", "i", " j", "k"};
    Design reference;
    makeDesign(reference, start);
    for (int k = 0; k < reference.rowCount(); ++k) {
        Design d;
        makeDesign(d, start);
        const model::MoveResult upResult = d.moveUp(k);
        if (!upResult.moved)
            continue;
        // The moved node is the one at the returned row.
        EXPECT_EQ(model::strippedLabel(text(d, upResult.row)), model::strippedLabel(text(reference, k)));
        const model::MoveResult downResult = d.moveDown(upResult.row);
        EXPECT_EQ(downResult.row, k);
        EXPECT_EQ(outlineOf(d), outlineOf(reference)) << "row " << k;
    }
}

TEST(Move, MovedSubtreesAreRenumberedAtEveryLevel)
{
    // 1 A                1 A
    //   1.1 B              1.1 B
    //   1.2 X              1.2 C
    //     1.2.1 x1           1.2.1 c1
    //   1.3 C     up ->        1.2.1.1 c2
    //     1.3.1 c1         1.3 X
    //       1.3.1.1 c2       1.3.1 x1
    Design d;
    makeDesign(d, {"A", " B", " X", "  x1", " C", "  c1", "   c2"});
    EXPECT_EQ(d.moveUp(4).row, 2);
    EXPECT_EQ(outlineOf(d), (Outline{"1 A", " 1.1 B", " 1.2 C", "  1.2.1 c1", "   1.2.1.1 c2", " 1.3 X", "  1.3.1 x1"}));
    EXPECT_TRUE(testsupport::partnersHold(d));
}

TEST(Duplicate, CopiesEveryLevelOfADeepLastChild)
{
    Design d;
    makeDesign(d, {"a", " b", " c", "  d", "   e", "    f", "   g", " h"});
    EXPECT_EQ(d.duplicate(2), 8);
    EXPECT_EQ(outlineOf(d), (Outline{"1 a", " 1.1 b", " 1.2 c", "  1.2.1 d", "   1.2.1.1 e", "    1.2.1.1.1 f",
                                     "   1.2.1.2 g", " 1.3 h", " 1.4 c copy", "  1.4.1 d", "   1.4.1.1 e",
                                     "    1.4.1.1.1 f", "   1.4.1.2 g"}));
    EXPECT_TRUE(testsupport::shapeHolds(d));
    EXPECT_TRUE(testsupport::partnersHold(d));
}

TEST(Duplicate, OfTheOnlyTopLevelNodeDoublesTheRows)
{
    Design d;
    makeDesign(d, {"a", " b", "  c", " d"});
    EXPECT_EQ(d.duplicate(0), 4);
    EXPECT_EQ(d.rowCount(), 8);
    EXPECT_EQ(outlineOf(d), (Outline{"1 a", " 1.1 b", "  1.1.1 c", " 1.2 d", "2 a copy", " 2.1 b", "  2.1.1 c",
                                     " 2.2 d"}));
}

TEST(Duplicate, CopyIsIndependentOfItsSource)
{
    Design d;
    makeDesign(d, {"a", " b"});
    const int copy = d.duplicate(1);
    d.editText(TreeId::DP, copy, "1.2 changed");
    EXPECT_EQ(text(d, 1, TreeId::DP), "1.1 b'");
    d.deleteRow(1);
    EXPECT_EQ(text(d, 1, TreeId::DP), "1.1 changed");
}

TEST(Duplicate, LabelThatLostItsNumberLosesItsFirstWordInSourceAndCopy)
{
    // The user typed over 1.2 with "3 way valve"; the renumbering that follows
    // the copy treats "3" as the number, as any renumbering would.
    Design d;
    makeDesign(d, {"n", " p", " q", " r"});
    d.editText(TreeId::FR, 2, "3 way valve");
    EXPECT_EQ(d.duplicate(2), 4);
    EXPECT_EQ(text(d, 2), "1.2 way valve");
    EXPECT_EQ(text(d, 4), "1.4 way valve copy");
}

TEST(Duplicate, KeepsDigitFirstLabelsBehindNumbers)
{
    // Stripping everything before copying would strip "1.2 7 seals" twice and
    // leave "seals"; labels anywhere in the design keep their first word.
    Design d;
    makeDesign(d, {"n", " p", " q", " r"});
    d.editText(TreeId::FR, 1, "1.1 9 lives");
    d.editText(TreeId::FR, 2, "1.2 7 seals");
    d.renumber();
    EXPECT_EQ(d.duplicate(2), 4);
    EXPECT_EQ(outlineOf(d), (Outline{"1 n", " 1.1 9 lives", " 1.2 7 seals", " 1.3 r", " 1.4 7 seals copy"}));
}

TEST(Duplicate, OfACopyAppendsASecondSuffix)
{
    Design d;
    makeDesign(d, {"a", " b"});
    d.duplicate(d.duplicate(1));
    EXPECT_EQ(text(d, 3), "1.3 b copy copy");
}

TEST(Drop, FirstRowOnAnotherTopLevelNodeHandsOverTheProtection)
{
    Design d;
    makeDesign(d, {"a", "h"});
    EXPECT_TRUE(d.drop(0, 1));
    EXPECT_EQ(outlineOf(d), (Outline{"1 h", " 1.1 a"}));
    EXPECT_TRUE(d.deleteRow(0).refused);
    EXPECT_FALSE(d.deleteRow(1).refused);
}

TEST(Drop, NeverClearsTheModifiedFlag)
{
    Design d;
    makeDesign(d, {"a", " b", " c"});
    d.setModified(true);
    EXPECT_TRUE(d.drop(1, 2));
    EXPECT_TRUE(d.modified());
    EXPECT_FALSE(d.drop(1, 1));
    EXPECT_TRUE(d.modified());
}

TEST(Drop, RenumbersEvenWhenNothingMoves)
{
    Design d;
    makeDesign(d, {"a", " b"});
    d.editText(TreeId::PV, 1, "9.9 wrong");
    d.setModified(false);
    EXPECT_FALSE(d.drop(0, 1));
    EXPECT_EQ(text(d, 1, TreeId::PV), "1.1 wrong");
    EXPECT_FALSE(d.modified());
}

TEST(AddFirstRow, SeedsOnlyAnEmptyDesign)
{
    Design d;
    EXPECT_EQ(d.addFirstRow(), 0);
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(outlineOf(d, id), (Outline{"1 __________"}));
    EXPECT_TRUE(d.modified());
    EXPECT_EQ(d.addFirstRow(), model::kNoRow);
    EXPECT_EQ(d.rowCount(), 1);
}

TEST(EditText, ChangesOneTreeSetsTheFlagAndWaitsForRenumbering)
{
    Design d;
    makeDesign(d, {"a", " b"});
    d.setModified(false);
    d.editText(TreeId::DP, 1, "3 way valve");
    EXPECT_EQ(text(d, 1, TreeId::DP), "3 way valve");
    EXPECT_EQ(text(d, 1, TreeId::FR), "1.1 b");
    EXPECT_TRUE(d.modified());
    d.renumber();
    EXPECT_EQ(text(d, 1, TreeId::DP), "1.1 way valve");
}

TEST(EditText, KeepsALabelOnOneLineOfTheTreeText)
{
    // A pasted line break, tab or NUL would split the node's line in the saved
    // file, give it a level, or end the tree early.
    Design d;
    makeDesign(d, {"a"});
    d.editText(TreeId::FR, 0, std::string("\tPump\r\nflow\0rate", 16));
    EXPECT_EQ(text(d, 0), " Pump  flow rate");
}

TEST(EditText, SameTextChangesNothing)
{
    Design d;
    makeDesign(d, {"a"});
    d.setModified(false);
    d.editText(TreeId::FR, 0, "1 a");
    EXPECT_FALSE(d.modified());
    d.editText(TreeId::FR, 5, "out of range");
    EXPECT_FALSE(d.modified());
}

TEST(Flags, SettingModifiedClearsBackedUp)
{
    Design d;
    d.setBackedUp(true);
    d.setModified(true);
    EXPECT_FALSE(d.backedUp());
    d.setBackedUp(true);
    EXPECT_TRUE(d.modified());
    EXPECT_TRUE(d.backedUp());
    d.setModified(false);
    EXPECT_TRUE(d.backedUp());
    d.setModified(true);
    EXPECT_FALSE(d.backedUp());
}

TEST(ReplaceTrees, InstallsThreeTreesThatRenumberLater)
{
    Design d;
    makeDesign(d, {"old"});
    std::array<model::DesignTree, model::kTreeCount> trees;
    for (auto& t : trees)
        testsupport::buildTree(t, {"7 x", " 7.7 y"});
    d.replaceTrees(std::move(trees));
    EXPECT_EQ(outlineOf(d, TreeId::PV), (Outline{"7 x", " 7.7 y"}));
    EXPECT_TRUE(testsupport::shapeHolds(d));
    d.renumber();
    EXPECT_EQ(outlineOf(d, TreeId::PV), (Outline{"1 x", " 1.1 y"}));
}

TEST(ReplaceTrees, RefusesTreesOfUnequalShapeAndKeepsTheDesign)
{
    // Same size, different shape:
    //   FR, DP: x          PV: x
    //             y              y
    //               z            z
    Design d;
    makeDesign(d, {"old"});
    std::array<model::DesignTree, model::kTreeCount> trees;
    testsupport::buildTree(trees[0], {"x", " y", "  z"});
    testsupport::buildTree(trees[1], {"x", " y", "  z"});
    testsupport::buildTree(trees[2], {"x", " y", " z"});
    EXPECT_THROW(d.replaceTrees(std::move(trees)), model::UserError);
    EXPECT_EQ(outlineOf(d, TreeId::PV), (Outline{"1 old''"}));
    EXPECT_TRUE(testsupport::shapeHolds(d));
}

} // namespace
