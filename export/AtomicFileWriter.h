#pragma once
// Writes a file atomically: a temporary file in the same folder, renamed over
// the target only when every byte is on disk. A failed write leaves any old
// file as it was and throws "Cannot create file %s".

#include "export/FileWriter.h"
#include "io/AtomicWriter.h"

#include <functional>
#include <memory>

namespace exporting {

// "-" as a file name: standard output for what is written, standard input
// for a design read, so that every export works in a pipe and as a git filter.
inline constexpr std::string_view kStandardStream = "-";
// Throw "Stream write error" / "Stream read error" when the stream fails.
void writeToStandardOutput(std::string_view bytes);
std::string readStandardInput();

class AtomicFileWriter : public FileWriter {
public:
    using Opener = std::function<std::unique_ptr<io::AtomicWriter>()>;
    // Files through QSaveFile; tests give writers that fail like a full disk.
    AtomicFileWriter();
    explicit AtomicFileWriter(Opener opener) : m_opener(std::move(opener)) {}

    void writeFile(const std::string& path, std::string_view bytes) override;
    // The bytes go to the temporary file in pieces as they come; a producer
    // that throws (a stop asked for) cancels it.
    void writeStream(const std::string& path, const DocumentProducer& produce) override;

private:
    Opener m_opener;
};

} // namespace exporting
