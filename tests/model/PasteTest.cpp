// Copy, cut and paste of whole subtrees in all three trees, and Find over
// the labels.

#include "DesignTestSupport.h"

#include "model/CopiedRows.h"
#include "model/Cp1252.h"
#include "model/LabelSearch.h"
#include "model/Numbering.h"

#include <gtest/gtest.h>

#include <random>

using model::CopiedRows;
using model::Design;
using model::FoundLabel;
using model::PastePlace;
using model::TreeId;
using testsupport::Outline;
using testsupport::outlineOf;

namespace {

void makeDesign(Design& d, const Outline& outline)
{
    testsupport::buildTagged(d, outline);
    d.renumber();
}

// 1 a
//   1.1 b
//     1.1.1 c
//   1.2 d
// 2 e
const Outline kStart{"a", " b", "  c", " d", "e"};

struct PasteCase {
    const char* name;
    int row;
    PastePlace place;
    int firstPasted;
    Outline after; // FR; x is the pasted subtree "x" with its child "y"
};
void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.name; }

class PasteInto : public ::testing::TestWithParam<PasteCase> {};

TEST_P(PasteInto, PutsTheRowsInAllThreeTreesAndRenumbers)
{
    const PasteCase& c = GetParam();
    Design source;
    makeDesign(source, {"q", " x", "  y"});
    const CopiedRows rows = model::copySubtree(source, 1);

    Design d;
    makeDesign(d, kStart);
    EXPECT_EQ(d.paste(c.row, rows, c.place), c.firstPasted);
    EXPECT_EQ(outlineOf(d), c.after);
    EXPECT_TRUE(testsupport::shapeHolds(d));
    EXPECT_TRUE(testsupport::partnersHold(d));
    EXPECT_TRUE(d.modified());
}

INSTANTIATE_TEST_SUITE_P(
    Design, PasteInto,
    ::testing::Values(
        PasteCase{"NextSiblingOfANodeWithChildren", 1, PastePlace::NextSiblings, 3,
                  {"1 a", " 1.1 b", "  1.1.1 c", " 1.2 x", "  1.2.1 y", " 1.3 d", "2 e"}},
        PasteCase{"NextSiblingOfTheLastTopLevelNode", 4, PastePlace::NextSiblings, 5,
                  {"1 a", " 1.1 b", "  1.1.1 c", " 1.2 d", "2 e", "3 x", " 3.1 y"}},
        PasteCase{"NextSiblingOfTheFirstRow", 0, PastePlace::NextSiblings, 4,
                  {"1 a", " 1.1 b", "  1.1.1 c", " 1.2 d", "2 x", " 2.1 y", "3 e"}},
        PasteCase{"LastChildOfANodeWithChildren", 0, PastePlace::LastChildren, 4,
                  {"1 a", " 1.1 b", "  1.1.1 c", " 1.2 d", " 1.3 x", "  1.3.1 y", "2 e"}},
        PasteCase{"LastChildOfALeaf", 2, PastePlace::LastChildren, 3,
                  {"1 a", " 1.1 b", "  1.1.1 c", "   1.1.1.1 x", "    1.1.1.1.1 y", " 1.2 d", "2 e"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Paste, IntoAnEmptyDesignMakesTheFirstRows)
{
    Design source;
    makeDesign(source, {"a", " b"});
    Design d;
    EXPECT_EQ(d.paste(model::kNoRow, model::copySubtree(source, 0), PastePlace::NextSiblings), 0);
    EXPECT_EQ(outlineOf(d, TreeId::PV), (Outline{"1 a''", " 1.1 b''"}));
    EXPECT_TRUE(d.deleteRow(0).refused); // the pasted top is the first row now
}

TEST(Paste, NothingOrNowhereChangesNothing)
{
    Design d;
    makeDesign(d, kStart);
    d.setModified(false);
    Design source;
    makeDesign(source, {"x"});
    const CopiedRows rows = model::copySubtree(source, 0);
    EXPECT_EQ(d.paste(0, CopiedRows{}, PastePlace::NextSiblings), model::kNoRow);
    EXPECT_EQ(d.paste(5, rows, PastePlace::NextSiblings), model::kNoRow);
    EXPECT_EQ(d.paste(-1, rows, PastePlace::LastChildren), model::kNoRow);
    CopiedRows skipping = rows;
    skipping.append(2, {"deep", "deep", "deep"});
    EXPECT_EQ(d.paste(0, skipping, PastePlace::NextSiblings), model::kNoRow);
    EXPECT_EQ(outlineOf(d), (Outline{"1 a", " 1.1 b", "  1.1.1 c", " 1.2 d", "2 e"}));
    EXPECT_FALSE(d.modified());
}

TEST(Paste, KeepsTheTextsByteForByteBehindTheirNewNumbers)
{
    // Labels that begin with digits keep them: a copy carries each number
    // once, and the paste's renumbering replaces exactly that number.
    Design source;
    makeDesign(source, {"p", " q"});
    source.editText(TreeId::DP, 1, "1.1 3 layer mesh");
    source.editText(TreeId::PV, 1, "1.1 \xC9tanch\xE9it\xE9 42");
    Design d;
    makeDesign(d, {"a"});
    const int row = d.paste(0, model::copySubtree(source, 1), PastePlace::LastChildren);
    EXPECT_EQ(d.tree(TreeId::DP).nodeAt(row)->text(), "1.1 3 layer mesh");
    EXPECT_EQ(d.tree(TreeId::PV).nodeAt(row)->text(), "1.1 \xC9tanch\xE9it\xE9 42");
}

TEST(Cut, OfTheFirstRowIsRefusedAndCopiesNothing)
{
    Design d;
    makeDesign(d, kStart);
    CopiedRows rows;
    EXPECT_TRUE(d.cut(0, rows).refused);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(d.rowCount(), 5);
}

TEST(Cut, ThenPasteMovesTheSubtreeWithItsPartners)
{
    // 1 a               1 a
    //   1.1 b             1.1 d
    //     1.1.1 c   ->  2 e
    //   1.2 d             2.1 b
    // 2 e                   2.1.1 c
    Design d;
    makeDesign(d, kStart);
    CopiedRows rows;
    const model::DeleteResult cut = d.cut(1, rows);
    EXPECT_FALSE(cut.refused);
    EXPECT_EQ(cut.selectRow, 1);
    EXPECT_EQ(rows.levels, (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(d.paste(2, rows, PastePlace::LastChildren), 3);
    EXPECT_EQ(outlineOf(d), (Outline{"1 a", " 1.1 d", "2 e", " 2.1 b", "  2.1.1 c"}));
    EXPECT_TRUE(testsupport::partnersHold(d));
}

TEST(CopySubtree, HoldsTheRowsLevelsRelativeToTheTop)
{
    Design d;
    makeDesign(d, {"a", " b", "  c", "   d", "  e", " f"});
    const CopiedRows rows = model::copySubtree(d, 1);
    EXPECT_EQ(rows.levels, (std::vector<std::uint32_t>{0, 1, 2, 1}));
    EXPECT_EQ(rows.textsOf(TreeId::DP), (std::vector<std::string>{"1.1 b'", "1.1.1 c'", "1.1.1.1 d'", "1.1.2 e'"}));
    EXPECT_TRUE(rows.wellFormed());
    EXPECT_TRUE(model::copySubtree(d, 6).empty());
}

// --- find ---------------------------------------------------------------------

TEST(LabelSearch, IgnoresCaseAndTheOutlineNumber)
{
    const model::LabelSearch search("\xC9tan"); // "Étan"
    EXPECT_EQ(search.findIn("1.2 Joint \xE9tanche"), 10u);
    EXPECT_EQ(search.findIn("1.2 JOINT \xC9TANCHE"), 10u);
    EXPECT_EQ(search.findIn("1.2 Joint etanche"), std::string_view::npos);
    EXPECT_EQ(model::LabelSearch("1.2").findIn("1.2 Pump"), std::string_view::npos);
    EXPECT_EQ(model::LabelSearch("2").findIn("1.2 Pump 2"), 9u);
    EXPECT_EQ(model::LabelSearch("").findIn("Pump"), std::string_view::npos);
    EXPECT_EQ(model::LabelSearch("pumps").findIn("3 Pump"), std::string_view::npos);
}

TEST(LabelSearch, AgreesWithAPlainSearchOnRandomLabels)
{
    // A small alphabet with both cases makes repeats and near misses common.
    const std::string alphabet = "aAbB\xE9\xC9 1.";
    std::mt19937 random(7);
    auto randomText = [&](std::size_t maxLength) {
        std::string s(random() % (maxLength + 1), ' ');
        for (char& c : s)
            c = alphabet[random() % alphabet.size()];
        return s;
    };
    auto folded = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(model::foldCp1252(static_cast<unsigned char>(c)));
        return s;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string text = randomText(12);
        const std::string query = randomText(4);
        const std::size_t from = model::labelOffset(text);
        const std::size_t plain = query.empty() ? std::string::npos : folded(text).find(folded(query), from);
        ASSERT_EQ(model::LabelSearch(query).findIn(text), plain) << "\"" << query << "\" in \"" << text << "\"";
    }
}

TEST(LabelSearch, FindsLabelsInRowOrderAcrossTheThreeTrees)
{
    Design d;
    makeDesign(d, {"Seal", " pump", " valve", "Pump"});
    d.editText(TreeId::PV, 0, "1 Pump speed");
    d.editText(TreeId::DP, 2, "1.2 Valve pump");
    const std::vector<FoundLabel> found = model::LabelSearch("PUMP").findAll(d);
    EXPECT_EQ(found, (std::vector<FoundLabel>{{0, TreeId::PV}, {1, TreeId::FR}, {1, TreeId::DP}, {1, TreeId::PV},
                                              {2, TreeId::DP}, {3, TreeId::FR}, {3, TreeId::DP}, {3, TreeId::PV}}));
    // Typing one more letter looks only at what the shorter query found.
    const model::LabelSearch longer("pump s");
    ASSERT_TRUE(longer.narrows(model::LabelSearch("PUMP")));
    EXPECT_FALSE(model::LabelSearch("pum").narrows(model::LabelSearch("pump")));
    EXPECT_EQ(longer.findAmong(d, found), (std::vector<FoundLabel>{{0, TreeId::PV}}));
    EXPECT_EQ(longer.findAll(d), longer.findAmong(d, found));
}

} // namespace
