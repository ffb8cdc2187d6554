// The comparison of two designs: rows matched by content and place, and the
// lines it says, on hand-made pairs.
#include "model/DesignDiff.h"

#include "DesignTestSupport.h"
#include "model/Design.h"

#include <gtest/gtest.h>

#include <functional>

using model::Design;
using model::TreeId;

namespace {

// "  a" is "a" in all three trees at level 2; "a|b|c" gives each tree its own label.
void build(Design& design, const testsupport::Outline& rows)
{
    std::array<testsupport::Outline, model::kTreeCount> outlines;
    for (const std::string& row : rows) {
        const std::size_t depth = row.find_first_not_of(' ');
        std::string rest = row.substr(depth);
        for (auto& outline : outlines) {
            const std::size_t bar = rest.find('|');
            outline.push_back(std::string(depth, ' ') + "1 " + rest.substr(0, bar));
            if (bar != std::string::npos)
                rest = rest.substr(bar + 1);
        }
    }
    std::array<model::DesignTree, model::kTreeCount> trees;
    for (int t = 0; t < model::kTreeCount; ++t)
        testsupport::buildTree(trees[static_cast<std::size_t>(t)], outlines[static_cast<std::size_t>(t)]);
    design.replaceTrees(std::move(trees));
    design.renumber();
}

std::vector<std::string> linesOf(const model::DesignDiff& diff)
{
    std::vector<std::string> lines;
    for (const auto& change : diff.changes)
        lines.push_back(change.line);
    return lines;
}

struct Pair {
    const char* name;
    testsupport::Outline older;
    testsupport::Outline newer;
    std::function<void(Design& older, Design& newer)> edit;
    std::vector<std::string> lines;
};

void setRange(Design& d, int row, double a, double b)
{
    model::FrRanges r;
    r.design = {true, true, 0, 1, "mm"};
    r.system = {model::SystemKind::Uniform, a, b};
    d.setRanges(row, r);
}

const Pair kPairs[] = {
    {"same rows with repeated labels", {"n", " n", "n"}, {"n", " n", "n"}, {}, {}},
    {"insert at the top", {"n", "a", " n", "b"}, {"x", "n", "a", " n", "b"}, {}, {"+ 1 x (1 row)"}},
    {"remove a subtree", {"a", "b", " c", " d", "e"}, {"a", "e"}, {}, {"- 2 b (3 rows)"}},
    {"move a subtree", {"a", " a1", " a2", "  a21", "b"}, {"a", " a1", "b", " a2", "  a21"}, {},
     {"moved 1.2 → 2.1 a2"}},
    {"swap two siblings", {"a", "b", "c"}, {"a", "c", "b"}, {}, {"moved 3 → 2 c"}},
    {"relabel one tree", {"a", "b", "c"}, {"a", "b|x|b", "c"}, {}, {"2 DP: \"b\" → \"x\""}},
    {"relabel all three in place", {"a", "b", "c"}, {"a", "z", "c"}, {},
     {"2 FR: \"b\" → \"z\"", "2 DP: \"b\" → \"z\"", "2 PV: \"b\" → \"z\""}},
    {"relabel all three and move", {"a", "b", "c", "d"}, {"a", "c", "d", "z"}, {},
     {"- 2 b (1 row)", "+ 4 z (1 row)"}},
    {"title", {"a"}, {"a"}, [](Design&, Design& d) { d.setFullTitle(TreeId::DP, "Parameters → ok"); },
     {"title DP: \"\" → \"Parameters → ok\""}},
    {"level colour", {"a"}, {"a"}, [](Design&, Design& d) { d.look().setColour(2, 0x0000FF); },
     {"level 2 colour system colour 8 → #FF0000"}},
    {"matrix cell and class",
     {"a", " a1", " a2"},
     {"a", " a1", " a2"},
     [](Design& o, Design& n) {
         for (Design* d : {&o, &n}) {
             d->setMatrixCell(0, model::MatrixKind::FrDp, 0, 1, model::CellValue::X);
             d->setMatrixCell(0, model::MatrixKind::FrDp, 1, 0, model::CellValue::O);
         }
         n.setMatrixCell(0, model::MatrixKind::FrDp, 1, 0, model::CellValue::X);
     },
     {"1 FR-DP: decoupled → coupled: 1.1 1.2", "1 FR-DP (1.2, 1.1): O → X"}},
    {"matrix of a moved parent follows it",
     {"a", " a1", " a2", "b"},
     {"b", "a", " a1", " a2"},
     [](Design& o, Design& n) {
         o.setMatrixCell(0, model::MatrixKind::DpPv, 0, 1, model::CellValue::X);
         n.setMatrixCell(1, model::MatrixKind::DpPv, 0, 1, model::CellValue::O);
     },
     {"moved 2 → 1 b", "2 DP-PV (2.1, 2.2): X → O"}},
    {"cross cell", {"a", " a1", "b"}, {"a", " a1", "b"},
     [](Design& o, Design& n) {
         o.setCrossCell(model::MatrixKind::FrDp, 1, 2, model::CellValue::O);
         n.setCrossCell(model::MatrixKind::DpPv, 1, 2, model::CellValue::X);
     },
     {"cross FR-DP (1.1, 2): O → not assessed", "cross DP-PV (1.1, 2): not assessed → X"}},
    {"ranges and information", {"a", "b"}, {"a", "b"},
     [](Design& o, Design& n) {
         setRange(o, 1, 0, 1);
         setRange(n, 1, 0, 2);
     },
     {"2 FR: system range \"uniform 0 to 1\" → \"uniform 0 to 2\"", "2 FR: I 0.000 → 1.000 bits"}},
    {"notes under an inserted row", {"a", "b"}, {"x", "a", "b"},
     [](Design& o, Design& n) {
         o.setNote(TreeId::PV, 1, "old");
         n.setNote(TreeId::PV, 2, "new");
         n.setNote(TreeId::FR, 1, "first");
     },
     {"+ 1 x (1 row)", "2 FR: note added", "3 PV: note changed"}},
};

class DesignDiffTest : public ::testing::TestWithParam<Pair> {};

TEST_P(DesignDiffTest, SaysWhatChanged)
{
    const Pair& pair = GetParam();
    Design older, newer;
    build(older, pair.older);
    build(newer, pair.newer);
    if (pair.edit)
        pair.edit(older, newer);
    const model::DesignDiff diff = model::compareDesigns(older, newer);
    EXPECT_EQ(linesOf(diff), pair.lines);
    EXPECT_EQ(diff.same(), pair.lines.empty());
    // No row matched twice, and every match within bounds.
    std::vector<int> seen;
    for (int o : diff.oldRowOf)
        if (o >= 0)
            seen.push_back(o);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
    EXPECT_TRUE(seen.empty() || seen.back() < older.rowCount());
}

INSTANTIATE_TEST_SUITE_P(Pairs, DesignDiffTest, ::testing::ValuesIn(kPairs), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
});

TEST(DesignDiff, InsertAtTopKeepsEveryOtherRowMatched)
{
    Design older, newer;
    build(older, {"n", " n", "a"});
    build(newer, {"x", "n", " n", "a"});
    EXPECT_EQ(model::compareDesigns(older, newer).oldRowOf, (std::vector<int>{-1, 0, 1, 2}));
}

} // namespace
