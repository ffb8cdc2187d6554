#include "export/TableExport.h"

#include "export/CsvTableWriter.h"
#include "export/HtmlTableWriter.h"
#include "export/MarkdownTableWriter.h"
#include "export/OdtTableWriter.h"
#include "export/TablePageRenderer.h"
#include "model/UserError.h"

namespace exporting {

std::string renderTable(const TableDocument& document, TableFormat format, ExportProgress& progress)
{
    switch (format) {
    case TableFormat::Odt:
        return renderOdt(document, progress);
    case TableFormat::Pdf:
        return renderPdf(document, progress);
    case TableFormat::Html:
        return renderHtml(document);
    case TableFormat::Csv:
        return renderCsv(document);
    case TableFormat::Markdown:
        return renderMarkdown(document);
    }
    return {};
}

void exportTable(const TableDocument& document, TableFormat format, const std::string& path, FileWriter& writer,
                 ExportProgress& progress)
{
    std::string bytes;
    try {
        bytes = renderTable(document, format, progress);
    } catch (const model::UserError&) { // a writer of Qt's that failed
        throw model::UserError("Cannot create file " + path);
    }
    // The last word before the file is replaced: a stop asked for now still writes nothing.
    reportOrStop(progress, 1, 1);
    writer.writeFile(path, bytes);
}

} // namespace exporting
