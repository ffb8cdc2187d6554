#pragma once
// Where a document's bytes go while they are made: the file being written, or
// a string. A long document is streamed rather than built whole, so that its
// size in memory does not grow with the design.

#include <string>
#include <string_view>

namespace exporting {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Takes the bytes or throws model::UserError.
    virtual void write(std::string_view bytes) = 0;
};

class StringSink final : public ByteSink {
public:
    void write(std::string_view bytes) override { m_bytes.append(bytes); }
    std::string take() { return std::move(m_bytes); }

private:
    std::string m_bytes;
};

} // namespace exporting
