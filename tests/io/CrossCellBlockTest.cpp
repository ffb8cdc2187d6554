// The cross cell block: written byte for byte as its table says, between the
// matrix block and the information block, and refused whole, with everything
// else still read, in every case the table does not allow.
#include "IoTestSupport.h"

#include "io/CrossCellBlock.h"
#include "io/DesignFile.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

using model::CellValue;
using model::MatrixKind;

std::string cell(std::uint8_t kind, std::uint8_t value, std::uint32_t a, std::uint32_t b, char pad = '\0')
{
    return std::string{static_cast<char>(kind), static_cast<char>(value), pad, '\0'} + iotest::le32(a)
           + iotest::le32(b);
}

std::string block(const std::string& tag, const std::string& payload, std::uint32_t version = 1)
{
    const auto crc = static_cast<std::uint32_t>(crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(payload.data()),
                                                      static_cast<uInt>(payload.size())));
    return tag + iotest::le32(version) + iotest::le32(static_cast<std::uint32_t>(payload.size())) + iotest::le32(crc)
           + payload;
}

// 0 1: 1 1.1, 2 1.2;  3 2: 4 2.1
class CrossCellBlock : public ::testing::Test {
protected:
    void SetUp() override
    {
        design.addFirstRow();
        design.addChild(0);
        design.addSiblingBelow(1);
        design.addSiblingBelow(0);
        design.addChild(3);
        sections = io::encodeDesignFile(design);
        design.setCrossCell(MatrixKind::DpPv, 1, 4, CellValue::O);
        design.setCrossCell(MatrixKind::FrDp, 4, 2, CellValue::X);
        design.setCrossCell(MatrixKind::FrDp, 1, 3, CellValue::O);
        design.setRanges(4, {{true, false, 1, 0, ""}, {}});
    }
    model::Design design;
    std::string sections;
};

const std::string kPayload = cell(1, 2, 1, 3) + cell(1, 1, 4, 2) + cell(2, 2, 1, 4);

TEST_F(CrossCellBlock, StandsBetweenTheMatricesAndTheRangesAsItsTableSays)
{
    const std::string bytes = io::encodeDesignFile(design);
    ASSERT_EQ(bytes.substr(0, sections.size() + 16 + kPayload.size()), sections + block("TDMC", kPayload));
    EXPECT_EQ(bytes.substr(sections.size() + 16 + kPayload.size(), 4), "TDIA");
    model::Design reopened;
    io::openInto(reopened, io::parseDesignFile(bytes, "c.vok"));
    EXPECT_EQ(reopened.crossCells().size(), 3u);
    EXPECT_EQ(io::encodeDesignFile(reopened), bytes);
}

struct Refusal {
    const char* name;
    std::string payload;
    std::uint32_t version = 1;
};

class CrossCellBlockRefused : public CrossCellBlock, public ::testing::WithParamInterface<Refusal> {};

TEST_P(CrossCellBlockRefused, LeavesOutEveryCrossCellAndNothingElse)
{
    const std::string tail = block("TDMC", GetParam().payload, GetParam().version);
    const io::DesignFileContents c = io::parseDesignFile(sections + tail, "c.vok");
    EXPECT_TRUE(c.crossCells.empty());
    EXPECT_EQ(c.trees[0].size(), 5);
    ASSERT_EQ(c.kept.size(), 1u);
    EXPECT_EQ(io::leftOutMessages(c.kept, "c.vok"),
              std::vector<std::string>{"The cross-level cells in c.vok could not be read and are left out"});
}

const Refusal kRefusals[] = {
    {"VersionTwo", kPayload, 2},
    {"EmptyPayload", ""},
    {"NotAMultipleOf12", kPayload.substr(0, 20)},
    {"RowOutOfRange", cell(1, 1, 1, 5)},
    {"SameRow", cell(1, 1, 1, 1)},
    {"Siblings", cell(1, 1, 1, 2)},
    {"OneInsideTheOther", cell(1, 1, 0, 2)},
    {"PairRepeated", cell(1, 1, 1, 3) + cell(1, 2, 1, 3)},
    {"OrderBroken", cell(1, 2, 4, 2) + cell(1, 1, 1, 3)},
    {"KindThree", cell(3, 1, 1, 3)},
    {"ValueZero", cell(1, 0, 1, 3)},
    {"PaddingNotZero", cell(1, 1, 1, 3, '\x01')},
};

INSTANTIATE_TEST_SUITE_P(Cases, CrossCellBlockRefused, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

} // namespace
