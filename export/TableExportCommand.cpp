#include "export/TableExportCommand.h"

#include "export/AtomicFileWriter.h"
#include "export/ExportPath.h"
#include "export/FlowDiagram.h"
#include "export/TableExport.h"
#include "model/UserError.h"

#include <cctype>

namespace exporting {
namespace {

constexpr const char* kUsage = "Usage: tessaric --export odt|html|pdf|csv|md|svg DESIGN.vok [OUT]";

// The flow diagram is a picture, not a table, but goes out the same way.
bool namesSvg(const std::string& format)
{
    return format.size() == 3 && std::tolower(static_cast<unsigned char>(format[0])) == 's'
           && std::tolower(static_cast<unsigned char>(format[1])) == 'v'
           && std::tolower(static_cast<unsigned char>(format[2])) == 'g';
}

} // namespace

int runTableExport(const std::vector<std::string>& args, std::ostream& err, const ColourResolver& resolver,
                   const DesignLoader& load, FileWriter& writer)
{
    if (args.size() < 2 || args.size() > 3 || args[1].empty()) {
        err << kUsage << '\n';
        return 1;
    }
    const bool svg = namesSvg(args[0]);
    const std::optional<TableFormat> format = formatNamed(args[0]);
    if (!format && !svg) {
        err << "Unknown format " << args[0] << ": use odt, html, pdf, csv, md or svg\n";
        return 1;
    }
    try {
        const LoadedDesign design = load(args[1]);
        for (const std::string& message : design.leftOut)
            err << message << '\n';
        const std::string out = args.size() == 3             ? args[2]
                                : args[1] == kStandardStream ? std::string(kStandardStream)
                                : exportPathFor(args[1], {}, svg ? kSvgExtension : extensionOf(*format));
        if (out != kStandardStream)
            refuseUnsafeTarget(out, args[1]);
        if (svg) {
            writeFlowPicture(layoutFlowDiagram(exportSourceOf(design)), PictureFormat::Svg, out, writer);
            return 0;
        }
        const TableDocument document = TableDocument::build(exportSourceOf(design), resolver, tableTitleFor(args[1]));
        NoProgress progress;
        exportTable(document, *format, out, writer, progress);
        return 0;
    } catch (const std::exception& e) { // UserError, and bad_alloc on a huge file
        err << e.what() << '\n';
        return 1;
    }
}

int runTableExport(const std::vector<std::string>& args, std::ostream& err, const ColourResolver& resolver)
{
    AtomicFileWriter writer;
    return runTableExport(args, err, resolver, loadDesignFile, writer);
}

} // namespace exporting
