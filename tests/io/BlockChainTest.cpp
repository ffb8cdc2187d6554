// The chain of blocks behind the sections: walked by the lengths, so a
// damaged block hides nothing behind it; every block not taken in is kept
// byte for byte, in file order, and goes into a recovery copy but not into a
// saved file; bytes that are no block are ignored.
#include "IoTestSupport.h"

#include "io/BlockChain.h"
#include "io/DesignFile.h"

#include <gtest/gtest.h>

namespace {

using Why = model::KeptBlock::Why;

// A whole block with the CRC of `payload`, or of something else when `damaged`.
std::string block(const std::string& tag, const std::string& payload, bool damaged = false)
{
    std::string b = io::encodeBlock(tag, 1, payload);
    if (damaged)
        b[12] ^= 0x01;
    return b;
}

// One top-level row A with children B and C: a matrix over B and C.
std::string sectionsOnly(model::Design& design)
{
    for (model::TreeId id : model::kAllTrees) {
        model::Node* a = design.tree(id).appendTopLevel("1 A");
        design.tree(id).appendChild(a, "1.1 B");
        design.tree(id).appendChild(a, "1.2 C");
    }
    return io::encodeDesignFile(design);
}

// FR-DP over A's children: B is affected by C.
const std::string kCellPayload = std::string("\x01\0\0\0", 4) + iotest::le32(0) + iotest::le32(2) + iotest::le32(1)
                                 + iotest::le32(0) + iotest::le32(1) + std::string("\x01\0\0\0", 4);

struct Walk {
    const char* name;
    std::string tail;                          // behind the sections
    std::vector<std::pair<std::string, bool>> // each block found: its bytes and whether whole
        found;
};

const std::string kUnknown = block("ABCD", "later data");
const std::string kDamaged = block("TDMX", kCellPayload, true);

const Walk kWalks[] = {
    {"Nothing", "", {}},
    {"BlocksBackToBack", kDamaged + kUnknown + block("Z9Z9", ""), {{kDamaged, true}, {kUnknown, true}, {block("Z9Z9", ""), true}}},
    {"BytesThatAreNoBlockEndTheWalk", kUnknown + "some notes" + kUnknown, {{kUnknown, true}}},
    {"LowerCaseIsNoTag", "abcd" + kUnknown.substr(4), {}},
    {"FewerThanFourBytes", kUnknown + "AB", {{kUnknown, true}}},
    {"HeadCutShort", kUnknown + kUnknown.substr(0, 15), {{kUnknown, true}, {kUnknown.substr(0, 15), false}}},
    {"LengthPastTheEnd", kUnknown.substr(0, kUnknown.size() - 1), {{kUnknown.substr(0, kUnknown.size() - 1), false}}},
};

class ChainWalk : public ::testing::TestWithParam<Walk> {};

TEST_P(ChainWalk, FindsEveryBlockByTheLengths)
{
    const std::string& tail = GetParam().tail;
    std::vector<std::pair<std::string, bool>> found;
    for (const io::FoundBlock& b : io::walkBlocks(tail.size(), [&](std::uint64_t at, std::size_t length) {
             EXPECT_LE(at + length, tail.size()); // never asked past the end
             return tail.substr(at, length);
         }))
        found.emplace_back(b.bytes, b.whole);
    EXPECT_EQ(found, GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChainWalk, ::testing::ValuesIn(kWalks),
                         [](const ::testing::TestParamInfo<Walk>& info) { return std::string(info.param.name); });

std::vector<std::pair<Why, std::string>> keptOf(const io::DesignFileContents& c)
{
    std::vector<std::pair<Why, std::string>> kept;
    for (const model::KeptBlock& k : c.kept)
        kept.emplace_back(k.why, k.name);
    return kept;
}

TEST(BlockChain, ADamagedMatrixBlockAndAnUnknownOneAreBothKeptInOrder)
{
    model::Design design;
    const std::string file = sectionsOnly(design) + kDamaged + kUnknown + "trailing text";
    const io::DesignFileContents c = io::parseDesignFile(file, "k.vok");
    EXPECT_TRUE(c.matricesLeftOut);
    EXPECT_TRUE(c.matrices.empty());
    EXPECT_EQ(keptOf(c), (std::vector<std::pair<Why, std::string>>{{Why::Unreadable, "the design matrices"},
                                                                   {Why::Unknown, "block ABCD"}}));
    EXPECT_EQ(c.kept[0].bytes, kDamaged);
    EXPECT_EQ(c.kept[1].bytes, kUnknown);
}

TEST(BlockChain, OnlyTheFirstMatrixBlockIsReadASecondIsKept)
{
    model::Design design;
    const std::string second = block("TDMX", kCellPayload);
    const io::DesignFileContents c = io::parseDesignFile(sectionsOnly(design) + block("TDMX", kCellPayload) + second, "k.vok");
    EXPECT_EQ(c.matrices.cellCount(), 1u);
    EXPECT_EQ(keptOf(c), (std::vector<std::pair<Why, std::string>>{{Why::Unreadable, "the design matrices"}}));
    EXPECT_EQ(c.kept[0].bytes, second);
}

// A save leaves the kept blocks out; a recovery copy holds them behind the
// design's own blocks, so reading it keeps the same ones again.
TEST(BlockChain, KeptBlocksGoIntoARecoveryCopyButNotIntoASave)
{
    model::Design design;
    const std::string sections = sectionsOnly(design);
    io::DesignFileContents c = io::parseDesignFile(sections + kDamaged + kUnknown, "k.vok");
    model::Design reopened;
    reopened.replaceTrees(std::move(c.trees));
    reopened.replaceKeptBlocks(model::KeptBlocks(c.kept));
    EXPECT_EQ(io::encodeDesignFile(reopened), sections);
    const std::string copy = io::encodeDesignFile(reopened, io::KeptBlocksToo::Yes);
    EXPECT_EQ(copy, sections + kDamaged + kUnknown);

    // With matrices of its own the design's block comes first and is read.
    reopened.setMatrixCell(0, model::MatrixKind::FrDp, 0, 1, model::CellValue::X);
    const io::DesignFileContents again =
        io::parseDesignFile(io::encodeDesignFile(reopened, io::KeptBlocksToo::Yes), "k.vok");
    EXPECT_EQ(again.matrices.cellCount(), 1u);
    EXPECT_EQ(again.kept, c.kept);
}

} // namespace
