#pragma once
// Windows-1252 at the display boundary: node texts and titles stay bytes in
// the model and in files, and become Unicode only to be shown or typed.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

// Every byte decodes; the five bytes Windows-1252 leaves undefined become the
// C1 controls of the same value, so every byte round-trips.
QString decodeCp1252(std::string_view bytes);

// The bytes of `text`, or nothing when a character has no Windows-1252 byte.
std::optional<std::string> encodeCp1252(const QString& text);

} // namespace ui
