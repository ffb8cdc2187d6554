// The bytes a save writes stay what they were: every example design, read and
// written again, and designs built by seeded random commands (with matrix
// cells, titles and level styles) give the CRC-32s the files had before the
// document and its commands were reorganised. A change here changes every
// user's files: it needs a new format version, not new numbers.
#include "IoTestSupport.h"

#include "io/BlockChain.h"
#include "io/DesignFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>

namespace {

using model::TreeId;

std::string sourceDir()
{
    const char* dir = std::getenv("TESSARIC_SOURCE_DIR");
    return dir ? dir : ".";
}

std::array<model::LevelStyle, model::kLevelCount> stylesOf(const model::HeaderRecord& header)
{
    std::array<model::LevelStyle, model::kLevelCount> styles;
    for (int i = 0; i < model::kLevelCount; ++i)
        styles[static_cast<std::size_t>(i)] = model::styleOf(header.levels[static_cast<std::size_t>(i)]);
    return styles;
}

void setStyles(model::Design& design, const std::array<model::LevelStyle, model::kLevelCount>& styles)
{
    for (int level = 0; level < model::kLevelCount; ++level)
        design.look().setStyle(level, styles[static_cast<std::size_t>(level)]);
}

// Read and written again, as opening and saving does it.
std::string resaved(const std::string& path)
{
    io::DesignFileContents contents = io::readDesignFile(path);
    const model::HeaderRecord header = contents.header;
    model::Design design;
    io::openInto(design, std::move(contents));
    design.look().takeLoadedLook(); // the whole loaded header becomes the current one
    setStyles(design, stylesOf(header));
    return io::encodeDesignFile(design);
}

// Random commands from one seed: rows added, moved, dropped, duplicated and
// deleted, labels typed, matrix cells assessed, titles and level styles set.
std::string randomDesign(std::uint32_t seed)
{
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<std::uint32_t>(n)); };
    model::Design design;
    design.addFirstRow();
    for (int step = 0; step < 400; ++step) {
        const int n = design.rowCount();
        const int k = pick(n);
        switch (pick(10)) {
        case 0: design.addSiblingBelow(k); break;
        case 1: design.addChild(k); break;
        case 2: design.addUncle(k); break;
        case 3: if (n > 8) design.deleteRow(k); break;
        case 4: design.moveUp(k); break;
        case 5: design.drop(k, pick(n)); break;
        case 6: if (n < 120) design.duplicate(k); break;
        case 7: design.editLabel(static_cast<TreeId>(pick(3)), k, "label " + std::to_string(step)); break;
        default: {
            const int children = static_cast<int>(design.tree(TreeId::FR).nodeAt(k)->children.size());
            if (children < 2)
                break;
            // Drawn one by one, last argument first: the order the golden numbers were made in.
            const auto value = static_cast<model::CellValue>(pick(3));
            const int column = pick(children);
            const int row = pick(children);
            const auto kind = pick(2) ? model::MatrixKind::FrDp : model::MatrixKind::DpPv;
            design.setMatrixCell(k, kind, row, column, value);
        }
        }
    }
    design.renumber();
    design.setTitle(TreeId::DP, "Parameters " + std::to_string(seed));
    std::array<model::LevelStyle, model::kLevelCount> styles;
    for (int i = 0; i < model::kLevelCount; ++i)
        styles[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), 0x00102030u * static_cast<std::uint32_t>(i),
                                               i % 2 ? "Tahoma" : "DejaVu Sans", 8 + i, static_cast<std::uint8_t>(i % 16)};
    setStyles(design, styles);
    return io::encodeDesignFile(design);
}

struct Golden {
    const char* name;
    std::uint32_t crc;
};

TEST(SavedBytes, ExamplesReadAndSavedAgain)
{
    const Golden examples[] = {
        {"examples/pump.vok", 0x17dd286cu},
        {"fuzz/corpus/design_file/level-styles.vok", 0xfe3af20fu},
        {"fuzz/corpus/design_file/nested.vok", 0x0ec70de9u},
        {"fuzz/corpus/design_file/pump-matrices.vok", 0xc44fcf10u},
        {"fuzz/corpus/design_file/shared-section.vok", 0x0d01c2aau},
    };
    for (const Golden& g : examples)
        EXPECT_EQ(io::crc32Of(resaved(sourceDir() + "/" + g.name)), g.crc) << g.name << std::hex;
}

TEST(SavedBytes, RandomDesigns)
{
    const std::uint32_t golden[] = {0xde7601b1u, 0xa72b6c35u, 0xa6d9d79au, 0xee63da69u};
    int withCells = 0;
    for (std::uint32_t seed = 0; seed < std::size(golden); ++seed) {
        const std::string bytes = randomDesign(seed);
        withCells += bytes.find("TDMX") != std::string::npos;
        EXPECT_EQ(io::crc32Of(bytes), golden[seed]) << "seed " << seed;
    }
    EXPECT_GE(withCells, 2); // the matrix block is among the bytes checked
}

} // namespace
