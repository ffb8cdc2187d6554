#pragma once
// The windows' font, Tahoma 8 pt. Linux has no Tahoma of its own; the
// metric-compatible one that fonts-wine ships lies outside fontconfig's
// path, so it is registered with the application once.

#include <QFont>

namespace ui {

// Registers Tahoma (regular and bold) from the Wine fonts folder when it is
// there; true when the family "Tahoma" can be drawn. Safe to call often.
bool registerTahoma();

// Tahoma at `pointSize`, registering it first; the platform's sans font
// stands in when it is missing.
QFont tahoma(int pointSize = 8);

} // namespace ui
