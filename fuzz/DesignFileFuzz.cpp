// The design file reader. Property: a file that reads, written again with the
// level styles of its own level records and read back, gives the same trees,
// titles, level styles, matrix cells, cross cells, ranges, full labels and titles
// beyond Windows-1252 and notes (a block written is never refused) and keeps no block; writing that a second time gives the same
// bytes. A recovery copy, which carries the blocks kept from the file, reads
// back with the same blocks kept.
#include "FuzzSupport.h"

#include "io/DesignFile.h"
#include "model/Design.h"
#include "model/UserError.h"

#include <optional>

namespace {

using Styles = std::array<model::LevelStyle, model::kLevelCount>;

constexpr const char* kPath = "fuzz.vok";

std::optional<io::DesignFileContents> parse(std::string_view bytes)
{
    try {
        return io::parseDesignFile(bytes, kPath);
    } catch (const model::UserError&) {
        return std::nullopt;
    }
}

Styles stylesOf(const model::HeaderRecord& header)
{
    Styles styles;
    for (std::size_t i = 0; i < styles.size(); ++i)
        styles[i] = model::styleOf(header.levels[i]);
    return styles;
}

// What the window does with a file it opened, and then what a save writes.
// The design keeps the trees, whose texts point into the contents' bytes.
std::string resave(io::DesignFileContents& contents, model::Design& design)
{
    try {
        design.replaceTrees(std::move(contents.trees).release()); // checks the shape once more
    } catch (const model::UserError&) {
        fuzzing::fail("the reader accepted trees of different shapes");
    }
    design.replaceMatrices(std::move(contents.matrices));
    design.replaceCrossCells(std::move(contents.crossCells));
    design.replaceRanges(std::move(contents.ranges));
    design.replaceFullLabels(std::move(contents.fullLabels));
    design.replaceNotes(std::move(contents.notes));
    for (model::TreeId id : model::kAllTrees) {
        const auto i = static_cast<std::size_t>(model::index(id));
        design.setTitle(id, contents.titles[i]);
        if (!contents.fullTitles[i].empty())
            design.setFullTitle(id, contents.fullTitles[i]);
    }
    // The whole header as the current one, and the file's level styles as they are.
    design.look().opened(contents.header);
    design.look().takeLoadedLook();
    const Styles styles = stylesOf(contents.header);
    for (int level = 0; level < model::kLevelCount; ++level)
        design.look().setStyle(level, styles[static_cast<std::size_t>(level)]);
    return io::encodeDesignFile(design);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::optional<io::DesignFileContents> first = parse(fuzzing::bytesOf(data, size));
    if (!first)
        return 0;
    const Styles styles = stylesOf(first->header);
    const std::array<std::string, 3> titles = first->titles;
    model::Design design;
    const std::string written = resave(*first, design);

    std::optional<io::DesignFileContents> second = parse(written);
    if (!second)
        fuzzing::fail("a written design file reads back");
    for (model::TreeId id : model::kAllTrees) {
        const auto i = static_cast<std::size_t>(model::index(id));
        fuzzing::check(fuzzing::rowsOf(second->trees[i]) == fuzzing::rowsOf(design.tree(id)),
                       "the trees read back are the trees written");
    }
    fuzzing::check(second->titles == titles, "the titles read back are the titles written");
    fuzzing::check(stylesOf(second->header) == styles, "the level styles read back are those written");
    fuzzing::check(!second->matricesLeftOut, "a written matrix block reads back");
    fuzzing::check(second->matrices.cellCount() == design.matrices().cellCount(),
                   "the matrix cells read back are the cells written");
    fuzzing::check(second->ranges.size() == design.ranges().size(), "the ranges read back are the ranges written");
    fuzzing::check(second->crossCells.size() == design.crossCells().size(),
                   "the cross cells read back are the cells written");
    fuzzing::check(second->fullLabels.size() == design.fullLabels().size(),
                   "the full labels read back are the labels written");
    fuzzing::check(second->notes.size() == design.notes().size(), "the notes read back are the notes written");
    for (model::TreeId id : model::kAllTrees)
        fuzzing::check(second->fullTitles[static_cast<std::size_t>(model::index(id))] == design.unicodeTitle(id),
                       "the full titles read back are the titles written");
    fuzzing::check(second->kept.empty(), "a written file keeps no block");

    design.replaceKeptBlocks(model::KeptBlocks(first->kept));
    std::optional<io::DesignFileContents> copy = parse(io::encodeDesignFile(design, io::KeptBlocksToo::Yes));
    fuzzing::check(copy && copy->kept == first->kept, "a recovery copy keeps the blocks kept");

    model::Design again;
    fuzzing::check(resave(*second, again) == written, "a second write gives the same bytes");
    return 0;
}
