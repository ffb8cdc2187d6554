#pragma once
// The five formats of the table export, their names on the command line,
// their file-name extensions, and which one a chosen file name asks for.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace exporting {

enum class TableFormat { Odt, Html, Pdf, Csv, Markdown };

inline constexpr std::array<TableFormat, 5> kTableFormats = {TableFormat::Odt, TableFormat::Html, TableFormat::Pdf,
                                                             TableFormat::Csv, TableFormat::Markdown};

// "odt", "html", "pdf", "csv", "md": the command line's FORMAT.
std::string_view formatName(TableFormat format);
// ".odt", ".html", ".pdf", ".csv", ".md".
std::string_view extensionOf(TableFormat format);
// The save dialog's filter, such as "PDF document (*.pdf)".
std::string_view filterOf(TableFormat format);

// The format a command-line name stands for, in any letter case.
std::optional<TableFormat> formatNamed(std::string_view name);
// The format a file name's extension stands for (".htm" and ".markdown" too).
std::optional<TableFormat> formatOfPath(std::string_view path);

struct TableTarget {
    std::string path;
    TableFormat format;
    bool operator==(const TableTarget&) const = default;
};

// Where a name chosen in the save dialog goes: a name whose extension is one
// of the five formats is written in that format, whatever the filter; any
// other name gets the chosen filter's format and extension.
TableTarget resolveTarget(std::string_view chosenPath, TableFormat chosenFilter);

} // namespace exporting
