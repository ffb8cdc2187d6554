#pragma once
// Writing a whole file so that it is either replaced completely or left as it
// was: the bytes go to a temporary file in the same folder, which is renamed
// over the target only when every byte is written.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace io {

// The sink a whole file is written through. The real one is SaveFileWriter;
// tests put in one that fails like a full disk.
class AtomicWriter {
public:
    virtual ~AtomicWriter() = default;
    virtual bool open(const std::string& path) = 0;                   // target untouched
    virtual std::int64_t write(const char* data, std::int64_t size) = 0; // may write fewer; -1 on error
    virtual bool commit() = 0;                                         // replaces the target; on failure, untouched
    virtual void cancelWriting() = 0;                                  // target stays as it was
};

// The path is bytes from end to end (a name need not be UTF-8, which a QString
// cannot hold). Opening resolves a symlink to the file it names, so the target
// is replaced and the link stays; a dangling link's target path is created.
// A folder, or an existing file without write permission, is refused at
// open. The temporary file ".NAME.XXXXXX" beside the target takes the mode of
// the file it replaces (a new one gets 0666 less the umask), is synced, and
// renamed over the target at commit; the folder is synced after the rename.
// Unbuffered: a short write is seen at the write that made it.
class SaveFileWriter final : public AtomicWriter {
public:
    SaveFileWriter();
    ~SaveFileWriter() override;
    bool open(const std::string& path) override;
    std::int64_t write(const char* data, std::int64_t size) override;
    bool commit() override;
    void cancelWriting() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

enum class WriteOutcome { Written, CannotCreate, WriteFailed };

// Writes every byte to the open file, over as many writes as it takes. False
// when a write makes no progress (a full disk shows so; commit() would not tell).
bool writeWhole(AtomicWriter& writer, std::string_view bytes);

// Writes `bytes` as the whole new content of `path`. Loops over short writes;
// a write that makes no progress, or a failed commit, cancels the file.
WriteOutcome writeAtomically(AtomicWriter& writer, const std::string& path, std::string_view bytes);

} // namespace io
