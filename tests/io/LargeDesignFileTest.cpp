// Large design files are read in pieces on several threads. Whatever the
// bytes, the outcome must be the one reading each tree text front to back
// gives: the same trees, or the same first error.
#include "io/DesignFile.h"
#include "io/TreeText.h"
#include "IoTestSupport.h"
#include "model/UserError.h"

#include <gtest/gtest.h>

#include <random>

using namespace std::string_literals;

namespace {

constexpr int kLines = 9000; // about 180 KB a section: large enough to be cut and read in parallel

// Lines of random depth (never two levels deeper than the line before) with
// every kind of line end, so that a cut may fall behind any of them.
std::string treeText(unsigned seed, bool crLfOnly = false)
{
    std::mt19937 random(seed);
    static const char* kEnds[] = {"\r\n", "\n", "\r", "\n\r", "\r\n"};
    const int lines = kLines;
    std::string text;
    int level = 0;
    for (int i = 0; i < lines; ++i) {
        const unsigned dice = random() % 10;
        if (i == 0)
            level = 0;
        else if (dice < 3 && level < 6)
            ++level;
        else if (dice >= 7)
            level = dice == 9 ? 0 : std::max(0, level - 1);
        text.append(static_cast<std::size_t>(level), random() % 4 ? '\t' : ' ');
        text += "Line " + std::to_string(i) + " caf\xE9";
        const char* end = crLfOnly ? "\r\n" : kEnds[random() % 5];
        text += end;
        if (end == std::string_view("\n\r"))
            level = 0; // LF CR ends the line and leaves an empty top-level one

    }
    return text;
}

// The same text with `line` put in at about `fraction` of its length, at the start of a line.
std::string withLineAt(std::string text, double fraction, const std::string& line)
{
    const std::size_t at = text.find('\n', static_cast<std::size_t>(fraction * static_cast<double>(text.size())));
    return text.insert(at + 1, line);
}

// Reads the three tree texts one after the other on this thread alone.
std::string readFrontToBack(const std::array<std::string, 3>& texts)
{
    try {
        std::array<io::TreeLevels, 3> levels;
        std::string out;
        for (std::size_t i = 0; i < 3; ++i)
            out += iotest::outline(io::readTreeText(texts[i], levels[i])) + " / ";
        if (levels[1] != levels[0] || levels[2] != levels[0])
            return "The three trees in big.vok do not have the same shape";
        return out;
    } catch (const model::UserError& e) {
        return e.what();
    }
}

std::string readWhole(const std::function<io::DesignFileContents()>& read)
{
    try {
        const io::DesignFileContents c = read();
        std::string out;
        for (const auto& tree : c.trees)
            out += iotest::outline(tree) + " / ";
        return out;
    } catch (const model::UserError& e) {
        return e.what();
    }
}

struct LargeFile {
    const char* name;
    std::array<std::string, 3> texts;
    const char* expected; // a part of the outcome both readings must show
    bool cut = true;      // each section is cut in two at a top-level line near its middle
};

class LargeDesignFile : public testing::TestWithParam<LargeFile> {
protected:
    QTemporaryDir m_dir;
};

TEST_P(LargeDesignFile, ReadsAsFrontToBack)
{
    const auto& texts = GetParam().texts;
    const std::string bytes = iotest::fileOfThree(texts[0], texts[1], texts[2]);
    const std::string path = m_dir.filePath("big.vok").toStdString();
    iotest::writeRaw(path, bytes);
    const std::string expected = readFrontToBack(texts);
    ASSERT_NE(expected.find(GetParam().expected), std::string::npos) << expected.substr(0, 200);

    io::ReadReport memoryReport, diskReport;
    const std::string fromMemory = readWhole([&] { return io::parseDesignFile(bytes, "big.vok", &memoryReport); });
    const std::string fromDisk = readWhole([&] { return io::readDesignFile(path, &diskReport); });
    const bool cut = GetParam().cut; // else the case would not test what it says
    for (const io::ReadReport& report : {memoryReport, diskReport}) {
        EXPECT_TRUE(report.parallel);
        EXPECT_EQ(report.cut, (std::array{cut, cut, cut}));
        EXPECT_EQ(report.pieces, cut ? 6u : 3u);
        EXPECT_EQ(report.hugePieces, 0u);
    }
    EXPECT_TRUE(fromMemory == expected) << fromMemory.substr(0, 200);
    std::string diskExpected = expected;
    if (const auto at = diskExpected.find("big.vok"); at != std::string::npos)
        diskExpected.replace(at, 7, path);
    EXPECT_TRUE(fromDisk == diskExpected) << fromDisk.substr(0, 200);
}

const std::string kText = treeText(1);
const std::string kNulThenGarbage = withLineAt(kText, 0.2, "Last\0"s) + "Top\r\n\t\t\tBad\r\n";
const std::string kDeepAfterMiddle = withLineAt(kText, 0.8, "Top\r\n\t\t\tDeep\r\n");
const std::string kTwoErrors = withLineAt(kDeepAfterMiddle, 0.3, "Top\r\n\t\tEarly\r\n");
const std::string kOneRoot = "Root\r\n\t" + [] {
    // Every line one deeper: nothing is top-level but the root. Copied in one
    // pass: a tab put in at each line of the text in place costs a move of the
    // rest per line, which every run of io_tests paid at its start (a third
    // of a second each under AddressSanitizer's byte-wise memmove).
    std::string t;
    for (const char c : treeText(2, true)) {
        t += c;
        if (c == '\n')
            t += '\t';
    }
    return t;
}();

INSTANTIATE_TEST_SUITE_P(
    Files, LargeDesignFile,
    testing::Values(
        LargeFile{"EveryLineEnd", {kText, kText, kText}, "Line 8999 caf\xE9"},
        LargeFile{"NulInTheFirstHalfHidesTheErrorsBehindIt", {kNulThenGarbage, kNulThenGarbage, kNulThenGarbage},
                  "0:Last / "},
        LargeFile{"InvalidLevelInTheSecondHalf", {kText, kText, kDeepAfterMiddle},
                  "Invalid level (3) for item \"Deep\""},
        LargeFile{"TheEarlierOfTwoErrorsIsReported", {kText, kTwoErrors, kText},
                  "Invalid level (2) for item \"Early\""},
        LargeFile{"FrErrorBeforePvError", {kDeepAfterMiddle, kText, kTwoErrors},
                  "Invalid level (3) for item \"Deep\""},
        LargeFile{"ShapesDifferInTheSecondHalf",
                  {kText, withLineAt(kText, 0.9, "Extra\r\n"), withLineAt(kText, 0.9, "Extra\r\n")},
                  "do not have the same shape"},
        LargeFile{"NothingTopLevelAfterTheMiddle", {kOneRoot, kOneRoot, kOneRoot}, "0:Root|1:Line 0", false}),
    [](const testing::TestParamInfo<LargeFile>& i) { return std::string(i.param.name); });

struct Cut {
    const char* name;
    std::string text;
    std::size_t from;
    std::size_t expected;
};

class TreeTextCut : public testing::TestWithParam<Cut> {};

TEST_P(TreeTextCut, FallsOnTheStartOfATopLevelLine)
{
    EXPECT_EQ(io::topLevelLineFrom(GetParam().text, GetParam().from), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TreeTextCut,
    testing::Values(Cut{"BehindCrLf", "A\r\n\tB\r\nC\r\n", 0, 7}, Cut{"BehindLf", "A\nB", 0, 2},
                    Cut{"NotBehindCrAlone", "A\rB\nC", 0, 4}, Cut{"NotAtTheVeryStart", "A\r\nB", 1, 3},
                    Cut{"NotAtAnIndentedLine", "A\n\tB\n C\nD", 0, 8},
                    Cut{"NotAtAnEmptyLineOrLfCr", "A\n\n\rB\nC", 0, 6},
                    Cut{"NotAtANul", "A\n\0B\nC"s, 0, 5}, Cut{"NoneAfterTheLastLf", "A\nB\n", 2, std::string::npos},
                    Cut{"NoneInOneLine", "ABC", 0, std::string::npos}),
    [](const testing::TestParamInfo<Cut>& i) { return std::string(i.param.name); });

} // namespace
