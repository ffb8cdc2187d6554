#pragma once
// How a long export tells how far it got, and learns that the user wants it
// stopped. The window answers with a progress dialog; the command line and
// the tests with nothing or a script.

#include <cstdint>
#include <stdexcept>

namespace exporting {

class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    // `done` of `total` steps; a total of 0 means busy for a while without
    // steps to count. False asks the export to stop.
    virtual bool report(std::int64_t done, std::int64_t total) = 0;
};

// Never stops anything.
class NoProgress final : public ExportProgress {
public:
    bool report(std::int64_t, std::int64_t) override { return true; }
};

// Thrown out of an export that was asked to stop; nothing has been written.
class ExportCancelled : public std::runtime_error {
public:
    ExportCancelled() : std::runtime_error("Export cancelled") {}
};

// Reports every `kRowsPerReport` rows, so that checking costs nothing worth measuring.
inline constexpr int kRowsPerReport = 512;

// Reports and throws ExportCancelled when the answer is to stop.
inline void reportOrStop(ExportProgress& progress, std::int64_t done, std::int64_t total)
{
    if (!progress.report(done, total))
        throw ExportCancelled();
}

} // namespace exporting
