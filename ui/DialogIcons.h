#pragma once
// The small pictures of the options and about dialogs: the desktop theme's
// icon where there is one, otherwise one painted here, so that no window
// shows an empty space where an icon belongs.

#include <QIcon>
#include <QPixmap>
#include <QStyle>

namespace ui::icons {

// The theme's icon `name`, or the style's standard icon when the theme has none.
QIcon themed(const char* name, QStyle::StandardPixmap fallback);

// A 16 x 16 arrow head pointing right (the left marker) or left (the right one).
QPixmap marker(bool pointsRight);

// Four coloured squares: the node colours page and the options dialog.
QIcon colourSquares();

// One or two letters in a rounded box: the font page and its decorations.
QIcon letters(const QString& text, bool bold = false, bool italic = false,
              bool underline = false);

} // namespace ui::icons
