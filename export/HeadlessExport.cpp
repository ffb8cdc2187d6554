#include "export/HeadlessExport.h"

#include "export/AtomicFileWriter.h"

#include "export/ExportPath.h"
#include "export/RtfExport.h"
#include "model/UserError.h"

namespace exporting {
namespace {

constexpr const char* kUsage = "Usage: tessaric --export-rtf DESIGN.vok [OUT.rtf]";

// Nothing to hand the document to on a command line.
class NoOpener : public DocumentOpener {
public:
    bool open(const std::string&) override { return false; }
};

} // namespace

ExportSource exportSourceOf(const LoadedDesign& design)
{
    ExportSource source;
    for (std::size_t t = 0; t < source.trees.size(); ++t) {
        source.titles[t] = design.titles[t];
        source.fullTitles[t] = design.fullTitles[t];
        source.trees[t] = &design.trees[t];
    }
    source.levelColours = design.levelColours;
    source.matrices = &design.matrices;
    source.ranges = &design.ranges;
    source.crossCells = &design.crossCells;
    source.fullLabels = &design.fullLabels;
    source.notes = &design.notes;
    return source;
}

int runHeadlessExport(const std::vector<std::string>& args, std::ostream& err,
                      const ColourResolver& resolver, const DesignLoader& load, FileWriter& writer)
{
    if (args.empty() || args.size() > 2 || args[0].empty()) {
        err << kUsage << '\n';
        return 1;
    }
    try {
        const LoadedDesign design = load(args[0]);
        for (const std::string& message : design.leftOut)
            err << message << '\n';
        const std::string out = args.size() == 2             ? args[1]
                                : args[0] == kStandardStream ? std::string(kStandardStream)
                                                             : exportPathFor(args[0], {});
        if (out != kStandardStream)
            refuseUnsafeTarget(out, args[0]);
        NoOpener opener;
        exportRtf(exportSourceOf(design), resolver, out, writer, opener);
        return 0;
    } catch (const std::exception& e) { // UserError, and bad_alloc on a huge file
        err << e.what() << '\n';
        return 1;
    }
}

} // namespace exporting
