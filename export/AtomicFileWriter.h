#pragma once
// Writes a file atomically: a temporary file in the same folder, renamed over
// the target only when every byte is on disk. A failed write leaves any old
// file as it was and throws "Cannot create file %s".

#include "export/FileWriter.h"

namespace exporting {

class AtomicFileWriter : public FileWriter {
public:
    void writeFile(const std::string& path, std::string_view bytes) override;
};

} // namespace exporting
