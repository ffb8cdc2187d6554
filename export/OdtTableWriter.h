#pragma once
// The table as an OpenDocument text, written here as a stream: the package
// (mimetype, META-INF/manifest.xml, content.xml, styles.xml) goes into a zip
// as it is made, content.xml one table row after another, so that neither
// time nor memory grows faster than the design. The document: the title,
// one table whose head row (shaded) repeats on every page, labels in Arial
// 9 pt indented and coloured by level, level 0 bold, then the design
// matrices and the flow diagram (PNG pictures in Pictures/, stored behind
// styles.xml). The same document makes the same bytes.
//
// Building a QTextDocument and writing it with QTextDocumentWriter took 18 s
// and 380 MB for 100,000 rows, and did not finish a million.

#include "export/ByteSink.h"
#include "export/ExportProgress.h"
#include "export/TableDocument.h"

namespace exporting {

// Reports the rows as they are written; throws ExportCancelled, and
// model::UserError when the sink fails or the document passes 4 GiB.
void writeOdt(const TableDocument& document, ByteSink& out, ExportProgress& progress);

} // namespace exporting
