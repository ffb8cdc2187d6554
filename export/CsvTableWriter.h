#pragma once
// The table as comma-separated values (RFC 4180) for spreadsheets: UTF-8
// behind a byte-order mark, so that spreadsheet programs read the accents;
// records end in CR LF; a field is quoted when it holds a comma, a quote or
// a line break. Columns: No., Level, then the FR, DP and PV labels under
// their column titles. Design matrices follow after an empty record. A text
// that starts with = + - @, a tab or a carriage return gets a leading
// apostrophe, so that a spreadsheet shows it instead of running it.

#include "export/TableDocument.h"

#include <string>

namespace exporting {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string renderCsv(const TableDocument& document);

} // namespace exporting
