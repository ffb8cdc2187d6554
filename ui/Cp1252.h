#pragma once
// The display's names for the one Windows-1252 conversion (io/Cp1252.h).

#include "io/Cp1252.h"

namespace ui {

using io::decodeCp1252;
using io::encodeCp1252;

} // namespace ui
