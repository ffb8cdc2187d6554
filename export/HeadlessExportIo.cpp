#include "export/AtomicFileWriter.h"
#include "export/HeadlessExport.h"
#include "io/DesignFile.h"
#include "model/HeaderRecord.h"
#include "model/UserError.h"

namespace exporting {

LoadedDesign loadDesignFile(const std::string& path)
{
    io::DesignFileContents contents =
        path == kStandardStream ? io::parseDesignFile(readStandardInput(), path) : io::readDesignFile(path);
    // The window ignores a file with a wrong magic number; a command line
    // must not turn it into an empty document that reports success.
    if (contents.header.magic != model::kDesignMagic)
        throw model::UserError(path + " is not a design file");
    LoadedDesign design;
    design.titles = std::move(contents.titles);
    design.trees = std::move(contents.trees).release(); // the nodes stay where they are
    design.levelColours = levelColourValues(contents.header);
    design.matrices = std::move(contents.matrices);
    design.ranges = std::move(contents.ranges);
    design.crossCells = std::move(contents.crossCells);
    design.fullTitles = std::move(contents.fullTitles);
    design.fullLabels = std::move(contents.fullLabels);
    design.notes = std::move(contents.notes);
    design.leftOut = io::leftOutMessages(contents.kept, path);
    return design;
}

int runHeadlessExport(const std::vector<std::string>& args, std::ostream& err,
                      const ColourResolver& resolver)
{
    AtomicFileWriter writer;
    return runHeadlessExport(args, err, resolver, loadDesignFile, writer);
}

} // namespace exporting
