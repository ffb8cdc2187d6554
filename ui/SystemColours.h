#pragma once
// Colour values as the design file stores them: 0x00BBGGRR for an explicit
// colour (red in the lowest byte), or kSystemColour + n for system colour n,
// which is looked up in the palette only when something is drawn.

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <cstdint>

namespace ui {

// The number of system colours the table knows (0 to 30); any other n is black.
inline constexpr int kSystemColourCount = 31;

// The colour a value stands for, system colours taken from `palette`. A value
// whose top byte is neither 0x00 nor 0x80 is drawn as its low 24 bits.
QColor resolveColour(std::uint32_t value, const QPalette& palette = QApplication::palette());

// The explicit colour value (0x00BBGGRR) of a colour; alpha is dropped.
std::uint32_t toColourValue(const QColor& colour);

} // namespace ui
