#include "app/PathBytes.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace app {

std::string chosenPath(const QString& chosen, const std::string& suggested)
{
    const QString shown = QFile::decodeName(suggested.c_str());
    if (!suggested.empty() && (chosen == shown || chosen == QFileInfo(shown).absoluteFilePath()))
        return suggested;
    return QFile::encodeName(chosen).toStdString();
}

std::string localPathOf(const QUrl& url)
{
    if (!url.host().isEmpty()) // a host goes in front as "//host", which only toLocalFile spells
        return QFile::encodeName(url.toLocalFile()).toStdString();
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

} // namespace app
