// Cross cells and the full design matrix: what an O above implies, where the
// levels disagree, and the full classification against a dense reference
// worked out pair by pair on random small designs.
#include "model/Design.h"
#include "model/FullMatrix.h"
#include "model/UserError.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using model::CellValue;
using model::Design;
using model::FullCell;
using model::MatrixKind;
using model::TreeId;

constexpr CellValue X = CellValue::X, O = CellValue::O, NA = CellValue::NotAssessed;

// 0 1      3 2
// 1   1.1  4   2.1
// 2   1.2  5   2.2
class CrossCells : public ::testing::Test {
protected:
    void SetUp() override
    {
        design.addFirstRow();
        design.addChild(0);
        design.addSiblingBelow(1);
        design.addSiblingBelow(0);
        design.addChild(3);
        design.addSiblingBelow(4);
    }
    const model::DesignTree& fr() const { return design.tree(TreeId::FR); }
    const model::Node* row(int k) const { return fr().nodeAt(k); }
    std::vector<FullCell> full(MatrixKind kind = MatrixKind::FrDp) const
    {
        return model::fullMatrixCells(design.matrices(), design.crossCells(), kind, model::LeafIndex(fr()));
    }
    std::vector<model::Finding::Type> findings() const
    {
        std::vector<model::Finding::Type> types;
        for (const model::Finding& f : model::consistencyFindings(fr(), design.matrices(), design.crossCells()))
            types.push_back(f.type);
        return types;
    }
    Design design;
};

TEST_F(CrossCells, OnlyPairsThatAreNotSiblingsNorNestedHoldOne)
{
    EXPECT_FALSE(design.setCrossCell(MatrixKind::FrDp, 1, 2, X)); // siblings
    EXPECT_FALSE(design.setCrossCell(MatrixKind::FrDp, 0, 1, X)); // nested
    EXPECT_FALSE(design.setCrossCell(MatrixKind::FrDp, 1, 1, X));
    EXPECT_TRUE(design.setCrossCell(MatrixKind::FrDp, 1, 4, X));
    EXPECT_TRUE(design.setCrossCell(MatrixKind::DpPv, 0, 5, O)); // a row and a leaf of another
    EXPECT_EQ(design.crossCells().size(), 2u);
}

TEST_F(CrossCells, AnOAboveImpliesOBelowAndRefusesAnXThere)
{
    design.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 0, 1, O); // FR 1, DP 2
    try {
        design.setCrossCell(MatrixKind::FrDp, 2, 5, X);
        FAIL() << "an X under an O was set";
    } catch (const model::UserError& e) {
        EXPECT_STREQ(e.what(), "FR 1 and DP 2 are marked O one level up");
    }
    EXPECT_TRUE(design.crossCells().empty());
    EXPECT_TRUE(design.setCrossCell(MatrixKind::FrDp, 2, 5, O));
    // The other way round and the other kind are not implied.
    EXPECT_TRUE(design.setCrossCell(MatrixKind::FrDp, 5, 2, X));
    EXPECT_TRUE(design.setCrossCell(MatrixKind::DpPv, 2, 5, X));
    // Leaves 1.1 1.2 2.1 2.2: rows 0-1 against columns 2-3 are O.
    const std::vector<FullCell> cells = full();
    const FullCell I = FullCell::ImpliedO, N = FullCell::NotAssessed;
    EXPECT_EQ(cells, (std::vector<FullCell>{FullCell::X, N, I, I,  //
                                            N, FullCell::X, I, FullCell::O,
                                            N, N, FullCell::X, N,  //
                                            N, FullCell::X, N, FullCell::X}));
}

TEST_F(CrossCells, LevelsThatDisagreeAreFound)
{
    // An X set first, then an O above it (a file edited elsewhere reads the same).
    design.setCrossCell(MatrixKind::FrDp, 2, 5, X);
    design.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 0, 1, O);
    EXPECT_EQ(findings(), std::vector<model::Finding::Type>{model::Finding::Type::XBelowO});

    // An X between the parents whose every leaf pair is O below: not borne out.
    design.setCrossCell(MatrixKind::FrDp, 2, 5, NA);
    design.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 1, 0, X); // FR 2, DP 1
    design.setCrossCell(MatrixKind::FrDp, 4, 0, O);                 // 2.1 against all of 1
    design.setCrossCell(MatrixKind::FrDp, 5, 1, O);
    EXPECT_TRUE(findings().empty()); // 2.2 against 1.2 is open
    design.setCrossCell(MatrixKind::FrDp, 5, 2, O);
    EXPECT_EQ(findings(), std::vector<model::Finding::Type>{model::Finding::Type::XNotBorneOut});
    design.setCrossCell(MatrixKind::FrDp, 5, 2, NA);
    design.setCrossCell(MatrixKind::FrDp, 5, 2, X); // borne out by one leaf pair
    EXPECT_TRUE(findings().empty());
}

TEST_F(CrossCells, FollowTheRowsAndGoWhenAPairBecomesSiblings)
{
    design.setCrossCell(MatrixKind::FrDp, 1, 4, X);
    design.setCrossCell(MatrixKind::FrDp, 2, 3, O);
    const model::Node* b = row(1);
    design.moveDown(1); // 1.1 after 1.2: still a cross pair
    EXPECT_EQ(design.crossCells().cell(MatrixKind::FrDp, b, row(4)), X);
    design.startRecording();
    design.drop(4, 0); // 2.1 into 1: now a sibling of 1.1
    std::unique_ptr<model::EditRecord> record = design.stopRecording();
    EXPECT_EQ(design.crossCells().size(), 1u);
    record->undo();
    EXPECT_EQ(design.crossCells().size(), 2u);
    design.deleteRow(3); // 2 and everything below it
    EXPECT_TRUE(design.crossCells().empty());
}

// --- the full classification against a dense reference ------------------------

// Every leaf pair by its definition, the pairs above found by brute force.
std::vector<model::IndexedCell> denseLeafCells(const Design& d, MatrixKind kind, const model::LeafIndex& leaves)
{
    std::vector<model::IndexedCell> cells;
    const auto value = [&](const model::Node* a, const model::Node* b) {
        return a->parent == b->parent ? d.matrices().cell(a->parent, kind, a, b) : d.crossCells().cell(kind, a, b);
    };
    const auto n = static_cast<std::uint32_t>(leaves.size());
    for (std::uint32_t i = 0; i < n; ++i)
        for (std::uint32_t j = 0; j < n; ++j) {
            if (i == j)
                continue;
            const model::Node* a = leaves.leaves()[i];
            const model::Node* b = leaves.leaves()[j];
            const model::DesignTree& fr = d.tree(TreeId::FR);
            CellValue v = value(a, b);
            if (v == NA && a->parent != b->parent)
                for (const model::Node* x = a; x->parent; x = x->parent)
                    for (const model::Node* y = b; y->parent; y = y->parent)
                        if ((x != a || y != b) && x != y && !fr.isInSubtree(x, y) && !fr.isInSubtree(y, x)
                            && value(x, y) == O)
                            v = O;
            if (v != NA)
                cells.push_back({i, j, v});
        }
    return cells;
}

TEST(FullMatrix, ClassifiedAsTheDenseMatrixOnRandomDesigns)
{
    std::mt19937 random(20261208);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<std::uint32_t>(n)); };
    int coupled = 0, decoupled = 0;
    for (int round = 0; round < 300; ++round) {
        Design d;
        d.addFirstRow();
        for (int i = 0; i < 3 + pick(10); ++i)
            pick(2) ? d.addChild(pick(d.rowCount())) : d.addSiblingBelow(pick(d.rowCount()));
        const int cells = pick(40);
        for (int c = 0; c < cells; ++c) {
            const auto kind = model::kMatrixKinds[static_cast<std::size_t>(pick(2))];
            const auto v = static_cast<CellValue>(1 + pick(2));
            const int p = pick(d.rowCount() + 1) - 1;
            const int n = static_cast<int>(d.matrixParent(p)->children.size());
            if (pick(2) && n > 1)
                d.setMatrixCell(p, kind, pick(n), pick(n), v);
            else
                try {
                    d.setCrossCell(kind, pick(d.rowCount()), pick(d.rowCount()), v);
                } catch (const model::UserError&) { // an X under an O
                }
        }
        const model::LeafIndex leaves(d.tree(TreeId::FR));
        for (MatrixKind kind : model::kMatrixKinds) {
            const model::Classification got = model::classifyFull(d.matrices(), d.crossCells(), kind, leaves);
            const model::Classification want =
                model::classify(static_cast<std::uint32_t>(leaves.size()), denseLeafCells(d, kind, leaves));
            ASSERT_EQ(got.coupling, want.coupling) << "round " << round;
            ASSERT_EQ(got.notAssessed, want.notAssessed) << "round " << round;
            ASSERT_EQ(got.order, want.order) << "round " << round;
            ASSERT_EQ(got.groups, want.groups) << "round " << round;
            coupled += got.coupling == model::Coupling::Coupled;
            decoupled += got.coupling == model::Coupling::Decoupled;
        }
    }
    EXPECT_GT(coupled + decoupled, 5) << "complete full matrices were met";
}

// 300 rows of 100 leaves: 30,000 leaves, 899,970,000 off-diagonal pairs,
// counted from the rectangles the Os make, overlapping ones once.
TEST(FullMatrix, CountsThePairsNotAssessedOnAWideDesign)
{
    Design d;
    model::DesignTree& fr = d.tree(TreeId::FR);
    for (TreeId id : model::kAllTrees) {
        model::DesignTree& t = d.tree(id);
        for (int i = 0; i < 300; ++i) {
            model::Node* top = t.appendTopLevel("r");
            for (int j = 0; j < 100; ++j)
                t.appendChild(top, "l");
        }
    }
    d.renumber();
    d.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 0, 1, O);  // 10,000 pairs
    d.setCrossCell(MatrixKind::FrDp, 1, 102, O);                  // inside them: nothing more
    d.setCrossCell(MatrixKind::FrDp, 101, 1, O);                  // 2 against 1.1: 100 more
    d.setCrossCell(MatrixKind::FrDp, 102, 1, O);                  // inside that: nothing more
    d.setMatrixCell(0, MatrixKind::FrDp, 0, 1, X);                // 1.1 against 1.2: 1 more
    const model::LeafIndex leaves(fr);
    const model::Classification c = model::classifyFull(d.matrices(), d.crossCells(), MatrixKind::FrDp, leaves);
    EXPECT_EQ(c.offDiagonal, 899'970'000u);
    EXPECT_EQ(c.notAssessed, 899'970'000u - 10'000 - 100 - 1);
}

} // namespace
