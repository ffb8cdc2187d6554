// The matrix block reader, past the CRC. The input is one block, head and
// payload; its length and CRC fields are put right before it is read, so a
// mutation of the payload reaches the record decoder instead of failing the
// CRC. It stands behind the sections of a fixed design: the pump example's
// FR tree (one top-level row, five children of two children each) and a
// second top-level row of three children, so that the top level has a matrix
// too. Seeds in corpus/matrix_block: blocks written for that design.
//
// Properties: a block that is read writes back as the very same bytes; one
// that is not read leaves no matrix and is kept byte for byte, as the one
// block kept; and nothing else is ever kept. A block of another kind this
// program reads (the fuzzer finds their tags) may be taken in instead.
#include "FuzzSupport.h"

#include "io/BlockChain.h"
#include "io/ByteOrder.h"
#include "io/DesignFile.h"
#include "io/ExtensionBlocks.h"
#include "model/Design.h"
#include "model/UserError.h"

namespace {

// The levels of the FR rows, in row order.
constexpr int kLevels[] = {0, 1, 2, 2, 1, 2, 2, 1, 2, 2, 1, 2, 2, 1, 2, 2, 0, 1, 1, 1};

const std::string& sections()
{
    static const std::string bytes = [] {
        model::Design design;
        for (model::TreeId id : model::kAllTrees) {
            model::DesignTree& tree = design.tree(id);
            std::vector<model::Node*> path;
            for (int level : kLevels) {
                path.resize(static_cast<std::size_t>(level));
                path.push_back(level == 0 ? tree.appendTopLevel("row") : tree.appendChild(path.back(), "row"));
            }
        }
        return io::encodeDesignFile(design);
    }();
    return bytes;
}

// Whether the block is of a kind read here other than the matrices.
bool ofAnotherKnownKind(std::string_view block)
{
    for (const io::BlockModule& module : io::blockModules())
        if (module.tag != io::kMatrixTag && block.starts_with(module.tag))
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string block(fuzzing::bytesOf(data, size));
    if (block.size() >= io::kBlockHeadSize) {
        const std::string_view payload = std::string_view(block).substr(io::kBlockHeadSize);
        io::putU32(block, 8, static_cast<std::uint32_t>(payload.size()));
        io::putU32(block, 12, io::crc32Of(payload));
    }
    io::DesignFileContents c;
    try {
        c = io::parseDesignFile(sections() + block, "fuzz.vok");
    } catch (const model::UserError&) {
        fuzzing::fail("the sections read, whatever stands behind them");
    }
    const bool read = block.starts_with(io::kMatrixTag) && c.kept.empty();
    if (read) {
        fuzzing::check(io::encodeMatrixBlock(c.trees[0], c.matrices) == block, "a block read writes back the same");
    } else if (ofAnotherKnownKind(block)) {
        fuzzing::check(c.matrices.empty() && !c.matricesLeftOut, "a block of another kind holds no matrix");
        fuzzing::check(c.kept.empty() || (c.kept.size() == 1 && c.kept[0].bytes == block),
                       "a block of another kind is taken in or kept as it was");
    } else if (io::beginsWithBlockTag(block)) {
        fuzzing::check(c.matrices.empty(), "a block not read leaves no matrix");
        fuzzing::check(c.kept.size() == 1 && c.kept[0].bytes == block, "a block not read is kept as it was");
        fuzzing::check(c.matricesLeftOut == block.starts_with(io::kMatrixTag), "a matrix block not read is said");
    } else {
        fuzzing::check(c.kept.empty() && c.matrices.empty(), "bytes that are no block are ignored");
    }
    return 0;
}
