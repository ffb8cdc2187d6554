// The design matrix pane on its own: heads and cells from the design, the
// classification in words and colour, clicks and keys turned into requests
// (which the test carries out, as the window does), and the limits.
#include "ui/MatrixPane.h"

#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using model::CellValue;
using model::MatrixKind;
using model::TreeId;

// 1 Pump           FR labels; DP and PV get " dp" and " pv" behind them
//   1.1 Inlet
//   1.2 Impeller
//   1.3 Motor
void build(model::Design& design, int children = 3)
{
    static const char* const kNames[] = {"Inlet", "Impeller", "Motor"};
    for (TreeId id : model::kAllTrees) {
        const std::string tag = id == TreeId::FR ? "" : id == TreeId::DP ? " dp" : " pv";
        model::DesignTree& t = design.tree(id);
        model::Node* top = t.appendTopLevel("1 Pump" + tag);
        for (int i = 0; i < children; ++i)
            t.appendChild(top, "1." + std::to_string(i + 1) + " " + (i < 3 ? kNames[i] : "Part") + tag);
    }
}

class MatrixPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        build(design);
        pane.resize(900, 400);
        pane.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
        // The window's part: carry out the request, then show the matrices again.
        QObject::connect(&pane, &ui::MatrixPane::cellChangeRequested,
                         [this](int parentRow, MatrixKind kind, int row, int column, CellValue value) {
                             design.setMatrixCell(parentRow, kind, row, column, value);
                             pane.showMatrices(design, parentRow);
                         });
        pane.showMatrices(design, 0);
    }

    ui::MatrixGrid* frDp() const { return pane.grid(MatrixKind::FrDp); }
    QString shown(ui::MatrixGrid* grid, int row, int column) const
    {
        return grid->model()->index(row, column).data().toString();
    }
    void click(ui::MatrixGrid* grid, int row, int column)
    {
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    CellValue stored(MatrixKind kind, int row, int column) const
    {
        const model::Node* p = design.matrixParent(0);
        return design.matrices().cell(p, kind, p->children[static_cast<std::size_t>(row)],
                                      p->children[static_cast<std::size_t>(column)]);
    }

    model::Design design;
    ui::MatrixPane pane;
};

TEST_F(MatrixPaneTest, HeadsShowTheChildrensNumbersAndLabelsAndTheDiagonalIsAGreyX)
{
    EXPECT_EQ(pane.caption()->text(), "Design matrix of 1 Pump");
    QAbstractItemModel* fr = frDp()->model();
    EXPECT_EQ(fr->headerData(1, Qt::Vertical).toString(), "1.2 Impeller");
    EXPECT_EQ(fr->headerData(2, Qt::Horizontal).toString(), "1.3");
    EXPECT_EQ(fr->headerData(2, Qt::Horizontal, Qt::ToolTipRole).toString(), "Motor dp");
    QAbstractItemModel* dp = pane.grid(MatrixKind::DpPv)->model();
    EXPECT_EQ(dp->headerData(0, Qt::Vertical).toString(), "1.1 Inlet dp");
    EXPECT_EQ(dp->headerData(0, Qt::Horizontal, Qt::ToolTipRole).toString(), "Inlet pv");
    EXPECT_EQ(shown(frDp(), 1, 1), "X");
    EXPECT_TRUE(fr->index(1, 1).data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(shown(frDp(), 1, 2), "");
    EXPECT_EQ(pane.classification(MatrixKind::FrDp)->text(), "6 of 6 cells not assessed");
}

TEST_F(MatrixPaneTest, AClickCyclesACellThroughXAndOBackToNotAssessed)
{
    QSignalSpy requests(&pane, &ui::MatrixPane::cellChangeRequested);
    const CellValue expected[] = {CellValue::X, CellValue::O, CellValue::NotAssessed};
    for (CellValue value : expected) {
        click(frDp(), 0, 2);
        EXPECT_EQ(stored(MatrixKind::FrDp, 0, 2), value);
    }
    EXPECT_EQ(requests.size(), 3);
    click(frDp(), 1, 1); // the diagonal asks for nothing
    EXPECT_EQ(requests.size(), 3);
}

TEST_F(MatrixPaneTest, KeysMoveAndSetCells)
{
    frDp()->setFocus();
    frDp()->setCurrentIndex(frDp()->model()->index(0, 1));
    QTest::keyClick(frDp(), Qt::Key_X);
    QTest::keyClick(frDp(), Qt::Key_Right);
    QTest::keyClick(frDp(), Qt::Key_O);
    QTest::keyClick(frDp(), Qt::Key_Down);
    QTest::keyClick(frDp(), Qt::Key_0);
    QTest::keyClick(frDp(), Qt::Key_Left);
    QTest::keyClick(frDp(), Qt::Key_Left);
    QTest::keyClick(frDp(), Qt::Key_X);
    EXPECT_EQ(stored(MatrixKind::FrDp, 0, 1), CellValue::X);
    EXPECT_EQ(stored(MatrixKind::FrDp, 0, 2), CellValue::O);
    EXPECT_EQ(stored(MatrixKind::FrDp, 1, 2), CellValue::O);
    EXPECT_EQ(stored(MatrixKind::FrDp, 1, 0), CellValue::X);
    QTest::keyClick(frDp(), Qt::Key_Delete);
    EXPECT_EQ(stored(MatrixKind::FrDp, 1, 0), CellValue::NotAssessed);
    QTest::keyClick(frDp(), Qt::Key_Up);
    QTest::keyClick(frDp(), Qt::Key_Right);
    QTest::keyClick(frDp(), Qt::Key_Space);
    EXPECT_EQ(stored(MatrixKind::FrDp, 0, 1), CellValue::NotAssessed);
    EXPECT_EQ(shown(frDp(), 0, 1), "");
    EXPECT_EQ(shown(frDp(), 0, 2), "O");
}

struct Shown {
    const char* name;
    std::vector<std::string> grid; // row i: the cells of FR i, '.' not assessed
    const char* text;
    const char* colour;
};

class MatrixPaneClassification : public MatrixPaneTest, public ::testing::WithParamInterface<Shown> {};

TEST_P(MatrixPaneClassification, ShowsTheClassificationInWordsAndColour)
{
    const Shown& s = GetParam();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (i != j && s.grid[i][j] != '.')
                design.setMatrixCell(0, MatrixKind::FrDp, i, j, s.grid[i][j] == 'X' ? CellValue::X : CellValue::O);
    pane.showMatrices(design, 0);
    QLabel* line = pane.classification(MatrixKind::FrDp);
    EXPECT_EQ(line->text(), s.text);
    EXPECT_TRUE(line->styleSheet().contains(s.colour)) << line->styleSheet().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Lines, MatrixPaneClassification,
                         ::testing::Values(Shown{"Uncoupled", {"XOO", "OXO", "OOX"}, "Uncoupled", "#1e7b1e"},
                                           Shown{"Decoupled", {"XXO", "OXO", "XXX"},
                                                 "Decoupled: set DP 1.2, then 1.1, then 1.3", "#b26b00"},
                                           Shown{"Coupled", {"XOX", "OXO", "XOX"},
                                                 "Coupled: 1.1 and 1.3 affect each other", "#c62828"},
                                           Shown{"Incomplete", {"XX.", ".XO", "..X"}, "4 of 6 cells not assessed",
                                                 "#777777"},
                                           Shown{"IncompleteButAlreadyCoupled", {"XX.", "XX.", "..X"},
                                                 "4 of 6 cells not assessed; 1.1 and 1.2 already affect each other",
                                                 "#c62828"}),
                         [](const ::testing::TestParamInfo<Shown>& info) { return std::string(info.param.name); });

TEST(MatrixPaneLimits, MoreThanTwoHundredRowsShowAMessageAndKeepTheirCells)
{
    model::Design design;
    build(design, 201);
    design.setMatrixCell(0, MatrixKind::DpPv, 200, 3, CellValue::X);
    ui::MatrixPane pane;
    pane.showMatrices(design, 0);
    EXPECT_EQ(pane.message(), "Too many rows for a matrix view");
    EXPECT_EQ(design.matrices().cellCount(), 1u);

    model::Design small;
    build(small, 200);
    pane.showMatrices(small, 0);
    EXPECT_EQ(pane.message(), "");
    EXPECT_EQ(pane.grid(MatrixKind::FrDp)->model()->rowCount(), 200);
    // A level of one row has no matrix.
    pane.showMatrices(small, model::kNoRow);
    EXPECT_EQ(pane.caption()->text(), "Design matrix of the top level");
    EXPECT_EQ(pane.message(), ui::MatrixPane::kNoMatrix);
}

} // namespace
