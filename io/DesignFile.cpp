#include "io/DesignFile.h"

#include "io/ByteOrder.h"
#include "io/InputFile.h"
#include "io/TaskRunner.h"
#include "io/TreeText.h"
#include "model/HugeBlock.h"
#include "model/UserError.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace io {

// The one place that may promise that three trees have the same shape: the
// reader compares their levels line by line as it builds them.
class DesignFileReader {
public:
    static void put(model::ComparedTrees& trees, std::size_t i, model::DesignTree&& tree)
    {
        trees.m_trees[i] = std::move(tree);
    }
};

namespace {

constexpr std::size_t kGuessedLineBytes = 40;
constexpr std::size_t kShortLineBytes = 24; // levels are reserved for lines this short; unused room is never touched
constexpr std::uint64_t kFrStart = model::kHeaderSize; // the FR start field is not consulted

// One section's bytes and what keeps them alive for the tree that borrows its texts.
struct Section {
    std::string_view bytes;
    std::shared_ptr<const void> keeper;
};

// Files this large are read on every core; below it, starting a thread costs
// more than it saves. A section this large is cut in two pieces, so that two
// cores share three trees evenly.
constexpr std::uint64_t kParallelBytes = 256 * 1024;
constexpr std::uint64_t kSplitBytes = 128 * 1024;
constexpr std::uint32_t kCutWindow = 64 * 1024; // where a cut is looked for, from the middle on

constexpr std::size_t kHugeSectionBytes = 4 * model::kHugePageBytes;

// A section, or one of its two halves cut at a top-level line, read into a
// tree of its own. The halves of a section are joined in order afterwards.
struct Piece {
    std::size_t tree = 0;
    std::uint64_t start = 0;
    std::uint32_t length = 0;
    model::DesignTree built;
    TreeLevels levels;
    bool secondHalf = false; // the piece before it is the first half of the same tree
    bool reachedEnd = true;  // false: a NUL ended the tree text inside this piece
    std::exception_ptr error;
};

Piece pieceOf(std::size_t tree, std::uint64_t start, std::uint32_t length, bool secondHalf = false)
{
    Piece p;
    p.tree = tree;
    p.start = start;
    p.length = length;
    p.secondHalf = secondHalf;
    return p;
}

// Joins the second half of a tree to the first, unless either failed or a
// NUL ended the text inside the first: then there is nothing to join.
void joinHalves(Piece& first, Piece& second)
{
    if (first.error || second.error || !first.reachedEnd)
        return;
    first.built.appendTree(std::move(second.built));
    first.levels.insert(first.levels.end(), second.levels.begin(), second.levels.end());
    first.reachedEnd = second.reachedEnd;
}

// Checks the header and where the sections lie, then reads the sections
// through `sectionBytes(start, length)` into trees, on several threads when
// the file is large: the trees share nothing. Errors are reported in file
// order whichever thread met them, as if read front to back; a tree of
// another shape than FR is refused. Nothing is returned unless everything read.
template <typename SectionBytes>
DesignFileContents parseSections(std::string_view head, std::uint64_t fileSize, const std::string& path,
                                 ReadReport* report, SectionBytes&& sectionBytes)
{
    if (head.size() < 4 || getU32(head, 0) != model::kDesignMagic)
        throw model::UserError(path + " is not a design file");
    DesignFileContents c;
    c.header = decodeHeader(head); // "Stream read error" below 700 bytes
    std::array<std::uint64_t, model::kTreeCount> starts{kFrStart, c.header.starts[1], c.header.starts[2]};
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < model::kTreeCount; ++i) {
        const std::uint64_t length = c.header.lengths[i]; // 64-bit: start + length cannot wrap
        if (length > 0 && (starts[i] > fileSize || length > fileSize - starts[i]))
            throw model::UserError(kStreamReadError);
        total += length;
    }
    const bool parallel = total >= kParallelBytes;
    std::vector<Piece> pieces;
    pieces.reserve(2 * model::kTreeCount);
    for (std::size_t i = 0; i < model::kTreeCount; ++i) {
        const std::uint32_t length = c.header.lengths[i];
        std::size_t cut = std::string_view::npos;
        if (parallel && length >= kSplitBytes) {
            const std::uint32_t middle = length / 2;
            const Section around = sectionBytes(starts[i] + middle, std::min(kCutWindow, length - middle));
            if (const std::size_t at = topLevelLineFrom(around.bytes, 0); at != std::string_view::npos)
                cut = middle + at;
        }
        if (cut == std::string_view::npos) {
            pieces.push_back(pieceOf(i, starts[i], length));
        } else {
            const auto first = static_cast<std::uint32_t>(cut);
            pieces.push_back(pieceOf(i, starts[i], first));
            pieces.push_back(pieceOf(i, starts[i] + first, length - first, true));
        }
        if (report)
            report->cut[i] = cut != std::string_view::npos;
    }
    if (report) {
        report->pieces = pieces.size();
        report->parallel = parallel;
    }
    // The thread that reads the later of a tree's two pieces joins them.
    std::array<std::atomic<int>, model::kTreeCount> unread{};
    for (const Piece& p : pieces)
        unread[p.tree].fetch_add(1, std::memory_order_relaxed);
    runTasks(pieces.size(), parallel ? usefulThreads() : 1, [&](std::size_t k) {
        Piece& p = pieces[k];
        try {
            Section section;
            if (p.length != 0)
                section = sectionBytes(p.start, p.length);
            p.levels.reserve(p.length / kShortLineBytes); // grows from there if lines are shorter
            p.reachedEnd = readTreeTextInto(section.bytes, section.keeper, p.levels, p.built);
        } catch (...) {
            p.error = std::current_exception();
        }
        if (unread[p.tree].fetch_sub(1, std::memory_order_acq_rel) == 1) {
            const std::size_t first = p.secondHalf ? k - 1 : k;
            if (first + 1 < pieces.size() && pieces[first + 1].secondHalf)
                joinHalves(pieces[first], pieces[first + 1]);
        }
    });
    std::array<TreeLevels, model::kTreeCount> levels;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        Piece& p = pieces[k];
        if (p.secondHalf && !pieces[k - 1].reachedEnd)
            continue; // nothing from a NUL on is read
        if (p.error)
            std::rethrow_exception(p.error);
        if (!p.secondHalf) {
            DesignFileReader::put(c.trees, p.tree, std::move(p.built));
            levels[p.tree] = std::move(p.levels);
        }
    }
    for (std::size_t i = 1; i < model::kTreeCount; ++i)
        if (levels[i] != levels[0])
            throw model::UserError("The three trees in " + path + " do not have the same shape");
    for (std::size_t i = 0; i < model::kTreeCount; ++i)
        c.titles[i] = model::fieldText(c.header.titles[i]);
    return c;
}

// Uninitialised: the read fills every byte, and zeroing 10 MB first costs as
// much as reading them. Pieces of kHugeSectionBytes or more (a section, or
// half of a cut one) go on huge pages; below that the allocator mostly hands
// back memory that is mapped already.
std::shared_ptr<char[]> sectionBuffer(std::size_t length, bool& onHugePages)
{
    onHugePages = length >= kHugeSectionBytes;
    if (!onHugePages)
        return std::make_shared_for_overwrite<char[]>(length);
    return std::shared_ptr<char[]>(static_cast<char*>(model::allocateHugeBlock(length)),
                                   [length](char* p) { model::freeHugeBlock(p, length); });
}

// Where the chain of blocks begins: behind the furthest section end, the FR
// section taken from where it is read.
std::uint64_t sectionsEnd(const model::HeaderRecord& header)
{
    std::uint64_t end = kFrStart + header.lengths[0];
    for (std::size_t i = 1; i < model::kTreeCount; ++i)
        end = std::max<std::uint64_t>(end, std::uint64_t{header.starts[i]} + header.lengths[i]);
    return end;
}

std::uint32_t sectionLength(std::size_t bytes)
{
    if (bytes > std::numeric_limits<std::uint32_t>::max())
        throw model::UserError("Stream write error"); // the length field cannot hold it
    return static_cast<std::uint32_t>(bytes);
}

void readChain(DesignFileContents& c, std::uint64_t behind, const BytesAt& bytesAt)
{
    readBlocks(behind, bytesAt, c);
    c.matricesLeftOut = std::any_of(c.kept.begin(), c.kept.end(),
                                    [](const model::KeptBlock& k) { return tagOf(k) == kMatrixTag; });
}

} // namespace

DesignFileContents parseDesignFile(std::string_view bytes, const std::string& pathForMessages, ReadReport* report)
{
    DesignFileContents c =
        parseSections(bytes.substr(0, model::kHeaderSize), bytes.size(), pathForMessages, report,
                      [&](std::uint64_t start, std::uint32_t length) {
                          auto copy = std::make_shared<const std::string>(bytes.substr(start, length));
                          return Section{*copy, copy};
                      });
    const std::uint64_t end = sectionsEnd(c.header);
    readChain(c, bytes.size() > end ? bytes.size() - end : 0, [&](std::uint64_t offset, std::size_t length) {
        return std::string(bytes.substr(end + offset, length));
    });
    return c;
}

// The header first, then one section at a time, each into bytes of its own
// that its tree keeps: the node texts are never copied again.
DesignFileContents readDesignFile(const std::string& path, ReadReport* report)
{
    InputFile file;
    if (!file.open(path))
        throw model::UserError("Cannot open file " + path);
    const std::uint64_t size = file.size();
    std::string head;
    if (!file.readAt(0, static_cast<std::size_t>(std::min<std::uint64_t>(size, model::kHeaderSize)), head))
        throw model::UserError(kStreamReadError);
    std::atomic<std::size_t> huge = 0; // pieces are read on several threads
    const auto tellHuge = [&] {
        if (report)
            report->hugePieces = huge.load(std::memory_order_relaxed);
    };
    try {
        DesignFileContents c = parseSections(head, size, path, report, [&](std::uint64_t start, std::uint32_t length) {
            bool onHugePages = false;
            std::shared_ptr<char[]> section = sectionBuffer(length, onHugePages);
            if (!file.readInto(start, section.get(), length))
                throw model::UserError(kStreamReadError);
            if (onHugePages)
                huge.fetch_add(1, std::memory_order_relaxed);
            return Section{std::string_view(section.get(), length), section};
        });
        tellHuge();
        const std::uint64_t end = sectionsEnd(c.header);
        readChain(c, size > end ? size - end : 0, [&](std::uint64_t offset, std::size_t length) {
            std::string bytes;
            return file.readAt(end + offset, length, bytes) ? bytes : std::string();
        });
        return c;
    } catch (...) {
        tellHuge();
        throw;
    }
}

namespace {

// The file's bytes, with `header` (the design's current header) filled as
// they give it.
std::string encodeWith(const model::Design& design, model::HeaderRecord& header, KeptBlocksToo kept,
                       const std::atomic<bool>* stop)
{
    // A guess at the size, so that the buffer seldom grows: walking the trees
    // once more to count exactly would cost more than the copy it saves.
    std::string out;
    out.reserve(model::kHeaderSize + static_cast<std::size_t>(design.rowCount()) * 3 * kGuessedLineBytes);
    out.resize(model::kHeaderSize); // placeholder; the header goes in last
    header.magic = model::kDesignMagic;
    for (model::TreeId id : model::kAllTrees) {
        const auto i = static_cast<std::size_t>(model::index(id));
        header.starts[i] = sectionLength(out.size());
        writeTreeText(design.tree(id), out, stop);
        header.lengths[i] = sectionLength(out.size() - header.starts[i]);
        model::setFieldText(header.titles[i], design.title(id));
    }
    design.look().storeStylesInto(header);
    const std::string headerBytes = encodeHeader(header);
    out.replace(0, headerBytes.size(), headerBytes);
    if (stop && stop->load(std::memory_order_relaxed))
        throw EncodeStopped();
    writeBlocks(design, out);
    if (kept == KeptBlocksToo::Yes)
        for (const model::KeptBlock& block : design.keptBlocks())
            out += block.bytes;
    return out;
}

} // namespace

void openInto(model::Design& design, DesignFileContents&& contents)
{
    for (model::TreeId id : model::kAllTrees) {
        const auto i = static_cast<std::size_t>(model::index(id));
        design.setTitle(id, std::move(contents.titles[i]));
        if (!contents.fullTitles[i].empty())
            design.setFullTitle(id, contents.fullTitles[i]);
    }
    // The reader refused a file whose trees differ in shape as it read them.
    design.replaceTrees(std::move(contents.trees));
    design.replaceMatrices(std::move(contents.matrices));
    design.replaceCrossCells(std::move(contents.crossCells));
    design.replaceRanges(std::move(contents.ranges));
    design.replaceFullLabels(std::move(contents.fullLabels));
    design.replaceNotes(std::move(contents.notes));
    design.replaceKeptBlocks(std::move(contents.kept));
    design.look().opened(contents.header);
}

std::string encodeDesignFile(const model::Design& design, KeptBlocksToo kept, const std::atomic<bool>* stop)
{
    model::HeaderRecord header = design.look().currentHeader();
    return encodeWith(design, header, kept, stop);
}

std::string encodeForSave(const model::Design& design, model::HeaderRecord& header)
{
    return encodeWith(design, header, KeptBlocksToo::No, nullptr);
}

void writeEncoded(const std::string& path, std::string_view bytes, AtomicWriter& writer)
{
    switch (writeAtomically(writer, path, bytes)) {
    case WriteOutcome::CannotCreate:
        throw model::UserError("Cannot create file " + path);
    case WriteOutcome::WriteFailed:
        throw model::UserError("Stream write error");
    case WriteOutcome::Written:
        break;
    }
}

void writeDesignFile(const std::string& path, model::Design& design, AtomicWriter& writer)
{
    model::HeaderRecord header = design.look().currentHeader();
    const std::string bytes = encodeForSave(design, header);
    design.look().saved(header); // before writing: a failed save has filled the current header all the same
    writeEncoded(path, bytes, writer);
}

void writeDesignFile(const std::string& path, model::Design& design)
{
    SaveFileWriter writer;
    writeDesignFile(path, design, writer);
}

} // namespace io
