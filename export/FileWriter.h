#pragma once
// Writes a whole file in one piece. Export goes through this interface so that
// tests can make a write fail without a full disk.

#include "export/ByteSink.h"

#include <functional>
#include <string>
#include <string_view>

namespace exporting {

// Makes a document into a sink; may throw (a stop asked for, a failed write).
using DocumentProducer = std::function<void(ByteSink&)>;

class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Replaces the file at `path` with `bytes`, or throws model::UserError.
    virtual void writeFile(const std::string& path, std::string_view bytes) = 0;
    // Replaces the file at `path` with what `produce` writes, once it has
    // returned; when it throws, the file stays as it was and the exception
    // goes on. This one collects the bytes and hands them to writeFile; a
    // writer to disk streams them.
    virtual void writeStream(const std::string& path, const DocumentProducer& produce)
    {
        StringSink bytes;
        produce(bytes);
        const std::string whole = bytes.take();
        writeFile(path, whole);
    }
};

} // namespace exporting
