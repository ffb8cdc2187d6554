#pragma once
// The export command: the design's titles and trees as an RTF document,
// coloured by level, written next to the design file and handed to the word
// processor. Export only reads: the design, its file path and its modified
// flag stay as they were.

#include "export/DocumentOpener.h"
#include "export/ExportDocument.h"
#include "export/FileWriter.h"

#include <string>
#include <string_view>

namespace model {
class Design;
}

namespace exporting {

// What export reads of an open design; the level colours are those of its
// current header (the colours the trees are drawn in).
ExportSource exportSourceOf(const model::Design& design);

// The RTF bytes of a source, system colours resolved now.
std::string renderRtf(const ExportSource& source, const ColourResolver& resolver);

// Writes the RTF of `source` to `path`, replacing any file there, then opens
// it; true when a program could be started for it. Throws model::UserError
// "Cannot create file <path>" when the file cannot be written; the opener is
// then not called.
bool exportRtf(const ExportSource& source, const ColourResolver& resolver, const std::string& path,
               FileWriter& writer, DocumentOpener& opener);

// Where an export went, and whether a program could be started to show it.
struct ExportResult {
    std::string path;
    bool opened = false;
};

// The export button: exports to the path exportPathFor() derives from the
// current file path (or "Output.rtf" in the start-up folder), refusing a
// target refuseUnsafeTarget() refuses. Writes atomically unless a writer is given.
ExportResult exportDesign(const model::Design& design, std::string_view currentFilePath,
                          std::string_view startupDir, const ColourResolver& resolver, DocumentOpener& opener);
ExportResult exportDesign(const model::Design& design, std::string_view currentFilePath,
                          std::string_view startupDir, const ColourResolver& resolver, DocumentOpener& opener, FileWriter& writer);

} // namespace exporting
