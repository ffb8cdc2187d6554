// The matrix block of the design file: written byte for byte as its tables
// say, right behind the PV section and only when a cell is assessed; read
// back cell for cell; and refused whole, with the trees, titles and level
// styles still read, in every case the tables do not allow.
#include "IoTestSupport.h"

#include "io/DesignFile.h"
#include "io/MatrixBlock.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

using model::CellValue;
using model::MatrixKind;
using model::TreeId;

// 1 A            top level: A and E
//   1.1 B        below A: B, C and D
//   1.2 C
//   1.3 D
// 2 E
void buildDesign(model::Design& design)
{
    for (TreeId id : model::kAllTrees) {
        model::DesignTree& t = design.tree(id);
        const std::string tag(static_cast<std::size_t>(model::index(id)), '\'');
        model::Node* a = t.appendTopLevel("1 A" + tag);
        for (const char* child : {"1.1 B", "1.2 C", "1.3 D"})
            t.appendChild(a, child + tag);
        t.appendTopLevel("2 E" + tag);
        design.setTitle(id, "Title " + std::to_string(model::index(id)));
    }
}

// Cells set out of order: the block sorts them.
void assessCells(model::Design& design)
{
    design.setMatrixCell(0, MatrixKind::FrDp, 2, 1, CellValue::O);
    design.setMatrixCell(0, MatrixKind::DpPv, 1, 0, CellValue::X);
    design.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 1, 0, CellValue::O);
    design.setMatrixCell(0, MatrixKind::FrDp, 0, 2, CellValue::X);
}

std::string byte(std::uint8_t b) { return std::string(1, static_cast<char>(b)); }

// A record and a cell as their tables lay them out.
std::string record(std::uint8_t kind, std::uint32_t parent, std::uint32_t n, std::uint32_t m)
{
    return byte(kind) + std::string(3, '\0') + iotest::le32(parent) + iotest::le32(n) + iotest::le32(m);
}
std::string cell(std::uint32_t i, std::uint32_t j, std::uint8_t value)
{
    return iotest::le32(i) + iotest::le32(j) + byte(value) + std::string(3, '\0');
}

const std::string kPayload = record(1, 0xFFFFFFFF, 2, 1) + cell(1, 0, 2)           // top level FR-DP
                             + record(1, 0, 3, 2) + cell(0, 2, 1) + cell(2, 1, 2)  // 1 FR-DP
                             + record(2, 0, 3, 1) + cell(1, 0, 1);                 // 1 DP-PV

std::uint32_t crcOf(const std::string& bytes)
{
    return static_cast<std::uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

std::string block(const std::string& payload, std::uint32_t version = 1, std::int64_t lengthOff = 0,
                  std::uint32_t crcFlip = 0)
{
    return "TDMX" + iotest::le32(version) + iotest::le32(static_cast<std::uint32_t>(payload.size() + lengthOff))
           + iotest::le32(crcOf(payload) ^ crcFlip) + payload;
}

std::string encoded(const model::Design& design)
{
    return io::encodeDesignFile(design);
}

class MatrixBlock : public ::testing::Test {
protected:
    void SetUp() override
    {
        buildDesign(plain);
        buildDesign(assessed);
        assessCells(assessed);
        sections = encoded(plain);
    }

    model::Design plain;
    model::Design assessed;
    std::string sections; // the file of the trees alone
};

TEST_F(MatrixBlock, FollowsThePvSectionAsItsTablesSay)
{
    // zlib.crc32 of the payload, worked out apart from the program.
    EXPECT_EQ(crcOf(kPayload), 0xB4D60557u);
    EXPECT_EQ(encoded(assessed), sections + block(kPayload));
}

TEST_F(MatrixBlock, ADesignWithoutAssessedCellsWritesNoBlock)
{
    // Assessed, then every cell cleared again: the file is the trees' file.
    assessed.setMatrixCell(0, MatrixKind::FrDp, 2, 1, CellValue::NotAssessed);
    assessed.setMatrixCell(0, MatrixKind::DpPv, 1, 0, CellValue::NotAssessed);
    assessed.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 1, 0, CellValue::NotAssessed);
    assessed.setMatrixCell(0, MatrixKind::FrDp, 0, 2, CellValue::NotAssessed);
    EXPECT_EQ(encoded(assessed), sections);
}

TEST_F(MatrixBlock, ReadsBackEveryCellAndWritesTheSameBytesAgain)
{
    const std::string bytes = encoded(assessed);
    io::DesignFileContents c = io::parseDesignFile(bytes, "m.vok");
    EXPECT_FALSE(c.matricesLeftOut);
    const model::DesignTree& fr = c.trees[0];
    const model::Node* a = fr.nodeAt(0);
    EXPECT_EQ(c.matrices.cellCount(), 4u);
    EXPECT_EQ(c.matrices.cell(a, MatrixKind::FrDp, a->children[0], a->children[2]), CellValue::X);
    EXPECT_EQ(c.matrices.cell(a, MatrixKind::FrDp, a->children[2], a->children[1]), CellValue::O);
    EXPECT_EQ(c.matrices.cell(a, MatrixKind::DpPv, a->children[1], a->children[0]), CellValue::X);
    EXPECT_EQ(c.matrices.cell(fr.root(), MatrixKind::FrDp, fr.nodeAt(4), fr.nodeAt(0)), CellValue::O);

    model::Design reopened;
    reopened.replaceTrees(std::move(c.trees));
    reopened.replaceMatrices(std::move(c.matrices));
    for (TreeId id : model::kAllTrees)
        reopened.setTitle(id, assessed.title(id));
    EXPECT_EQ(encoded(reopened), bytes);
}

// Sections placed out of order: the block is looked for behind the one that
// ends furthest, the FR section counted from 700 whatever its start field says.
TEST_F(MatrixBlock, IsFoundBehindTheFurthestSectionEnd)
{
    const io::DesignFileContents good = io::parseDesignFile(sections, "m.vok");
    const model::HeaderRecord& h = good.header;
    const std::string fr = sections.substr(700, h.lengths[0]);
    const std::string dp = sections.substr(h.starts[1], h.lengths[1]);
    const std::string pv = sections.substr(h.starts[2], h.lengths[2]);
    const auto f = static_cast<std::uint32_t>(fr.size()), p = static_cast<std::uint32_t>(pv.size());
    const std::string file = iotest::fileWith({0, 700 + f + p, 700 + f}, {f, h.lengths[1], p}, fr + pv + dp)
                             + block(kPayload);
    const io::DesignFileContents c = io::parseDesignFile(file, "m.vok");
    EXPECT_FALSE(c.matricesLeftOut);
    EXPECT_EQ(c.matrices.cellCount(), 4u);
}

TEST_F(MatrixBlock, BytesBehindTheSectionsWithoutATagAreIgnored)
{
    for (const std::string& tail : {std::string("TD"), std::string("Tdmx") + block(kPayload).substr(4),
                                    std::string(64, '\0'), std::string("some notes")}) {
        const io::DesignFileContents c = io::parseDesignFile(sections + tail, "m.vok");
        EXPECT_FALSE(c.matricesLeftOut) << tail;
        EXPECT_TRUE(c.matrices.empty()) << tail;
        EXPECT_TRUE(c.kept.empty()) << tail;
    }
}

TEST(MatrixBlockMessage, NamesTheFile)
{
    EXPECT_EQ(io::matricesLeftOutMessage("/tmp/pump.vok"),
              "The design matrices in /tmp/pump.vok could not be read and are left out");
}

// --- refused blocks ---------------------------------------------------------------

struct Refusal {
    const char* name;
    std::string tail; // behind the sections
};

class MatrixBlockRefused : public MatrixBlock, public ::testing::WithParamInterface<Refusal> {};

TEST_P(MatrixBlockRefused, LeavesOutEveryMatrixAndNothingElse)
{
    const std::string file = sections + GetParam().tail;
    const io::DesignFileContents expected = io::parseDesignFile(sections, "m.vok");
    QTemporaryDir dir;
    const std::string path = dir.filePath("m.vok").toStdString();
    iotest::writeRaw(path, file);
    // From memory and from disk, which read the bytes behind the sections apart.
    for (const io::DesignFileContents& c : {io::parseDesignFile(file, "m.vok"), io::readDesignFile(path)}) {
        EXPECT_TRUE(c.matricesLeftOut);
        EXPECT_TRUE(c.matrices.empty());
        ASSERT_EQ(c.kept.size(), 1u);
        EXPECT_EQ(c.kept[0].bytes, GetParam().tail); // kept byte for byte
        for (std::size_t t = 0; t < model::kTreeCount; ++t)
            EXPECT_EQ(iotest::outline(c.trees[t]), iotest::outline(expected.trees[t]));
        EXPECT_EQ(c.titles, expected.titles);
        EXPECT_EQ(c.header.levels, expected.header.levels);
    }
}

const std::string kTopRecord = record(1, 0xFFFFFFFF, 2, 1) + cell(1, 0, 2);

const Refusal kRefusals[] = {
    {"HeadCutShort", "TDMX" + iotest::le32(1) + iotest::le32(0)},
    {"VersionTwo", block(kPayload, 2)},
    {"LengthPastTheEndOfTheFile", block(kPayload, 1, 1)},
    {"CrcDoesNotMatch", block(kPayload, 1, 0, 0x10)},
    {"RecordHeadCutShort", block(kTopRecord + record(1, 0, 3, 1).substr(0, 9))},
    {"RecordCellsCutShort", block(kTopRecord + record(1, 0, 3, 2) + cell(0, 1, 1))},
    {"KindZero", block(record(0, 0, 3, 1) + cell(0, 1, 1))},
    {"KindThree", block(record(3, 0, 3, 1) + cell(0, 1, 1))},
    {"SameKindAndParentTwice", block(record(1, 0, 3, 1) + cell(0, 1, 1) + record(1, 0, 3, 1) + cell(1, 0, 1))},
    {"TopLevelTwice", block(kTopRecord + kTopRecord.substr(0, 12) + iotest::le32(1) + cell(0, 1, 1))},
    {"ParentRowOutOfRange", block(record(1, 5, 0, 0))},
    {"ParentWithOtherChildCount", block(record(2, 0, 4, 1) + cell(0, 1, 1))},
    {"TopLevelWithOtherChildCount", block(record(1, 0xFFFFFFFF, 3, 1) + cell(0, 1, 1))},
    {"CellOnTheDiagonal", block(record(1, 0, 3, 1) + cell(1, 1, 1))},
    {"CellRowOutOfRange", block(record(1, 0, 3, 1) + cell(3, 0, 1))},
    {"CellColumnOutOfRange", block(record(1, 0, 3, 1) + cell(0, 0xFFFFFFFF, 1))},
    {"CellRepeated", block(record(1, 0, 3, 2) + cell(0, 1, 1) + cell(0, 1, 2))},
    {"ValueZero", block(record(1, 0, 3, 1) + cell(0, 1, 0))},
    {"ValueThree", block(record(1, 0, 3, 1) + cell(0, 1, 3))},
    {"CellCountPastThePayload", block(record(1, 0, 3, 0x40000000) + cell(0, 1, 1))},
    // Laid out otherwise than it is written: read, it would be written back otherwise.
    {"EmptyPayload", block("")},
    {"EmptyRecord", block(kTopRecord + record(1, 0, 3, 0))},
    {"RecordsOutOfRowOrder", block(record(1, 0, 3, 1) + cell(0, 1, 1) + kTopRecord)},
    {"DpPvBeforeFrDp", block(record(2, 0, 3, 1) + cell(0, 1, 1) + record(1, 0, 3, 1) + cell(0, 1, 1))},
    {"CellsOutOfOrder", block(record(1, 0, 3, 2) + cell(1, 0, 1) + cell(0, 2, 1))},
    {"RecordPaddingNotZero", block(kTopRecord.substr(0, 3) + "\x01" + kTopRecord.substr(4))},
    {"CellPaddingNotZero", block(record(1, 0, 3, 1) + cell(0, 1, 1).substr(0, 11) + "\x01")},
};

INSTANTIATE_TEST_SUITE_P(Cases, MatrixBlockRefused, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

} // namespace
