// The information block of the design file: written byte for byte as its
// tables say, behind the matrix block and only when a row has a range; read
// back and written again the same; and refused whole, with everything else
// still read, in every case the tables do not allow.
#include "IoTestSupport.h"

#include "io/DesignFile.h"
#include "io/InformationBlock.h"
#include "io/MatrixBlock.h"

#include <gtest/gtest.h>

#include <bit>
#include <zlib.h>

namespace {

using model::FrRanges;
using model::SystemKind;

std::string byte(std::uint8_t b) { return std::string(1, static_cast<char>(b)); }
std::string f64(double v)
{
    const auto bits = std::bit_cast<std::uint64_t>(v);
    return iotest::le32(static_cast<std::uint32_t>(bits)) + iotest::le32(static_cast<std::uint32_t>(bits >> 32));
}

// A range record as its table lays it out.
std::string record(std::uint32_t row, std::uint8_t bounds, std::uint8_t kind, const std::string& unit, double lower,
                   double upper, double a, double b)
{
    return iotest::le32(row) + byte(bounds) + byte(kind) + byte(static_cast<std::uint8_t>(unit.size())) + byte(0)
           + f64(lower) + f64(upper) + f64(a) + f64(b) + unit;
}

std::uint32_t crcOf(const std::string& bytes)
{
    return static_cast<std::uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

std::string block(const std::string& tag, const std::string& payload, std::uint32_t version = 1,
                  std::int64_t lengthOff = 0, std::uint32_t crcFlip = 0)
{
    return tag + iotest::le32(version) + iotest::le32(static_cast<std::uint32_t>(payload.size() + lengthOff))
           + iotest::le32(crcOf(payload) ^ crcFlip) + payload;
}

// Rows 0 Flow, 1 Flow.1, 2 Heat. Flow: 0 to 12 l/min against uniform 1 to 11;
// Heat: at most 45 against normal 40 ± 3; Flow.1: at least 2 and no system range.
const std::string kPayload = record(0, 3, 1, "l/min", 0, 12, 1, 11) + record(1, 1, 0, "", 2, 0, 0, 0)
                             + record(2, 2, 2, "\xB0" "C", 0, 45, 40, 3);
// The top level's FR-DP cell (1, 0) O.
const std::string kMatrixPayload = byte(1) + std::string(3, '\0') + iotest::le32(0xFFFFFFFF) + iotest::le32(2)
                                   + iotest::le32(1) + iotest::le32(1) + iotest::le32(0) + byte(2) + std::string(3, '\0');

class InformationBlock : public ::testing::Test {
protected:
    void SetUp() override
    {
        design.addFirstRow();
        design.addChild(0);
        design.addSiblingBelow(0);
        sections = io::encodeDesignFile(design);
        design.setMatrixCell(model::kNoRow, model::MatrixKind::FrDp, 1, 0, model::CellValue::O);
        // Set out of row order: the block sorts them.
        design.setRanges(2, {{false, true, 0, 45, "\xB0" "C"}, {SystemKind::Normal, 40, 3}});
        design.setRanges(0, {{true, true, 0, 12, "l/min"}, {SystemKind::Uniform, 1, 11}});
        design.setRanges(1, {{true, false, 2, 0, ""}, {}});
    }
    model::Design design;
    std::string sections; // the file of the trees alone
};

TEST_F(InformationBlock, FollowsTheMatrixBlockAsItsTablesSay)
{
    EXPECT_EQ(io::encodeDesignFile(design), sections + block("TDMX", kMatrixPayload) + block("TDIA", kPayload));
}

TEST_F(InformationBlock, ReadsBackAndWritesTheSameBytesAgain)
{
    const std::string bytes = io::encodeDesignFile(design);
    model::Design reopened;
    io::openInto(reopened, io::parseDesignFile(bytes, "f.vok"));
    ASSERT_EQ(reopened.ranges().size(), 3u);
    const FrRanges* heat = reopened.ranges().find(reopened.tree(model::TreeId::FR).nodeAt(2));
    ASSERT_NE(heat, nullptr);
    EXPECT_EQ(*heat, *design.ranges().find(design.tree(model::TreeId::FR).nodeAt(2)));
    EXPECT_EQ(io::encodeDesignFile(reopened), bytes);
}

TEST_F(InformationBlock, ADesignWithoutRangesWritesNoBlock)
{
    for (int row = 0; row < 3; ++row)
        design.setRanges(row, {});
    EXPECT_EQ(io::encodeDesignFile(design), sections + block("TDMX", kMatrixPayload));
}

// A damaged matrix block whose head and length are intact hides nothing behind it.
TEST_F(InformationBlock, IsReadBehindADamagedMatrixBlock)
{
    const std::string file = sections + block("TDMX", kMatrixPayload, 1, 0, 1) + block("TDIA", kPayload);
    const io::DesignFileContents c = io::parseDesignFile(file, "f.vok");
    EXPECT_EQ(c.ranges.size(), 3u);
    EXPECT_TRUE(c.matrices.empty());
    EXPECT_EQ(io::leftOutMessages(c.kept, "/tmp/f.vok"),
              std::vector<std::string>{"The design matrices in /tmp/f.vok could not be read and are left out"});
}

struct Refusal {
    const char* name;
    std::string payload;
    std::uint32_t version = 1;
    std::int64_t lengthOff = 0;
    std::uint32_t crcFlip = 0;
};

class InformationBlockRefused : public InformationBlock, public ::testing::WithParamInterface<Refusal> {};

TEST_P(InformationBlockRefused, LeavesOutEveryRangeAndNothingElse)
{
    const Refusal& r = GetParam();
    const std::string tail = block("TDIA", r.payload, r.version, r.lengthOff, r.crcFlip);
    const io::DesignFileContents c = io::parseDesignFile(sections + block("TDMX", kMatrixPayload) + tail, "f.vok");
    EXPECT_TRUE(c.ranges.empty());
    EXPECT_EQ(c.matrices.cellCount(), 1u);
    EXPECT_EQ(iotest::outline(c.trees[0]), iotest::outline(design.tree(model::TreeId::FR)));
    ASSERT_EQ(c.kept.size(), 1u);
    EXPECT_EQ(c.kept[0].bytes, tail);
    EXPECT_EQ(io::leftOutMessages(c.kept, "f.vok"),
              std::vector<std::string>{"The information ranges in f.vok could not be read and are left out"});
}

const std::string kGood = record(0, 3, 1, "", 0, 12, 1, 11);
const double kNan = std::numeric_limits<double>::quiet_NaN();

const Refusal kRefusals[] = {
    {"VersionTwo", kPayload, 2},
    {"LengthPastTheEnd", kPayload, 1, 1},
    {"CrcDoesNotMatch", kPayload, 1, 0, 0x10},
    {"EmptyPayload", ""},
    {"RecordCutShort", kGood.substr(0, 30)},
    {"UnitCutShort", record(0, 3, 1, "l/min", 0, 12, 1, 11).substr(0, 42)},
    {"RowOutOfRange", record(3, 3, 1, "", 0, 12, 1, 11)},
    {"RowRepeated", kGood + kGood},
    {"RowsNotAscending", record(1, 1, 0, "", 2, 0, 0, 0) + kGood},
    {"OtherBoundBit", record(0, 7, 1, "", 0, 12, 1, 11)},
    {"KindThree", record(0, 3, 3, "", 0, 12, 1, 11)},
    {"PaddingNotZero", kGood.substr(0, 7) + "\x01" + kGood.substr(8)},
    {"UnitLongerThan16", record(0, 3, 1, std::string(17, 'm'), 0, 12, 1, 11)},
    {"NotFinite", record(0, 3, 1, "", 0, kNan, 1, 11)},
    {"LowerAboveUpper", record(0, 3, 1, "", 12, 0, 1, 11)},
    {"AAboveB", record(0, 3, 1, "", 0, 12, 11, 1)},
    {"SigmaZero", record(0, 3, 2, "", 0, 12, 5, 0)},
    {"NeitherRange", record(0, 0, 0, "", 0, 0, 0, 0)},
    // Laid out otherwise than it is written: read, it would be written back otherwise.
    {"ValueForAnAbsentBound", record(0, 1, 1, "", 0, 12, 1, 11)},
    {"UnitWithoutBounds", record(0, 0, 1, "l", 0, 0, 1, 11)},
};

INSTANTIATE_TEST_SUITE_P(Cases, InformationBlockRefused, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

} // namespace
