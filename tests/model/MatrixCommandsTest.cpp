// Design matrices follow the trees: thousands of random commands and cell
// edits, each checked against the plain reference, whose matrices are dense
// and reshaped by each command's own rule. After every step every cell of
// every matrix agrees, and the store holds no cell besides them: a child gone
// from its parent, or a deleted subtree, leaves nothing behind. Information
// ranges are set among them and must stay on the rows they were set on.
//
// Set TESSARIC_SEED to replay one seed; a failure names the seed and step.
#include "DesignTestSupport.h"
#include "ReferenceDesign.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

using model::CellValue;
using model::Design;
using model::MatrixKind;
using model::TreeId;
using testsupport::ReferenceDesign;

class Runner {
public:
    explicit Runner(std::uint32_t seed) : m_random(seed)
    {
        m_design.addFirstRow();
        m_ref.addFirstRow();
    }

    std::string step()
    {
        const int n = m_ref.size();
        const int k = pick(n + 2) - 1;
        switch (n > 120 ? 4 : pick(20)) {
        case 0: return same("below", m_design.addSiblingBelow(k), m_ref.addSiblingBelow(k));
        case 1: return same("above", m_design.addSiblingAbove(k), m_ref.addSiblingAbove(k));
        case 2: return same("child", m_design.addChild(k), m_ref.addChild(k));
        case 3: return same("uncle", m_design.addUncle(k), m_ref.addUncle(k));
        case 4: case 5: {
            bool refused = false;
            const int row = m_ref.deleteRow(k, refused);
            const model::DeleteResult r = m_design.deleteRow(k);
            EXPECT_EQ(r.refused, refused);
            return same("delete", refused ? -1 : r.selectRow, row);
        }
        case 6: {
            bool acted = false, moved = false;
            return same("up", m_design.moveUp(k).row, m_ref.moveUp(k, acted, moved));
        }
        case 7: {
            bool acted = false, moved = false;
            return same("down", m_design.moveDown(k).row, m_ref.moveDown(k, acted, moved));
        }
        case 8:
            if (n > 60)
                return same("child", m_design.addChild(k), m_ref.addChild(k));
            return same("duplicate", m_design.duplicate(k), m_ref.duplicate(k));
        case 9: case 10: {
            const int target = pick(n);
            return same("drop on " + std::to_string(target), m_design.drop(k, target), m_ref.drop(k, target));
        }
        case 11: case 12:
            return setRanges(k);
        default:
            return setCell();
        }
    }

    void check()
    {
        ASSERT_EQ(m_design.rowCount(), m_ref.size());
        ASSERT_TRUE(testsupport::shapeHolds(m_design));
        for (int p = -1; p < m_ref.size(); ++p) {
            const model::Node* parent = m_design.matrixParent(p);
            const int n = m_ref.childCount(p);
            ASSERT_EQ(static_cast<int>(parent->children.size()), n) << "parent row " << p;
            for (int kind = 0; kind < model::kMatrixKindCount; ++kind)
                for (int i = 0; i < n; ++i)
                    for (int j = 0; j < n; ++j)
                        if (i != j) {
                            const CellValue got = m_design.matrices().cell(
                                parent, model::kMatrixKinds[static_cast<std::size_t>(kind)],
                                parent->children[static_cast<std::size_t>(i)],
                                parent->children[static_cast<std::size_t>(j)]);
                            ASSERT_EQ(static_cast<int>(got), m_ref.cell(p, kind, i, j))
                                << "parent row " << p << " kind " << kind << " cell " << i << "," << j;
                        }
        }
        ASSERT_EQ(m_design.matrices().cellCount(), static_cast<std::size_t>(m_ref.assessedCells()));
        std::size_t marked = 0;
        for (int row = 0; row < m_ref.size(); ++row) {
            const model::FrRanges* r = m_design.ranges().find(m_design.tree(TreeId::FR).nodeAt(row));
            ASSERT_EQ(r ? static_cast<int>(r->design.lower) : 0, m_ref.mark(row)) << "row " << row;
            marked += r != nullptr;
        }
        ASSERT_EQ(m_design.ranges().size(), marked); // nothing kept for a node gone
        ASSERT_EQ(m_design.modified(), m_ref.modified);
    }

    int assessed() const { return m_ref.assessedCells(); }

private:
    int pick(int n) { return n <= 0 ? 0 : static_cast<int>(m_random() % static_cast<std::uint32_t>(n)); }

    template <typename T> std::string same(const std::string& what, T got, T expected)
    {
        EXPECT_EQ(got, expected) << what;
        return what;
    }

    // Mostly in the matrices a random row belongs to, as the pane shows them;
    // now and then a diagonal cell or a cell outside, which both refuse.
    std::string setCell()
    {
        int parent = pick(m_ref.size() + 1) - 1;
        if (parent >= 0 && pick(4) != 0) {
            const model::DesignTree& fr = m_design.tree(TreeId::FR);
            const model::Node* above = fr.parentOf(fr.nodeAt(parent));
            parent = above ? fr.rowOf(above) : -1;
        }
        const int n = m_ref.childCount(parent) + (pick(10) == 0 ? 1 : 0);
        const int i = pick(n), j = pick(n), kind = pick(2), value = pick(4) == 0 ? 0 : 1 + pick(2);
        const bool changed = m_design.setMatrixCell(parent, model::kMatrixKinds[static_cast<std::size_t>(kind)], i, j,
                                                    static_cast<CellValue>(value));
        return same("cell " + std::to_string(parent) + ":" + std::to_string(i) + "," + std::to_string(j), changed,
                    m_ref.setCell(parent, kind, i, j, value));
    }

    // Ranges whose lower bound is the row's new mark; now and then none.
    std::string setRanges(int k)
    {
        const int mark = pick(4) == 0 ? 0 : ++m_lastMark;
        model::FrRanges ranges;
        if (mark != 0)
            ranges.design = {.hasLower = true, .lower = static_cast<double>(mark)};
        const bool changed = m_design.setRanges(k, ranges);
        const bool valid = k >= 0 && k < m_ref.size();
        if (valid) {
            EXPECT_EQ(changed, m_ref.mark(k) != mark);
            m_ref.modified = m_ref.modified || changed;
            m_ref.setMark(k, mark);
        }
        return "ranges " + std::to_string(k) + " mark " + std::to_string(mark);
    }

    int m_lastMark = 0;
    std::mt19937 m_random;
    Design m_design;
    ReferenceDesign m_ref;
};

std::vector<std::uint32_t> seeds()
{
    if (const char* s = std::getenv("TESSARIC_SEED"))
        return {static_cast<std::uint32_t>(std::strtoul(s, nullptr, 10))};
    return {7u, 2654435761u, 40503u};
}

TEST(MatrixCommands, RandomCommandsKeepEveryMatrixAsADenseCopySays)
{
    constexpr int kSteps = 4000;
    for (std::uint32_t seed : seeds()) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with TESSARIC_SEED=" + std::to_string(seed) + ")");
        Runner run(seed);
        int mostAssessed = 0;
        for (int i = 0; i < kSteps; ++i) {
            const std::string what = run.step();
            SCOPED_TRACE("step " + std::to_string(i) + ": " + what);
            ASSERT_NO_FATAL_FAILURE(run.check());
            mostAssessed = std::max(mostAssessed, run.assessed());
        }
        EXPECT_GT(mostAssessed, 25) << "the commands met matrices with cells in them";
    }
}

//   top level: 1 A          Delete 1.1 (B, whose children C and D have
//                1.1 B      matrices): every cell goes, and undo brings
//                  1.1.1 C  back each one, with the rows they belong to
//                  1.1.2 D
//                1.2 E
//                1.3 F
TEST(MatrixCommands, DeleteTakesTheCellsOfTheSubtreeAndUndoBringsThemBack)
{
    Design design;
    testsupport::buildTagged(design, {"A", " B", "  C", "  D", " E", " F"});
    ASSERT_TRUE(design.setMatrixCell(0, MatrixKind::FrDp, 0, 2, CellValue::X)); // B row, F column
    ASSERT_TRUE(design.setMatrixCell(0, MatrixKind::DpPv, 1, 2, CellValue::O)); // E row, F column
    ASSERT_TRUE(design.setMatrixCell(1, MatrixKind::FrDp, 1, 0, CellValue::X)); // inside B
    design.startRecording();
    design.deleteRow(1);
    std::unique_ptr<model::EditRecord> step = design.stopRecording();
    EXPECT_EQ(design.matrices().cellCount(), 1u); // only E against F is left
    EXPECT_EQ(design.matrices().indexedCells(design.matrixParent(0), MatrixKind::DpPv).front().row, 0u);

    step->undo();
    EXPECT_EQ(design.matrices().cellCount(), 3u);
    const model::Node* b = design.tree(TreeId::FR).nodeAt(1);
    EXPECT_EQ(design.matrices().cell(b, MatrixKind::FrDp, b->children[1], b->children[0]), CellValue::X);
    step->redo();
    EXPECT_EQ(design.matrices().cellCount(), 1u);
}

} // namespace
