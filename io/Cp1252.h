#pragma once
// Windows-1252 bytes, as node texts hold them, turned into UTF-8 for messages.

#include <string>
#include <string_view>

namespace io {

// Every byte maps to one code point (the five unassigned bytes to U+0081 and
// the like), so nothing is lost or replaced.
std::string cp1252ToUtf8(std::string_view bytes);

// The same, appended to `out` (writers that build one large text).
void appendCp1252AsUtf8(std::string& out, std::string_view bytes);

} // namespace io
