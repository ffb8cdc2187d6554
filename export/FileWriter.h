#pragma once
// Writes a whole file in one piece. Export goes through this interface so that
// tests can make a write fail without a full disk.

#include <string>
#include <string_view>

namespace exporting {

class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Replaces the file at `path` with `bytes`, or throws model::UserError.
    virtual void writeFile(const std::string& path, std::string_view bytes) = 0;
};

} // namespace exporting
