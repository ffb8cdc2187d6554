#pragma once
// The table as an OpenDocument text: a QTextDocument built row by row (the
// title, one table whose head row repeats on every page, labels indented and
// coloured by level, level 0 bold, then the design matrices) and written by
// QTextDocumentWriter.

#include "export/ExportProgress.h"
#include "export/TableDocument.h"

#include <memory>
#include <string>

class QTextDocument;

namespace exporting {

// Reports the rows as they are added; throws ExportCancelled.
std::unique_ptr<QTextDocument> buildTextDocument(const TableDocument& document, ExportProgress& progress);

// The ODT bytes. The writer, the longer half of the work, runs on a thread of
// its own while this thread keeps reporting, so that a progress dialog stays
// alive; a stop asked for meanwhile is honoured once the writer is done.
std::string renderOdt(const TableDocument& document, ExportProgress& progress);

} // namespace exporting
