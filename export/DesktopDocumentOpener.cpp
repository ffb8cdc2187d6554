#include "export/DesktopDocumentOpener.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace exporting {

bool DesktopDocumentOpener::open(const std::string& path)
{
    // Not waited for. A file URL must be absolute; "Output.rtf" may come relative.
    const QFileInfo file(QFile::decodeName(path.c_str()));
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

} // namespace exporting
