#pragma once
// A file opened for reading, read by offset: a design file is read header
// first and then section by section, so the whole file is never held at once.

#include <cstdint>
#include <memory>
#include <string>

namespace io {

class InputFile {
public:
    InputFile();
    ~InputFile();

    // False for a missing file, a file without read permission, or anything
    // that is not a regular file (a folder, a FIFO, a device); never blocks.
    bool open(const std::string& path);
    std::uint64_t size() const;
    // Exactly `length` bytes from `offset` into `out` (replacing its content);
    // false on a read error or when the file ends first.
    bool readAt(std::uint64_t offset, std::size_t length, std::string& out);
    // The same into `length` bytes at `out`; safe to call from several threads at once.
    bool readInto(std::uint64_t offset, char* out, std::size_t length);
    // Everything from the start to the end, however long the file turns out to be.
    bool readAll(std::string& out);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

enum class ReadOutcome { Read, CannotOpen, ReadFailed };

// Reads every byte of the file at `path` into `out`.
ReadOutcome readFileBytes(const std::string& path, std::string& out);

} // namespace io
