#include "export/AtomicFileWriter.h"

#include "model/UserError.h"

#include <QFile>
#include <QSaveFile>

namespace exporting {

void AtomicFileWriter::writeFile(const std::string& path, std::string_view bytes)
{
    const std::string failure = "Cannot create file " + path;
    QSaveFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::WriteOnly))
        throw model::UserError(failure);
    if (!writeAll(file, bytes)) {
        file.cancelWriting();
        throw model::UserError(failure);
    }
    if (!file.commit())
        throw model::UserError(failure);
}

bool AtomicFileWriter::writeAll(QIODevice& device, std::string_view bytes)
{
    while (!bytes.empty()) {
        const qint64 written = device.write(bytes.data(), static_cast<qint64>(bytes.size()));
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace exporting
