#pragma once
// The text form of a design: UTF-8 lines made for reading and for line-based
// diffs, holding everything a save of the design writes, so that the text
// read back gives the same file byte for byte.
//
//   tessaric design text 1
//   title FR: Functional requirements            the column titles, whole
//   level 0: 8 pt bold colour system 8 charset 0 font Tahoma
//   1 Pump water | Pump | Motor                  one row a line, two spaces a level
//     @FR-DP 1 2 X                               cells of the matrices over its children
//     @design 5 .. 12 l/min                      its information ranges
//     @system uniform 6 11
//     @note FR: first line of a note             continued by "@+ next line"
//     1.1 Deliver 3 l/min | Impeller | Speed
//   cross FR-DP 1.1 2.1 X                        cells between rows that are not siblings
//
// A row line is the FR text's outline number ("-" when it has none), then
// the three labels separated by " | "; a DP or PV text that does not begin
// with the same number is written whole behind "\=". In every text "\\",
// "\|" and "\xHH" (a character below U+0020, U+007F to U+009F, or a space
// that ends the text) stand for themselves. Bytes of the file that a design
// would not put there by itself (the tail behind a title's or face name's
// NUL, a reserved record that is not zero, blocks kept unread) are carried as
// hex, and only then.

#include "model/Design.h"

#include <string>
#include <string_view>

namespace io {

// The first line of every text form.
inline constexpr std::string_view kDesignTextHead = "tessaric design text 1";

// The text form of what encodeDesignFile(design, KeptBlocksToo::Yes) writes.
std::string designText(const model::Design& design);

// Reads a text form into `design` (a new one), or throws model::UserError
// "PATH:LINE: what is wrong" and leaves the design unusable.
void readDesignText(std::string_view text, const std::string& pathForMessages, model::Design& design);

// The design file the text stands for: what a save of the design read writes,
// with the kept blocks behind it.
std::string designFileFromText(std::string_view text, const std::string& pathForMessages);

// The text form of a design file's bytes, its header carried as read.
std::string designTextFromFile(std::string_view bytes, const std::string& pathForMessages);

} // namespace io
