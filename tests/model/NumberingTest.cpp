// Outline numbers: stripping one text, and renumbering whole trees.

#include "DesignTestSupport.h"

#include "model/Numbering.h"

#include <gtest/gtest.h>

using model::DesignTree;
using model::Node;
using testsupport::Outline;
using testsupport::buildTree;
using testsupport::outlineOf;

namespace {

struct StripCase {
    const char* name;
    std::string text;
    std::string label;
};
void PrintTo(const StripCase& c, std::ostream* os) { *os << c.name; }

class Strip : public ::testing::TestWithParam<StripCase> {};

TEST_P(Strip, LeavesTheLabel)
{
    EXPECT_EQ(model::strippedLabel(GetParam().text), GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Strip,
    ::testing::Values(
        StripCase{"Empty", "", ""},
        StripCase{"Numbered", "2.1.10 Pump flow", "Pump flow"},
        StripCase{"NumberAndSpaceOnly", "1.2 ", ""},
        StripCase{"NumberWithoutSpace", "1.2", "1.2"},
        StripCase{"DigitsWithoutSpace", "42", "42"},
        StripCase{"LeadingZeroNeverStripped", "0 ring", "0 ring"},
        StripCase{"TypedDigitWordLosesIt", "3 way valve", "way valve"},
        StripCase{"OnlyFirstSpaceGoes", "1.2 7 seals", "7 seals"},
        StripCase{"LaterSpacesRemain", "1  two", " two"},
        StripCase{"NumberGluedToLabel", "1.4Pump", "1.4Pump"},
        StripCase{"LeadingBlank", " 1 A", " 1 A"},
        StripCase{"LetterFirst", "a 1 b", "a 1 b"},
        StripCase{"ColonJustAboveNine", ":1 a", ":1 a"},
        StripCase{"SlashJustBelowZero", "/1 a", "/1 a"},
        StripCase{"HighByteFirst", "\xB9\x31 a", "\xB9\x31 a"}, // superscript one in Windows-1252
        StripCase{"NineFirst", "9 x", "x"}),
    [](const auto& info) { return std::string(info.param.name); });

// Renumbering a label placed at 1.2:
//   A              1 A
//     B      ->      1.1 B
//     <label>        1.2 <expected>
struct RenumberCase {
    const char* name;
    std::string label;
    std::string once;  // after the first renumbering
    std::string twice; // after one more full renumbering
};
void PrintTo(const RenumberCase& c, std::ostream* os) { *os << c.name; }

class RenumberLabel : public ::testing::TestWithParam<RenumberCase> {};

TEST_P(RenumberLabel, AtSecondChildOfFirstNode)
{
    DesignTree tree;
    buildTree(tree, {"A", " B"});
    tree.appendChild(tree.nodeAt(0), GetParam().label);
    tree.renumber();
    EXPECT_EQ(outlineOf(tree), (Outline{"1 A", " 1.1 B", " " + GetParam().once}));
    tree.forceRenumber();
    EXPECT_EQ(tree.nodeAt(2)->text(), GetParam().twice);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, RenumberLabel,
    ::testing::Values(
        RenumberCase{"Plain", "Pump", "1.2 Pump", "1.2 Pump"},
        RenumberCase{"EmptyLabel", "", "1.2 ", "1.2 "},
        RenumberCase{"DigitsNoSpace", "42", "1.2 42", "1.2 42"},
        RenumberCase{"LeadingZeroKept", "0 ring", "1.2 0 ring", "1.2 0 ring"},
        RenumberCase{"TypedOverWithDigitWord", "3 way valve", "1.2 way valve", "1.2 way valve"},
        RenumberCase{"NumberedLabelWithDigit", "1.2 7 seals", "1.2 7 seals", "1.2 7 seals"},
        RenumberCase{"WrongNumberReplaced", "9.9 Pump", "1.2 Pump", "1.2 Pump"},
        RenumberCase{"LongerWrongNumber", "12.345.6 Pump", "1.2 Pump", "1.2 Pump"},
        RenumberCase{"NumberWithoutSpaceGetsSecond", "1.4Pump", "1.2 1.4Pump", "1.2 1.4Pump"},
        RenumberCase{"BlankFirst", " lead", "1.2  lead", "1.2  lead"},
        RenumberCase{"NewNodeLabel", "__________", "1.2 __________", "1.2 __________"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Renumber, TopLevelNodesAndTheirChildren)
{
    // A          1 A
    //   B          1.1 B
    //   C          1.2 C
    // D          2 D
    //   E          2.1 E
    //   F          2.2 F
    DesignTree tree;
    buildTree(tree, {"A", " B", " C", "D", " E", " F"});
    tree.renumber();
    EXPECT_EQ(outlineOf(tree), (Outline{"1 A", " 1.1 B", " 1.2 C", "2 D", " 2.1 E", " 2.2 F"}));
}

TEST(Renumber, EleventhChildOfThirdTopLevelNode)
{
    Outline outline{"a", "b", "c"};
    for (int i = 1; i <= 11; ++i)
        outline.push_back(" c" + std::to_string(i));
    outline.push_back("  x");
    DesignTree tree;
    buildTree(tree, outline);
    tree.renumber();
    EXPECT_EQ(tree.nodeAt(12)->text(), "3.10 c10");
    EXPECT_EQ(tree.nodeAt(13)->text(), "3.11 c11");
    EXPECT_EQ(tree.nodeAt(14)->text(), "3.11.1 x");
}

TEST(Renumber, NumbersHaveNoUpperBoundAndNoLeadingZeros)
{
    DesignTree tree;
    Node* top = tree.appendTopLevel("top");
    for (int i = 0; i < 1000; ++i)
        tree.appendChild(top, "leaf");
    tree.renumber();
    EXPECT_EQ(tree.nodeAt(9)->text(), "1.9 leaf");
    EXPECT_EQ(tree.nodeAt(10)->text(), "1.10 leaf");
    EXPECT_EQ(tree.nodeAt(100)->text(), "1.100 leaf");
    EXPECT_EQ(tree.nodeAt(1000)->text(), "1.1000 leaf");
}

TEST(Renumber, StripNumbersRemovesExactlyWhatRenumberingAdded)
{
    const Outline labels{"A", " ", " 0 ring", "  42", "D"};
    DesignTree tree;
    buildTree(tree, labels);
    tree.renumber();
    tree.stripNumbers();
    EXPECT_EQ(outlineOf(tree), labels);
    EXPECT_TRUE(tree.numbersMayBeStale());
}

TEST(Renumber, NumberGrowingOrShrinkingKeepsTheLabel)
{
    // Moving a node from 1.1 to 10 and back rewrites a prefix of another length.
    DesignTree tree;
    for (int i = 0; i < 10; ++i)
        tree.appendTopLevel("t" + std::to_string(i));
    Node* n = tree.appendChild(tree.nodeAt(0), "payload with spaces");
    tree.renumber();
    EXPECT_EQ(n->text(), "1.1 payload with spaces");
    tree.move(n, tree.root(), 10);
    tree.renumber();
    EXPECT_EQ(n->text(), "11 payload with spaces");
    tree.move(n, tree.nodeAt(0), 0);
    tree.renumber();
    EXPECT_EQ(n->text(), "1.1 payload with spaces");
}

TEST(Renumber, CleanTreeIsLeftAloneAndAnnouncesNothing)
{
    model::Design design;
    testsupport::buildTagged(design, {"a", " b"});
    design.renumber();
    testsupport::RecordingObserver rec(design);
    design.addObserver(&rec);
    for (model::TreeId id : model::kAllTrees)
        EXPECT_FALSE(design.tree(id).numbersMayBeStale());
    design.renumber();
    EXPECT_EQ(design.tree(model::TreeId::FR).nodeAt(1)->text(), "1.1 b");
    EXPECT_TRUE(rec.lines.empty());
}

TEST(Renumber, AlreadyCorrectNumbersAnnounceNoChange)
{
    // A loaded design is stale, but when its stored numbers are right a full
    // pass changes nothing and says so.
    model::Design design;
    for (model::TreeId id : model::kAllTrees)
        buildTree(design.tree(id), {"1 a", " 1.1 b"});
    testsupport::RecordingObserver rec(design);
    design.addObserver(&rec);
    EXPECT_TRUE(design.tree(model::TreeId::DP).numbersMayBeStale());
    design.renumber();
    EXPECT_TRUE(rec.lines.empty());
    EXPECT_FALSE(design.tree(model::TreeId::DP).numbersMayBeStale());
}

} // namespace

// A label typed in the editor goes behind the node's number, so a label that
// begins with a digit and a space survives every later renumbering.
TEST(EditLabel, KeepsALabelThatBeginsWithADigitWholeThroughRenumberings)
{
    model::Design design;
    testsupport::buildTagged(design, {"a", " b", "  c", " d"});
    design.renumber();
    const int uncle = 3; // d, its number typed away
    design.editText(model::TreeId::DP, uncle, "__________");

    design.editLabel(model::TreeId::FR, 1, "3 layer mesh");     // has its number
    design.editLabel(model::TreeId::DP, uncle, "3 way valve");  // has none: the number of its place
    EXPECT_EQ(design.tree(model::TreeId::FR).nodeAt(1)->text(), "1.1 3 layer mesh");
    EXPECT_EQ(design.tree(model::TreeId::DP).nodeAt(uncle)->text(), "1.2 3 way valve");
    for (int i = 0; i < 3; ++i) {
        design.moveDown(1); // renumbers every time
        design.moveUp(2);
    }
    EXPECT_EQ(design.tree(model::TreeId::FR).nodeAt(1)->text(), "1.1 3 layer mesh");
    EXPECT_EQ(design.tree(model::TreeId::DP).nodeAt(uncle)->text(), "1.2 3 way valve");
}
