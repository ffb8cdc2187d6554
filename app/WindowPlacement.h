#pragma once
// Where the main window opens: the position and size Formats.ini remembers,
// held to the screen. The file is plain text anyone may edit, and a window
// placed far off screen, or larger than any screen, could not be reached to
// be moved back; closing it would write those values back again.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace app {

// The window's frame for a saved top-left `pos` and `size`, on a screen whose
// available area is `screen`: no larger than that area (nor smaller than
// `minimum`, unless the area is), its top edge on the screen and at least a
// strip of it (kReachable pixels, or all of it when narrower) inside the
// area, so that the title bar can be grabbed. A window that fits stays
// where it was saved.
QRect placedWindow(QPoint pos, QSize size, QSize minimum, const QRect& screen);

inline constexpr int kReachable = 100;

} // namespace app
