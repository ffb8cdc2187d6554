#include "app/WindowPlacement.h"

#include <algorithm>

namespace app {

namespace {

// `wanted` within [smallest, largest], where the smallest gives way to the largest.
int clampedLength(int wanted, int smallest, int largest)
{
    return std::clamp(wanted, std::min(smallest, largest), largest);
}

} // namespace

QRect placedWindow(QPoint pos, QSize size, QSize minimum, const QRect& screen)
{
    const int width = clampedLength(size.width(), minimum.width(), screen.width());
    const int height = clampedLength(size.height(), minimum.height(), screen.height());
    // Every bound lies within the screen's own coordinates, so nothing here
    // overflows however far off the saved values are.
    const int reachX = std::min(kReachable, width);
    const int reachY = std::min(kReachable, height);
    const int left = std::clamp(pos.x(), screen.left() - width + reachX, screen.left() + screen.width() - reachX);
    const int top = std::clamp(pos.y(), screen.top(), screen.top() + screen.height() - reachY);
    return {left, top, width, height};
}

} // namespace app
