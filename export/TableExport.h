#pragma once
// The table export: the table document rendered in one of the five formats
// and written in one piece, replacing any file there whole or not at all.

#include "export/ExportProgress.h"
#include "export/FileWriter.h"
#include "export/TableDocument.h"
#include "export/TableFormat.h"

#include <string>

namespace exporting {

// The bytes of `document` in `format`. Throws ExportCancelled when the
// progress says stop.
std::string renderTable(const TableDocument& document, TableFormat format, ExportProgress& progress);

// Renders and writes to `path`. Throws model::UserError "Cannot create file
// <path>" when the file cannot be written, and ExportCancelled when stopped;
// either way nothing is written.
void exportTable(const TableDocument& document, TableFormat format, const std::string& path, FileWriter& writer,
                 ExportProgress& progress);

} // namespace exporting
