#pragma once
// Reading a whole file into memory in one go.

#include <string>

namespace io {

enum class ReadOutcome { Read, CannotOpen, ReadFailed };

// Reads every byte of the file at `path` into `out` (replacing its content).
// A missing file, a folder or a file without read permission cannot be opened.
ReadOutcome readFileBytes(const std::string& path, std::string& out);

} // namespace io
