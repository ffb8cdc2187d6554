#pragma once
// Where an export is written: next to the design file, under its name with the
// extension ".rtf".

#include <string>
#include <string_view>

namespace exporting {

inline constexpr std::string_view kUnsavedExportName = "Output.rtf";

// The design file path with its file-name extension replaced by ".rtf".
// Only a dot in the file name counts (folder names often hold dots), and not
// a dot that leads the name: ".design" is a hidden file without extension.
// A name without an extension gets ".rtf" appended. A design without a file
// path exports to "Output.rtf" in the start-up folder.
std::string exportPathFor(std::string_view designPath, std::string_view startupDir);

} // namespace exporting
