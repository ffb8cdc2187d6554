#include "io/FileBytes.h"

#include <QFile>
#include <QFileInfo>

namespace io {

ReadOutcome readFileBytes(const std::string& path, std::string& out)
{
    const QString name = QString::fromStdString(path);
    QFile file(name);
    if (QFileInfo(name).isDir() || !file.open(QIODevice::ReadOnly))
        return ReadOutcome::CannotOpen;
    out.clear();
    // A size of 0 may also be a file whose size is not known in advance
    // (a pipe, /proc): read until the end either way.
    out.resize(static_cast<std::size_t>(std::max<qint64>(file.size(), 0)));
    std::size_t filled = 0;
    for (;;) {
        if (filled == out.size())
            out.resize(out.size() + 65536);
        const qint64 n = file.read(out.data() + filled, static_cast<qint64>(out.size() - filled));
        if (n < 0)
            return ReadOutcome::ReadFailed;
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    out.resize(filled);
    return ReadOutcome::Read;
}

} // namespace io
