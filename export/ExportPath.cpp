#include "export/ExportPath.h"

#include "model/UserError.h"

#include <sys/stat.h>

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

void refuseUnsafeTarget(const std::string& target, const std::string& designPath)
{
    // stat follows symlinks, and hard links share the inode: one comparison
    // catches the design under any of its names.
    struct stat out {};
    if (::stat(target.c_str(), &out) != 0)
        return; // nothing there yet; a path that cannot be written fails at the writer
    struct stat design {};
    if (!designPath.empty() && ::stat(designPath.c_str(), &design) == 0 && design.st_dev == out.st_dev
        && design.st_ino == out.st_ino)
        throw model::UserError("Cannot export " + target + " onto itself");
    if (!S_ISREG(out.st_mode))
        throw model::UserError("Cannot create file " + target);
}

} // namespace exporting
