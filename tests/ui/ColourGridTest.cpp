// The colour grid: squares, orderings, cell sizes, markers and the mouse.
#include "ui/TCColorGrid.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using ui::TCColorGrid;

// The grid as the options dialog has it: 100 x 100, background choice off.
struct DialogGrid : testing::Test {
    TCColorGrid grid;
    QSignalSpy clicks{&grid, &TCColorGrid::OnClick};
    QSignalSpy changes{&grid, &TCColorGrid::OnChange};

    DialogGrid() { grid.EnableBackground(false); }
    QPoint centreOf(int square) const { return grid.squareRect(square).center(); }
};

TEST(ColourGrid, SquaresShowTheSixteenStandardColours)
{
    EXPECT_EQ(TCColorGrid::squareColour(0), QColor(0, 0, 0));
    EXPECT_EQ(TCColorGrid::squareColour(7), QColor(192, 192, 192));
    EXPECT_EQ(TCColorGrid::squareColour(8), QColor(128, 128, 128));
    EXPECT_EQ(TCColorGrid::squareColour(9), QColor(255, 0, 0));
    EXPECT_EQ(TCColorGrid::squareColour(12), QColor(0, 0, 255));
    EXPECT_EQ(TCColorGrid::squareColour(15), QColor(255, 255, 255));
}

TEST_F(DialogGrid, StartsWithBlackAsForegroundInTwentyFivePixelCells)
{
    EXPECT_EQ(grid.size(), QSize(100, 100));
    EXPECT_EQ(grid.cellSize(), QSize(25, 25));
    EXPECT_EQ(grid.ForegroundIndex(), 0);
    EXPECT_EQ(grid.ForegroundColor(), 0u);
}

TEST_F(DialogGrid, ClickOnTheBottomRightSquareChoosesWhiteAndClicksOnce)
{
    QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(99, 99));
    EXPECT_EQ(grid.ForegroundIndex(), 15);
    EXPECT_EQ(grid.ForegroundColor(), 0x00FFFFFFu);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(DialogGrid, DragFromSquareOneToSixClicksOnlyAtTheRelease)
{
    QTest::mousePress(&grid, Qt::LeftButton, {}, centreOf(1));
    EXPECT_EQ(grid.ForegroundIndex(), 1);
    QMouseEvent move(QEvent::MouseMove, centreOf(6), grid.mapToGlobal(centreOf(6)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(&grid, &move);
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseRelease(&grid, Qt::LeftButton, {}, centreOf(6));
    EXPECT_EQ(grid.ForegroundIndex(), 6);
    EXPECT_EQ(grid.Selection(), 6);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(DialogGrid, ReleaseOutsideTheControlDoesNotClick)
{
    QTest::mousePress(&grid, Qt::LeftButton, {}, centreOf(5));
    QTest::mouseRelease(&grid, Qt::LeftButton, {}, QPoint(150, 40));
    EXPECT_EQ(grid.ForegroundIndex(), 5);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(DialogGrid, RightClickWithBackgroundOffMovesOnlyTheSelection)
{
    QTest::mouseClick(&grid, Qt::RightButton, {}, centreOf(10));
    EXPECT_EQ(grid.ForegroundIndex(), 0);
    EXPECT_EQ(grid.BackgroundIndex(), 0);
    EXPECT_EQ(grid.Selection(), 10);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(clicks.count(), 0);
}

TEST(ColourGrid, RightClickWithBackgroundOnChoosesTheBackground)
{
    TCColorGrid grid;
    QTest::mouseClick(&grid, Qt::RightButton, {}, grid.squareRect(12).center());
    EXPECT_EQ(grid.BackgroundIndex(), 12);
    EXPECT_EQ(grid.BackgroundColor(), 0x00FF0000u);
    EXPECT_EQ(grid.ForegroundIndex(), 0);
}

TEST(ColourGrid, DisabledForegroundIgnoresClicksUnlessClickEnablesColor)
{
    TCColorGrid grid;
    grid.EnableForeground(false);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.squareRect(3).center());
    EXPECT_EQ(grid.ForegroundIndex(), 0);
    EXPECT_EQ(grid.Selection(), 3);

    grid.SetClickEnablesColor(true);
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.squareRect(4).center());
    EXPECT_TRUE(grid.ForegroundEnabled());
    EXPECT_EQ(grid.ForegroundIndex(), 4);
}

TEST(ColourGrid, SettingTheSameIndexAgainIsNoChange)
{
    TCColorGrid grid;
    QSignalSpy changes(&grid, &TCColorGrid::OnChange);
    grid.SetForegroundIndex(0);
    grid.SetForegroundIndex(9);
    grid.SetForegroundIndex(9);
    grid.SetBackgroundIndex(99);   // out of range: the last square
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(grid.BackgroundIndex(), 15);
}

TEST(ColourGrid, ShrinksToWholeCells)
{
    TCColorGrid grid;
    grid.show();
    grid.resize(103, 98);
    EXPECT_EQ(grid.size(), QSize(100, 96));
    EXPECT_EQ(grid.cellSize(), QSize(25, 24));
}

struct OrderingCase {
    TCColorGrid::GridOrdering ordering;
    int columns;
    int rows;
};
void PrintTo(const OrderingCase& c, std::ostream* os) { *os << "ordering " << static_cast<int>(c.ordering) << ", " << c.columns << " x " << c.rows; }

class GridOrderings : public testing::TestWithParam<OrderingCase> {};

TEST_P(GridOrderings, ArrangeSquaresRowByRow)
{
    TCColorGrid grid;
    grid.resize(160, 160);
    grid.SetGridOrdering(GetParam().ordering);
    EXPECT_EQ(grid.columns(), GetParam().columns);
    EXPECT_EQ(grid.rows(), GetParam().rows);
    EXPECT_EQ(grid.squareAt(QPoint(0, 0)), 0);
    EXPECT_EQ(grid.squareAt(QPoint(500, 500)), 15);   // clamped into the control
    EXPECT_EQ(grid.squareAt(QPoint(-5, grid.height() - 1)), 16 - grid.columns());
}

INSTANTIATE_TEST_SUITE_P(All, GridOrderings,
                         testing::Values(OrderingCase{TCColorGrid::go16x1, 16, 1},
                                         OrderingCase{TCColorGrid::go8x2, 8, 2},
                                         OrderingCase{TCColorGrid::go4x4, 4, 4},
                                         OrderingCase{TCColorGrid::go2x8, 2, 8},
                                         OrderingCase{TCColorGrid::go1x16, 1, 16}),
                         [](const auto& info) {
                             return "Grid" + std::to_string(info.param.columns) + "x" + std::to_string(info.param.rows);
                         });

// Pixels close to `colour` inside one square's colour area (text is smoothed).
int pixelsOf(const QImage& image, const QRect& square, const QColor& colour)
{
    int count = 0;
    for (int y = square.top() + 3; y <= square.bottom() - 3; ++y) {
        for (int x = square.left() + 3; x <= square.right() - 3; ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green())
                         + std::abs(c.blue() - colour.blue()) < 150;
        }
    }
    return count;
}

TEST_F(DialogGrid, MarksTheForegroundInItsContrastColour)
{
    const QImage fresh = grid.grab().toImage();
    EXPECT_GT(pixelsOf(fresh, grid.squareRect(0), Qt::white), 5);   // "FG" on black

    grid.SetForegroundIndex(11);   // yellow: components flip to blue text
    const QImage image = grid.grab().toImage();
    EXPECT_GT(pixelsOf(image, grid.squareRect(11), Qt::blue), 5);
    EXPECT_EQ(pixelsOf(image, grid.squareRect(0), Qt::white), 0);   // background choice is off
    EXPECT_EQ(pixelsOf(image, grid.squareRect(15), Qt::black), 0);
}

} // namespace
