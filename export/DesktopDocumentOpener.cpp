#include "export/DesktopDocumentOpener.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include <filesystem>

namespace exporting {
namespace {

// A file URL must be absolute; "Output.rtf" may come relative. A name that
// is not UTF-8 goes into the URL as %XX escapes of its own bytes (a QString
// would turn each such byte into U+FFFD and name another file).
QUrl fileUrlOf(const std::string& path)
{
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    const std::string& bytes = error ? path : absolute;
    const QString text = QFile::decodeName(bytes.c_str());
    if (QFile::encodeName(text).toStdString() == bytes)
        return QUrl::fromLocalFile(text);
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(bytes).toPercentEncoding("/"));
}

} // namespace

bool DesktopDocumentOpener::open(const std::string& path)
{
    return QDesktopServices::openUrl(fileUrlOf(path)); // not waited for
}

} // namespace exporting
