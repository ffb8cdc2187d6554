// The tree text reader. Property: a text that reads writes back, with the
// size the writer announces, and reads back to the same tree; the levels the
// reader reports are those of the tree it built.
#include "FuzzSupport.h"

#include "io/TreeText.h"
#include "model/UserError.h"

namespace {

std::vector<std::uint32_t> levelsOf(const std::vector<fuzzing::Row>& rows)
{
    std::vector<std::uint32_t> levels;
    levels.reserve(rows.size());
    for (const fuzzing::Row& row : rows)
        levels.push_back(row.level);
    return levels;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    io::TreeLevels levels;
    model::DesignTree tree;
    try {
        tree = io::readTreeText(fuzzing::bytesOf(data, size), levels);
    } catch (const model::UserError&) {
        return 0;
    }
    const std::vector<fuzzing::Row> rows = fuzzing::rowsOf(tree);
    fuzzing::check(levels == levelsOf(rows), "the reader reports the levels of the tree it built");

    std::string text;
    io::writeTreeText(tree, text);
    fuzzing::check(text.size() == io::treeTextSize(tree), "the writer writes the size it announces");
    io::TreeLevels levelsAgain;
    model::DesignTree again;
    try {
        again = io::readTreeText(text, levelsAgain);
    } catch (const model::UserError&) {
        fuzzing::fail("a written tree text reads back");
    }
    fuzzing::check(fuzzing::rowsOf(again) == rows, "the tree read back is the tree written");
    fuzzing::check(levelsAgain == levels, "the levels read back are the levels written");
    return 0;
}
