#include "export/ExportPath.h"

namespace exporting {

std::string exportPathFor(std::string_view designPath, std::string_view startupDir, std::string_view extension)
{
    if (designPath.empty()) {
        std::string path(startupDir);
        if (!path.empty() && path.back() != '/')
            path += '/';
        return path.append(kUnsavedExportStem).append(extension);
    }
    const std::size_t slash = designPath.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t firstNonDot = designPath.find_first_not_of('.', nameStart);
    const std::size_t dot = designPath.rfind('.');
    const bool hasExtension = firstNonDot != std::string_view::npos && dot != std::string_view::npos
                              && dot > firstNonDot;
    std::string path(hasExtension ? designPath.substr(0, dot) : designPath);
    return path.append(extension);
}

} // namespace exporting
