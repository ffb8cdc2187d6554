// The pane's full view in the window: Ctrl+Shift+M, the leaf heads and the
// cells a leaf pair takes (its parent's matrix, its cross cell, an O implied
// from above), a click as one undo step, the refusal of X under an O, what
// a parameter disturbs, and the limit on leaves.
#include "MainFormFixture.h"

#include "app/MatrixPaneController.h"
#include "app/UndoHistory.h"
#include "ui/MatrixPane.h"
#include "ui/MatrixPaneFull.h"
#include "ui/NodeDelegate.h"

#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>

namespace testing_app {
namespace {

using model::CellValue;
using model::MatrixKind;
using model::TreeId;

// Rows 0 1 A, 1 1.1 B, 2 1.2 C, 3 2 D, 4 2.1 E, 5 2.2 F; leaves B, C, E, F.
constexpr int kA = 0, kB = 1, kC = 2, kE = 4, kF = 5;

class FullMatrixWindowTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        loadOutline(design(), {"1 A", "  1.1 B", "  1.2 C", "2 D", "  2.1 E", "  2.2 F"});
        design().setModified(false);
        editing->actions().expandAll->trigger();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    model::Design& design() { return workspace->design(); }
    ui::FullMatrixView* full() const { return features->matrixPane->fullView(); }
    ui::FullMatrixGrid* grid(MatrixKind kind = MatrixKind::FrDp) const { return full()->grid(kind); }
    QString shown(int row, int column, MatrixKind kind = MatrixKind::FrDp) const
    {
        return grid(kind)->model()->index(row, column).data().toString();
    }
    bool lighter(int row, int column) const
    {
        return grid()->model()->index(row, column).data(Qt::ForegroundRole).isValid();
    }
    void showFull()
    {
        QTest::keySequence(form->windowHandle(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
        ASSERT_TRUE(features->matrixPane->isVisible());
        ASSERT_TRUE(eventually([&] { return features->matrixPane->showsFull(); }));
    }
    void clickCell(int row, int column)
    {
        const QModelIndex index = grid()->model()->index(row, column);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(index).center());
    }
    void clickColumnHead(int column)
    {
        QHeaderView* heads = grid()->horizontalHeader();
        const QPoint at(heads->sectionViewportPosition(column) + heads->sectionSize(column) / 2, heads->height() / 2);
        QTest::mouseClick(heads->viewport(), Qt::LeftButton, {}, at);
    }
    bool marked(TreeId id, int row)
    {
        auto* delegate = qobject_cast<ui::NodeDelegate*>(view(id)->itemDelegate());
        return delegate->rowMarked(columns().indexOfRow(id, row));
    }
    std::string status() const { return form->statusBar()->currentMessage().toStdString(); }
};

TEST_F(FullMatrixWindowTest, ShowsTheLeavesWithSiblingCrossAndImpliedCellsAndTheClassification)
{
    design().setMatrixCell(model::kNoRow, MatrixKind::FrDp, 0, 1, CellValue::O); // FR 1 / DP 2: O
    design().setMatrixCell(kA, MatrixKind::FrDp, 0, 1, CellValue::X);            // 1.1 / 1.2, siblings
    design().setCrossCell(MatrixKind::FrDp, kE, kC, CellValue::X);               // 2.1 / 1.2
    design().setCrossCell(MatrixKind::DpPv, kC, kE, CellValue::X);
    design().setCrossCell(MatrixKind::DpPv, kE, kC, CellValue::X);
    showFull(); // from a hidden pane

    EXPECT_EQ(features->matrixPane->caption()->text(), "Full design matrix over 4 leaves");
    QAbstractItemModel* m = grid()->model();
    ASSERT_EQ(m->rowCount(), 4);
    EXPECT_EQ(m->headerData(2, Qt::Vertical).toString(), "2.1 E");
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "1.2");
    EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(), "C'");
    EXPECT_EQ(grid(MatrixKind::DpPv)->model()->headerData(3, Qt::Vertical).toString(), "2.2 F'");
    EXPECT_EQ(shown(0, 1), "X");
    EXPECT_EQ(shown(2, 1), "X");
    EXPECT_EQ(shown(2, 0), "");
    EXPECT_EQ(shown(3, 3), "X");
    for (auto [row, column] : {std::pair{0, 2}, {0, 3}, {1, 2}, {1, 3}}) {
        EXPECT_EQ(shown(row, column), "O");
        EXPECT_TRUE(lighter(row, column)) << row << ", " << column;
    }
    EXPECT_FALSE(lighter(0, 1));
    EXPECT_EQ(grid()->grid().snapshot().edges.size(), 1u); // between 1.2 and 2.1
    EXPECT_EQ(full()->classification(MatrixKind::FrDp)->text(), "6 of 12 cells not assessed");
    EXPECT_EQ(full()->classification(MatrixKind::DpPv)->text(),
              "10 of 12 cells not assessed; 1.2 and 2.1 already affect each other");
}

// A sibling pair goes into its parent's matrix, any other pair into its cross cell.
TEST_F(FullMatrixWindowTest, AClickSetsTheCellOfThePairAsOneUndoStep)
{
    showFull();
    clickCell(3, 0); // FR 2.2 / DP 1.1
    EXPECT_EQ(design().crossCells().cell(MatrixKind::FrDp, design().tree(TreeId::FR).nodeAt(kF),
                                         design().tree(TreeId::FR).nodeAt(kB)),
              CellValue::X);
    EXPECT_EQ(workspace->history().undoText(), "Edit matrix cell");
    EXPECT_TRUE(design().modified());
    EXPECT_TRUE(eventually([&] { return shown(3, 0) == "X"; }));
    clickCell(2, 3); // 2.1 / 2.2, siblings under D
    EXPECT_EQ(design().matrices().cellCount(), 1u);
    EXPECT_EQ(design().crossCells().size(), 1u);

    workspace->history().undo();
    workspace->history().undo();
    EXPECT_TRUE(design().crossCells().empty());
    EXPECT_FALSE(design().modified());
    EXPECT_TRUE(eventually([&] { return shown(3, 0).isEmpty() && shown(2, 3).isEmpty(); }));
}

TEST_F(FullMatrixWindowTest, XUnderAnORefusedWithTheMessageAndNothingChanged)
{
    design().setMatrixCell(model::kNoRow, MatrixKind::FrDp, 0, 1, CellValue::O);
    design().setModified(false);
    showFull();
    const QString undoBefore = workspace->history().undoText();
    clickCell(0, 2); // FR 1.1 / DP 2.1 under the O: a click asks for X
    ASSERT_EQ(prompter->errors.size(), 1u);
    EXPECT_EQ(prompter->errors.front(), "FR 1 and DP 2 are marked O one level up.");
    EXPECT_TRUE(design().crossCells().empty());
    EXPECT_EQ(workspace->history().undoText(), undoBefore);
    EXPECT_FALSE(design().modified());
    EXPECT_EQ(shown(0, 2), "O");
}

// The rows with X in the column are marked, the column's own row among them;
// the marks follow the column's cells and go with a second click or a change of the rows.
TEST_F(FullMatrixWindowTest, AColumnHeadClickMarksTheRowsItsParameterDisturbs)
{
    design().setMatrixCell(kA, MatrixKind::FrDp, 0, 1, CellValue::X);
    design().setCrossCell(MatrixKind::FrDp, kE, kC, CellValue::X);
    showFull();
    clickColumnHead(1); // DP 1.2
    EXPECT_EQ(status(), "DP 1.2 affects FR 1.1, 1.2, 2.1");
    for (int row : {kB, kC, kE})
        EXPECT_TRUE(marked(TreeId::FR, row)) << row;
    for (int row : {kA, kF})
        EXPECT_FALSE(marked(TreeId::FR, row)) << row;
    EXPECT_FALSE(marked(TreeId::DP, kB));

    clickCell(3, 1);
    EXPECT_TRUE(eventually([&] { return status() == "DP 1.2 affects FR 1.1, 1.2, 2.1, 2.2"; }));
    EXPECT_TRUE(marked(TreeId::FR, kF));
    clickColumnHead(1);
    EXPECT_FALSE(marked(TreeId::FR, kB));
    EXPECT_EQ(status(), "");

    clickColumnHead(0);
    EXPECT_EQ(status(), "DP 1.1 affects FR 1.1");
    grid()->setCurrentIndex(grid()->model()->index(0, 1));
    QTest::keyClick(grid(), Qt::Key_Return);
    EXPECT_TRUE(marked(TreeId::FR, kE));
    clickRow(TreeId::FR, kF);
    editing->actions().addBelow->trigger(); // a change of the rows
    EXPECT_FALSE(marked(TreeId::FR, kE));
    EXPECT_TRUE(eventually([&] { return grid()->model()->rowCount() == 5; }));
}

TEST_F(FullMatrixWindowTest, ATooManyLeavesMessageTakesTheGridsPlaceAboveTheLimit)
{
    for (int leaves : {ui::FullMatrixView::kMostLeaves, ui::FullMatrixView::kMostLeaves + 1}) {
        std::vector<std::string> lines(static_cast<std::size_t>(leaves), "Leaf");
        loadOutline(design(), lines);
        if (!features->matrixPane->isVisible())
            showFull();
        const bool over = leaves > ui::FullMatrixView::kMostLeaves;
        EXPECT_TRUE(eventually([&] { return full()->leafCount() == static_cast<std::size_t>(leaves); }));
        EXPECT_EQ(features->matrixPane->message(), over ? ui::FullMatrixView::kTooManyLeaves : "") << leaves;
        EXPECT_EQ(grid()->isVisible(), !over);
        const std::uint64_t cells = std::uint64_t(leaves) * (leaves - 1);
        EXPECT_EQ(full()->classification(MatrixKind::DpPv)->text().toStdString(),
                  std::to_string(cells) + " of " + std::to_string(cells) + " cells not assessed");
    }
}

} // namespace
} // namespace testing_app
