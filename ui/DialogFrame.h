#pragma once
// The dialogs are laid out in pixels for a given outer size; the client area
// is what remains inside a 4-pixel border and a 30-pixel title bar.

#include <QSize>

namespace ui {

inline constexpr int kFrameBorder = 4;
inline constexpr int kTitleBarHeight = 30;

inline QSize clientSizeFor(QSize outer)
{
    return {outer.width() - 2 * kFrameBorder, outer.height() - kTitleBarHeight - kFrameBorder};
}

} // namespace ui
