// Tree text: writing, line splitting, levels, the invalid-level error, and
// depth handled without recursion.
#include "io/TreeText.h"
#include "IoTestSupport.h"
#include "model/UserError.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>

using iotest::outline;

namespace {

// Runs `f` on a thread with a 64 KB stack: a recursive walk over a few
// thousand levels would overflow it.
void onSmallStack(const std::function<void()>& f)
{
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 64 * 1024);
    pthread_t thread;
    auto call = [](void* p) -> void* {
        (*static_cast<const std::function<void()>*>(p))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, call, const_cast<std::function<void()>*>(&f)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

std::string written(const model::DesignTree& tree)
{
    std::string out;
    io::writeTreeText(tree, out);
    return out;
}

} // namespace

// 1 Pump
//   1.1 Motor
//     1.1.1 Bearing
// 2 Valve
TEST(TreeTextWrite, TabsForLevelsAndCrLfAfterEveryLine)
{
    model::DesignTree t;
    model::Node* pump = t.appendTopLevel("1 Pump");
    t.appendChild(t.appendChild(pump, "1.1 Motor"), "1.1.1 Bearing");
    t.appendTopLevel("2 Valve");
    const std::string expected = "1 Pump\r\n\t1.1 Motor\r\n\t\t1.1.1 Bearing\r\n2 Valve\r\n";
    EXPECT_EQ(written(t), expected);
    EXPECT_EQ(io::treeTextSize(t), expected.size());
    EXPECT_EQ(outline(io::readTreeText(expected)), "0:1 Pump|1:1.1 Motor|2:1.1.1 Bearing|0:2 Valve");
}

TEST(TreeTextWrite, EmptyTreeWritesNothingAndAppendsBehindExistingBytes)
{
    std::string out = "head";
    io::writeTreeText(model::DesignTree(), out);
    EXPECT_EQ(out, "head");
    model::DesignTree t;
    t.appendTopLevel("");
    io::writeTreeText(t, out);
    EXPECT_EQ(out, "head\r\n");
}

struct ReadCase {
    const char* name;
    std::string text;
    const char* outline;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class TreeTextRead : public testing::TestWithParam<ReadCase> {};

TEST_P(TreeTextRead, BuildsTheTreeTheLinesDescribe)
{
    EXPECT_EQ(outline(io::readTreeText(GetParam().text)), GetParam().outline);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Lines, TreeTextRead,
    testing::Values(
        ReadCase{"Empty", "", ""},
        ReadCase{"DeeperAndBackToTop", "A\r\n\tB\r\n\t\tC\r\nD\r\n", "0:A|1:B|2:C|0:D"},
        ReadCase{"FirstLineAlwaysTopLevel", "\t\tA\r\n\tB\r\n", "0:A|1:B"},
        ReadCase{"SpacesCountLikeTabs", "A\r\n B\r\n  C\r\n", "0:A|1:B|2:C"},
        ReadCase{"TabsAndSpacesMixed", "A\r\n\tB\r\n\t C\r\n \tD\r\n", "0:A|1:B|2:C|2:D"},
        ReadCase{"LoneLf", "A\n\tB\nC", "0:A|1:B|0:C"},
        ReadCase{"LoneCr", "A\r\tB\rC\r", "0:A|1:B|0:C"},
        ReadCase{"LfCrGivesAnEmptyLineAfterEach", "A\n\rB\n\r", "0:A|0:|0:B|0:"},
        ReadCase{"LfCrIndentedLineUnderTheEmptyNode", "A\n\r\tB\n\r", "0:A|0:|1:B|0:"},
        ReadCase{"CrLfCrEndsTwoLines", "A\r\n\rB", "0:A|0:|0:B"},
        ReadCase{"LastLineWithoutLineEnd", "A\r\nB", "0:A|0:B"},
        ReadCase{"EmptyLinesAreNodes", "A\r\n\r\nB\r\n", "0:A|0:|0:B"},
        ReadCase{"OnlyIndentationIsAnEmptyNode", "A\r\n\t\r\n \r\n\t\t\r\n", "0:A|1:|1:|2:"},
        ReadCase{"NulEndsTheTextButItsLineCounts", "A\r\n\tB\0C\r\nD\r\n"s, "0:A|1:B"},
        ReadCase{"NulFirstGivesNothing", "\0A\r\n"s, ""},
        ReadCase{"NulRightAfterALineEnd", "A\r\n\0\tB\r\n"s, "0:A"},
        ReadCase{"NulAfterCr", "A\r\0\r\nB"s, "0:A"},
        ReadCase{"NulAfterIndentation", "A\r\n\t\0B"s, "0:A|1:"},
        ReadCase{"LongLinesPastTheBlockScan", std::string(40, 'a') + "\r\n\t" + std::string(33, 'b') + "\n",
                 "0:aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa|1:bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"},
        ReadCase{"NulInsideALongLine", std::string(20, 'a') + '\0' + std::string(20, 'b'), "0:aaaaaaaaaaaaaaaaaaaa"},
        ReadCase{"ShallowsToTheMatchingAncestor", "A\r\n\tB\r\n\t\tC\r\n\t\t\tD\r\n\tE\r\n",
                 "0:A|1:B|2:C|3:D|1:E"},
        ReadCase{"IndentedTextIsNotKept", "y\r\n x\r\n", "0:y|1:x"},
        ReadCase{"HighBytesUnchanged", "\x80\xFF\xE9\r\n\t\x9D\r\n", "0:\x80\xFF\xE9|1:\x9D"}),
    [](const testing::TestParamInfo<ReadCase>& i) { return std::string(i.param.name); });

struct BadLevelCase {
    const char* name;
    std::string text;
    const char* message;
};
void PrintTo(const BadLevelCase& c, std::ostream* os) { *os << c.name; }

class TreeTextInvalidLevel : public testing::TestWithParam<BadLevelCase> {};

TEST_P(TreeTextInvalidLevel, RefusesTheWholeTextWithTheLineAndItsLevel)
{
    try {
        io::readTreeText(GetParam().text);
        FAIL() << "no error";
    } catch (const model::UserError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TreeTextInvalidLevel,
    testing::Values(
        BadLevelCase{"TwoDeeperAfterTop", "A\r\n\tB\r\n\t\tC\r\nD\r\n\t\tE\r\nF\r\n", "Invalid level (2) for item \"E\""},
        BadLevelCase{"FirstIndentedByOneThenThree", "\tA\r\n\t\t\tB\r\n", "Invalid level (3) for item \"B\""},
        BadLevelCase{"TwoSpaces", "A\r\n  B", "Invalid level (2) for item \"B\""},
        BadLevelCase{"ItemShownInUtf8", "A\r\n\t\tGr\xF6\xDF\x65 \x80", "Invalid level (2) for item \"Größe €\""}),
    [](const testing::TestParamInfo<BadLevelCase>& i) { return std::string(i.param.name); });

TEST(TreeTextRoundTrip, RandomTreesReadBackEqualAndWriteTheSameBytes)
{
    std::mt19937 rng(20240611);
    for (int round = 0; round < 20; ++round) {
        model::Design design;
        iotest::fillRandomDesign(design, rng, 1 + round * 37);
        const model::DesignTree& tree = design.tree(model::TreeId::DP);
        const std::string first = written(tree);
        const model::DesignTree back = io::readTreeText(first);
        ASSERT_EQ(outline(back), outline(tree)) << "round " << round;
        EXPECT_EQ(written(back), first);
    }
}

// A chain 5,000 deep (12.5 MB of tabs) read and written on a 64 KB stack, and
// a million-deep chain walked by the writer's size pass: nothing recurses.
TEST(TreeTextDepth, DeepChainsNeedNoCallStack)
{
    constexpr int kDepth = 5000;
    std::string text;
    for (int level = 0; level < kDepth; ++level)
        text += std::string(static_cast<std::size_t>(level), '\t') + "n\r\n";
    std::string again;
    int readSize = 0;
    onSmallStack([&] {
        const model::DesignTree tree = io::readTreeText(text);
        readSize = tree.size();
        io::writeTreeText(tree, again);
    });
    EXPECT_EQ(readSize, kDepth);
    EXPECT_EQ(again, text);

    model::DesignTree chain;
    model::Node* n = chain.appendTopLevel("x");
    for (int i = 1; i < 1000000; ++i)
        n = chain.appendChild(n, "x");
    std::size_t size = 0;
    onSmallStack([&] { size = io::treeTextSize(chain); });
    EXPECT_EQ(size, 999999ull * 1000000ull / 2 + 3ull * 1000000ull);
}
