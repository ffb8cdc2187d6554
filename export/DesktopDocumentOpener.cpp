#include "export/DesktopDocumentOpener.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace exporting {

void DesktopDocumentOpener::open(const std::string& path)
{
    // Not waited for; a desktop without a handler for RTF is not an error.
    // A file URL must be absolute; "Output.rtf" may come relative.
    const QFileInfo file(QFile::decodeName(path.c_str()));
    QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

} // namespace exporting
