#pragma once
// The table export: the table document rendered in one of the five formats
// and written in one piece, replacing any file there whole or not at all.
// ODT and PDF stream into the file as they are made; the others are built
// in memory first.

#include "export/ByteSink.h"
#include "export/ExportProgress.h"
#include "export/FileWriter.h"
#include "export/TableDocument.h"
#include "export/TableFormat.h"

#include <string>

namespace exporting {

// Writes `document` in `format` into `out`. Throws ExportCancelled when the
// progress says stop, model::UserError when the sink or a writer fails.
void writeTable(const TableDocument& document, TableFormat format, ByteSink& out, ExportProgress& progress);

// The bytes of `document` in `format`.
std::string renderTable(const TableDocument& document, TableFormat format, ExportProgress& progress);

// Renders and writes to `path`. Throws model::UserError "Cannot create file
// <path>" when the file cannot be written, and ExportCancelled when stopped;
// either way nothing is written.
void exportTable(const TableDocument& document, TableFormat format, const std::string& path, FileWriter& writer,
                 ExportProgress& progress);

} // namespace exporting
