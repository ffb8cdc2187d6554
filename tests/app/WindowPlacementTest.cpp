// The window's saved place and size come from a text file anyone may edit:
// whatever it says, the window opens no larger than the screen and within reach.

#include "app/WindowPlacement.h"

#include <QRect>
#include <climits>
#include <gtest/gtest.h>

namespace {

struct Placement {
    const char* name;
    QPoint pos;
    QSize size;
    QRect screen; // the available area
    QRect placed;
};
void PrintTo(const Placement& c, std::ostream* os) { *os << c.name; }

class WindowPlacement : public ::testing::TestWithParam<Placement> {};

TEST_P(WindowPlacement, OpensWithinReachAndNoLargerThanTheScreen)
{
    const Placement& c = GetParam();
    EXPECT_EQ(app::placedWindow(c.pos, c.size, QSize(300, 440), c.screen), c.placed);
}

const QRect kScreen(0, 0, 1920, 1040);

INSTANTIATE_TEST_SUITE_P(
    Saved, WindowPlacement,
    ::testing::Values(
        Placement{"FittingStaysAsSaved", {100, 50}, {640, 480}, kScreen, {100, 50, 640, 480}},
        Placement{"PartlyOffScreenStaysAsSaved", {-200, 600}, {640, 480}, kScreen, {-200, 600, 640, 480}},
        Placement{"HugeShrinksToTheScreen", {0, 0}, {INT_MAX, INT_MAX}, kScreen, kScreen},
        Placement{"FarRightAndBelowComesBackWithAStripShowing", {INT_MAX, INT_MAX}, {640, 480}, kScreen,
                  {1820, 940, 640, 480}},
        Placement{"FarLeftAndAboveComesBackWithItsTopOnScreen", {INT_MIN, INT_MIN}, {640, 480}, kScreen,
                  {-540, 0, 640, 480}},
        Placement{"NoSizeTakesTheMinimum", {100, 50}, {0, -5}, kScreen, {100, 50, 300, 440}},
        Placement{"ScreenBelowTheMinimumWins", {0, 0}, {640, 480}, QRect(0, 0, 800, 400), {0, 0, 640, 400}},
        Placement{"ScreenNotAtTheOrigin", {0, 0}, {640, 480}, QRect(1920, 30, 1280, 994), {1380, 30, 640, 480}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
