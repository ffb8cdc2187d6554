#include "export/TableFormat.h"

#include <algorithm>
#include <cctype>

namespace exporting {
namespace {

struct FormatInfo {
    TableFormat format;
    std::string_view name;
    std::string_view extension;
    std::string_view filter;
    std::string_view otherExtension; // also recognised on a chosen name
};

constexpr std::array<FormatInfo, kTableFormats.size()> kInfo = {{
    {TableFormat::Odt, "odt", ".odt", "OpenDocument text (*.odt)", ""},
    {TableFormat::Html, "html", ".html", "Web page (*.html *.htm)", ".htm"},
    {TableFormat::Pdf, "pdf", ".pdf", "PDF document (*.pdf)", ""},
    {TableFormat::Csv, "csv", ".csv", "CSV spreadsheet (*.csv)", ""},
    {TableFormat::Markdown, "md", ".md", "Markdown (*.md)", ".markdown"},
}};

const FormatInfo& infoOf(TableFormat format)
{
    return *std::find_if(kInfo.begin(), kInfo.end(), [&](const FormatInfo& i) { return i.format == format; });
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The file name's extension with its dot; a dot leading the name starts none.
std::string_view extensionOfPath(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? std::string_view() : name.substr(dot);
}

} // namespace

std::string_view formatName(TableFormat format) { return infoOf(format).name; }
std::string_view extensionOf(TableFormat format) { return infoOf(format).extension; }
std::string_view filterOf(TableFormat format) { return infoOf(format).filter; }

std::optional<TableFormat> formatNamed(std::string_view name)
{
    for (const FormatInfo& i : kInfo)
        if (equalsIgnoringCase(name, i.name))
            return i.format;
    return std::nullopt;
}

std::optional<TableFormat> formatOfPath(std::string_view path)
{
    const std::string_view extension = extensionOfPath(path);
    if (extension.empty())
        return std::nullopt;
    for (const FormatInfo& i : kInfo)
        if (equalsIgnoringCase(extension, i.extension)
            || (!i.otherExtension.empty() && equalsIgnoringCase(extension, i.otherExtension)))
            return i.format;
    return std::nullopt;
}

TableTarget resolveTarget(std::string_view chosenPath, TableFormat chosenFilter)
{
    if (const auto byExtension = formatOfPath(chosenPath))
        return {std::string(chosenPath), *byExtension};
    std::string path(chosenPath);
    if (!path.empty() && path.back() == '.')
        path.pop_back(); // "pump." means "pump" with the filter's extension
    return {path.append(extensionOf(chosenFilter)), chosenFilter};
}

} // namespace exporting
