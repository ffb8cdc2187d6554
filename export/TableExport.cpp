#include "export/TableExport.h"

#include "export/CsvTableWriter.h"
#include "export/HtmlTableWriter.h"
#include "export/MarkdownTableWriter.h"
#include "export/OdtTableWriter.h"
#include "export/TablePageRenderer.h"
#include "model/UserError.h"

namespace exporting {

void writeTable(const TableDocument& document, TableFormat format, ByteSink& out, ExportProgress& progress)
{
    switch (format) {
    case TableFormat::Odt:
        return writeOdt(document, out, progress);
    case TableFormat::Pdf:
        return writePdf(document, out, progress);
    case TableFormat::Html:
        return out.write(renderHtml(document));
    case TableFormat::Csv:
        return out.write(renderCsv(document));
    case TableFormat::Markdown:
        return out.write(renderMarkdown(document));
    }
}

std::string renderTable(const TableDocument& document, TableFormat format, ExportProgress& progress)
{
    StringSink bytes;
    writeTable(document, format, bytes, progress);
    return bytes.take();
}

void exportTable(const TableDocument& document, TableFormat format, const std::string& path, FileWriter& writer,
                 ExportProgress& progress)
{
    try {
        writer.writeStream(path, [&](ByteSink& out) {
            writeTable(document, format, out, progress);
            // The last word before the file is replaced: a stop asked for now still writes nothing.
            reportOrStop(progress, 1, 1);
        });
    } catch (const model::UserError&) { // a full disk, a writer of Qt's that failed
        throw model::UserError("Cannot create file " + path);
    }
}

} // namespace exporting
