#pragma once
// The program's one font, Tahoma 8 point. Linux has no Tahoma of its own:
// Debian's fonts-wine ships a metric-compatible one outside fontconfig's
// path, which is loaded here; without it the platform's sans font stands in.

#include <QFont>

namespace ui {

inline constexpr int kAppFontPoints = 8;

// Loads Tahoma once if it is installed and returns the font to use.
QFont appFont();

} // namespace ui
