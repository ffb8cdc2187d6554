#pragma once
// Writes a file atomically: a temporary file in the same folder, renamed over
// the target only when every byte is on disk. A failed write leaves any old
// file as it was and throws "Cannot create file %s".

#include "export/FileWriter.h"

class QIODevice;

namespace exporting {

class AtomicFileWriter : public FileWriter {
public:
    void writeFile(const std::string& path, std::string_view bytes) override;

    // Writes until every byte is taken; false on an error or a write that
    // makes no progress (a full disk may report a short count and no error).
    static bool writeAll(QIODevice& device, std::string_view bytes);
};

} // namespace exporting
