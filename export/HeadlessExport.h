#pragma once
// `tessaric --export-rtf DESIGN.vok [OUT.rtf]`: exports a design file without
// a window. OUT.rtf defaults to the design file's path with ".rtf". Colours
// come from the level styles stored in the design file; nothing is opened.

#include "export/ExportDocument.h"
#include "export/FileWriter.h"
#include "model/DesignTree.h"
#include "model/InformationRanges.h"

#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace exporting {

inline constexpr std::string_view kExportOption = "--export-rtf";

// A design read from its file: what a headless export needs of it.
struct LoadedDesign {
    std::array<std::string, model::kTreeCount> titles;
    std::array<model::DesignTree, model::kTreeCount> trees;
    LevelColourValues levelColours{};
    model::MatrixStore matrices; // keyed by the nodes of trees[0]
    model::RangeStore ranges;    // keyed by the nodes of trees[0]
    model::CrossCellStore crossCells; // keyed by the nodes of trees[0]
    std::array<std::string, model::kTreeCount> fullTitles; // UTF-8 beyond Windows-1252, else empty
    model::RowTextStore fullLabels;   // keyed by the nodes of trees[0]
    model::RowTextStore notes;        // keyed by the nodes of trees[0]
    // One line for each kind of block the file held and the design could not
    // take in ("The design matrices in pump.vok could not be read and are left
    // out"): the rest of the design is exported all the same.
    std::vector<std::string> leftOut;
};

// Reads a design file or throws model::UserError.
using DesignLoader = std::function<LoadedDesign(const std::string& path)>;

// The design file reader as a loader: refuses a file that is not a design
// file. Defined in HeadlessExportIo.cpp.
LoadedDesign loadDesignFile(const std::string& path);

// What export reads of a loaded design.
ExportSource exportSourceOf(const LoadedDesign& design);

// `args` are the arguments after "--export-rtf". Returns the exit status:
// 0 on success, 1 after writing the error message (one line) to `err`.
int runHeadlessExport(const std::vector<std::string>& args, std::ostream& err,
                      const ColourResolver& resolver, const DesignLoader& load, FileWriter& writer);

// The same with the design file reader and the atomic writer. Defined in
// HeadlessExportIo.cpp, which is built once the io layer's reader exists.
int runHeadlessExport(const std::vector<std::string>& args, std::ostream& err,
                      const ColourResolver& resolver);

} // namespace exporting
