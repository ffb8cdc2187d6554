#include "export/RtfExport.h"

#include "export/AtomicFileWriter.h"
#include "export/ExportPath.h"
#include "export/RtfWriter.h"
#include "model/Design.h"
#include "model/HeaderRecord.h"

namespace exporting {

ExportSource exportSourceOf(const model::Design& design)
{
    ExportSource source;
    for (model::TreeId id : model::kAllTrees) {
        source.titles[model::index(id)] = design.title(id);
        source.fullTitles[model::index(id)] = design.unicodeTitle(id);
        source.trees[model::index(id)] = &design.tree(id);
    }
    source.levelColours = levelColourValues(design.look().currentHeader());
    source.matrices = &design.matrices();
    source.ranges = &design.ranges();
    source.crossCells = &design.crossCells();
    source.fullLabels = &design.fullLabels();
    source.notes = &design.notes();
    return source;
}

std::string renderRtf(const ExportSource& source, const ColourResolver& resolver)
{
    // The document only lives until its bytes exist.
    return RtfWriter().render(ExportDocument::build(source, resolver));
}

bool exportRtf(const ExportSource& source, const ColourResolver& resolver, const std::string& path,
               FileWriter& writer, DocumentOpener& opener)
{
    writer.writeFile(path, renderRtf(source, resolver));
    return opener.open(path);
}

ExportResult exportDesign(const model::Design& design, std::string_view currentFilePath,
                          std::string_view startupDir, const ColourResolver& resolver, DocumentOpener& opener)
{
    AtomicFileWriter writer;
    return exportDesign(design, currentFilePath, startupDir, resolver, opener, writer);
}

ExportResult exportDesign(const model::Design& design, std::string_view currentFilePath,
                          std::string_view startupDir, const ColourResolver& resolver, DocumentOpener& opener, FileWriter& writer)
{
    ExportResult result;
    result.path = exportPathFor(currentFilePath, startupDir);
    refuseUnsafeTarget(result.path, std::string(currentFilePath));
    result.opened = exportRtf(exportSourceOf(design), resolver, result.path, writer, opener);
    return result;
}

} // namespace exporting
