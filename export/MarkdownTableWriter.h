#pragma once
// The table as Markdown: the title as a heading, then one pipe table, the FR
// label indented with non-breaking spaces by level and level 0 in bold;
// characters that Markdown would read as markup (the pipe above all) are
// escaped. Design matrices follow as small tables of their own. Qt's own
// Markdown writer is not used: it escapes no pipe and drops indentation.

#include "export/TableDocument.h"

#include <string>

namespace exporting {

std::string renderMarkdown(const TableDocument& document);

} // namespace exporting
