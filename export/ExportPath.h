#pragma once
// Where an export is written: next to the design file, under its name with the
// extension ".rtf"; and which targets an export refuses to replace.

#include <string>
#include <string_view>

namespace exporting {

inline constexpr std::string_view kUnsavedExportStem = "Output";
inline constexpr std::string_view kRtfExtension = ".rtf";

// The design file path with its file-name extension replaced by `extension`.
// Only a dot in the file name counts (folder names often hold dots), and not
// a dot that leads the name: ".design" is a hidden file without extension.
// A name without an extension gets `extension` appended. A design without a
// file path exports to "Output" + `extension` in the start-up folder.
std::string exportPathFor(std::string_view designPath, std::string_view startupDir, std::string_view extension);

// The rich-text export's path: `extension` ".rtf".
inline std::string exportPathFor(std::string_view designPath, std::string_view startupDir)
{
    return exportPathFor(designPath, startupDir, kRtfExtension);
}

// Throws model::UserError unless an export may replace whatever is at
// `target`: never the design file itself, under whatever name (a symlink, a
// hard link, or the derived name of a design whose own name ends in the
// export's extension): "Cannot export %s onto itself"; and never an existing
// thing that is not a regular file (a FIFO, a device), which the atomic
// rename would turn into a file: "Cannot create file %s". `designPath` is
// empty for a design never saved. Call it before anything is rendered.
void refuseUnsafeTarget(const std::string& target, const std::string& designPath);

} // namespace exporting
