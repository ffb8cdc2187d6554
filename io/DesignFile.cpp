#include "io/DesignFile.h"

#include "io/ByteOrder.h"
#include "io/InputFile.h"
#include "io/TreeText.h"
#include "model/UserError.h"

#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace io {

namespace {

constexpr std::size_t kGuessedLineBytes = 40;
constexpr std::uint64_t kFrStart = model::kHeaderSize; // the FR start field is not consulted

// One section's bytes and what keeps them alive for the tree that borrows its texts.
struct Section {
    std::string_view bytes;
    std::shared_ptr<const void> keeper;
};

// Checks the header and where the sections lie, then reads each section
// through `sectionBytes(start, length)`, FR first. FR records its levels and
// DP and PV must have the same, so a tree of another shape is refused as soon
// as it differs. Nothing is returned unless everything read.
template <typename SectionBytes>
DesignFileContents parseSections(std::string_view head, std::uint64_t fileSize, const std::string& path,
                                 SectionBytes&& sectionBytes)
{
    if (head.size() < 4 || getU32(head, 0) != model::kDesignMagic)
        throw model::UserError(path + " is not a design file");
    DesignFileContents c;
    c.header = decodeHeader(head); // "Stream read error" below 700 bytes
    std::array<std::uint64_t, model::kTreeCount> starts{kFrStart, c.header.starts[1], c.header.starts[2]};
    for (std::size_t i = 0; i < model::kTreeCount; ++i) {
        const std::uint64_t length = c.header.lengths[i]; // 64-bit: start + length cannot wrap
        if (length > 0 && (starts[i] > fileSize || length > fileSize - starts[i]))
            throw model::UserError(kStreamReadError);
    }
    TreeLevels levels;
    levels.reserve(c.header.lengths[0] / kGuessedLineBytes); // grows from there if lines are shorter
    for (std::size_t i = 0; i < model::kTreeCount; ++i) {
        Section section;
        if (c.header.lengths[i] != 0)
            section = sectionBytes(starts[i], c.header.lengths[i]);
        if (i == 0) {
            c.trees[0] = readTreeText(section.bytes, section.keeper, levels);
        } else if (auto tree = readTreeTextShaped(section.bytes, section.keeper, levels)) {
            c.trees[i] = std::move(*tree);
        } else {
            throw model::UserError("The three trees in " + path + " do not have the same shape");
        }
    }
    for (std::size_t i = 0; i < model::kTreeCount; ++i)
        c.titles[i] = model::fieldText(c.header.titles[i]);
    return c;
}

std::uint32_t sectionLength(std::size_t bytes)
{
    if (bytes > std::numeric_limits<std::uint32_t>::max())
        throw model::UserError("Stream write error"); // the length field cannot hold it
    return static_cast<std::uint32_t>(bytes);
}

} // namespace

DesignFileContents parseDesignFile(std::string_view bytes, const std::string& pathForMessages)
{
    return parseSections(bytes.substr(0, model::kHeaderSize), bytes.size(), pathForMessages,
                         [&](std::uint64_t start, std::uint32_t length) {
                             auto copy = std::make_shared<const std::string>(bytes.substr(start, length));
                             return Section{*copy, copy};
                         });
}

// The header first, then one section at a time, each into bytes of its own
// that its tree keeps: the node texts are never copied again.
DesignFileContents readDesignFile(const std::string& path)
{
    InputFile file;
    if (!file.open(path))
        throw model::UserError("Cannot open file " + path);
    const std::uint64_t size = file.size();
    std::string head;
    if (!file.readAt(0, static_cast<std::size_t>(std::min<std::uint64_t>(size, model::kHeaderSize)), head))
        throw model::UserError(kStreamReadError);
    return parseSections(head, size, path, [&](std::uint64_t start, std::uint32_t length) {
        // Uninitialised: the read fills every byte, and zeroing 10 MB first costs as much as reading them.
        std::shared_ptr<char[]> section = std::make_shared_for_overwrite<char[]>(length);
        if (!file.readInto(start, section.get(), length))
            throw model::UserError(kStreamReadError);
        return Section{std::string_view(section.get(), length), section};
    });
}

std::string encodeDesignFile(const model::Design& design, model::HeaderRecord& current,
                             const std::array<model::LevelStyle, model::kLevelCount>& levelFonts)
{
    // A guess at the size, so that the buffer seldom grows: walking the trees
    // once more to count exactly would cost more than the copy it saves.
    std::string out;
    out.reserve(model::kHeaderSize + static_cast<std::size_t>(design.rowCount()) * 3 * kGuessedLineBytes);
    out.resize(model::kHeaderSize); // placeholder; the header goes in last
    current.magic = model::kDesignMagic;
    for (model::TreeId id : model::kAllTrees) {
        const auto i = static_cast<std::size_t>(model::index(id));
        current.starts[i] = sectionLength(out.size());
        writeTreeText(design.tree(id), out);
        current.lengths[i] = sectionLength(out.size() - current.starts[i]);
        model::setFieldText(current.titles[i], design.title(id));
    }
    for (std::size_t i = 0; i < model::kLevelCount; ++i)
        model::storeStyle(current.levels[i], levelFonts[i]);
    const std::string header = encodeHeader(current);
    out.replace(0, header.size(), header);
    return out;
}

void writeDesignFile(const std::string& path, const model::Design& design, model::HeaderRecord& current,
                     const std::array<model::LevelStyle, model::kLevelCount>& levelFonts, AtomicWriter& writer)
{
    const std::string bytes = encodeDesignFile(design, current, levelFonts);
    switch (writeAtomically(writer, path, bytes)) {
    case WriteOutcome::CannotCreate:
        throw model::UserError("Cannot create file " + path);
    case WriteOutcome::WriteFailed:
        throw model::UserError("Stream write error");
    case WriteOutcome::Written:
        break;
    }
}

void writeDesignFile(const std::string& path, const model::Design& design, model::HeaderRecord& current,
                     const std::array<model::LevelStyle, model::kLevelCount>& levelFonts)
{
    SaveFileWriter writer;
    writeDesignFile(path, design, current, levelFonts, writer);
}

} // namespace io
