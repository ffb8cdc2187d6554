#pragma once
// The toolbar image list (17 pictures, numbered 0 to 16), the save menu's
// three pictures and the window's own icon. Pictures come from the installed
// freedesktop icon theme by name, with a QStyle picture as the last resort,
// so every button shows something on a bare machine.

#include <QIcon>

namespace ui {

inline constexpr int kToolbarIconCount = 17;
inline constexpr int kToolTipOnIcon = 13;
inline constexpr int kToolTipOffIcon = 14;

// Points Qt at an installed theme when the platform names none.
void ensureIconTheme();

QIcon toolbarIcon(int number);   // 0..16
QIcon undoIcon();
QIcon redoIcon();
QIcon matrixIcon();
QIcon informationIcon();
QIcon notesIcon();
QIcon flowIcon();
QIcon saveMenuIcon(int number);  // 0..2
QIcon windowIcon();

} // namespace ui
