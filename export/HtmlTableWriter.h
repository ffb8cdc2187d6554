#pragma once
// The table as a web page: the title as a heading, one table with the column
// heads in its head, each label indented and coloured by its level through a
// style class, level 0 bold; the design matrices follow, and the flow
// diagram as an inline SVG picture. The classes sit on a paragraph inside the
// cell and the borders are table attributes as well as style: word
// processors (LibreOffice) read those, and ignore a class on a cell.
//
// Written here rather than through QTextDocument::toHtml: that takes about
// 4 s for 100,000 rows and repeats the full style on every cell, where this
// takes a small fraction of a second.

#include "export/TableDocument.h"

#include <string>

namespace exporting {

std::string renderHtml(const TableDocument& document);

} // namespace exporting
