// Design file: the byte layout, round trips, the reading rules for odd but
// valid files, and every failure with its message and an untouched disk.
#include "io/DesignFile.h"
#include "io/TreeText.h"
#include "IoTestSupport.h"
#include "model/UserError.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <functional>

using iotest::fileOfThree;
using iotest::fileWith;
using iotest::le32;
using iotest::outline;
using model::TreeId;
using Styles = std::array<model::LevelStyle, model::kLevelCount>;

namespace {

std::string outlines(const model::ComparedTrees& trees)
{
    return outline(trees[0]) + " / " + outline(trees[1]) + " / " + outline(trees[2]);
}

Styles stylesOf(const model::HeaderRecord& h)
{
    Styles s;
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = model::styleOf(h.levels[i]);
    return s;
}

// The level styles as the options dialog would leave them.
void setStyles(model::Design& design, const Styles& styles)
{
    for (int level = 0; level < model::kLevelCount; ++level)
        design.look().setStyle(level, styles[static_cast<std::size_t>(level)]);
}

// What the window does after a successful open: swap the trees and titles in.
void adopt(model::Design& design, io::DesignFileContents& c)
{
    design.replaceTrees(std::move(c.trees));
    for (TreeId id : model::kAllTrees)
        design.setTitle(id, c.titles[static_cast<std::size_t>(model::index(id))]);
}

std::string messageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const model::UserError& e) {
        return e.what();
    }
    return "<no error>";
}

class DesignFileDisk : public testing::Test {
protected:
    std::string pathOf(const char* name) const { return m_dir.filePath(name).toStdString(); }
    QTemporaryDir m_dir;
};

} // namespace

// FR                 DP                  PV
// 1 Pump             1 Shaft             1 Plant
//   1.1 Motor          1.1 Café            (empty)
TEST_F(DesignFileDisk, WrittenBytesMatchTheLayoutByHand)
{
    model::Design design;
    design.tree(TreeId::FR).appendChild(design.tree(TreeId::FR).appendTopLevel("1 Pump"), "1.1 Motor");
    design.tree(TreeId::DP).appendChild(design.tree(TreeId::DP).appendTopLevel("1 Shaft"), "1.1 Caf\xE9");
    design.tree(TreeId::PV).appendChild(design.tree(TreeId::PV).appendTopLevel("1 Plant"), "");
    design.setTitle(TreeId::FR, "Functional Requirements");
    design.setTitle(TreeId::DP, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"); // 32: no NUL
    design.setTitle(TreeId::PV, "PV");

    model::HeaderRecord loaded;
    model::setFieldText(loaded.titles[0], "Functional Requirements and more"); // an earlier, longer title
    loaded.reserved = {3, 0x123456, {'R', 'e', 's'}, 9, 2};
    design.look().opened(loaded);
    design.look().takeLoadedLook(); // the current header takes the loaded titles and reserved record
    Styles fonts;
    fonts.fill({0, 0, "Tahoma", 8, 0});
    fonts[0].style = model::kBold;
    fonts[2] = {0, 0x0000FF, std::string(31, 'N'), 8, 0};
    fonts[10] = {238, model::kWindowTextColour, "Arial", -12, 0xF5};

    auto level = [](std::uint8_t charset, std::uint32_t colour, std::string name32, std::int32_t size,
                    std::uint8_t style) {
        return std::string(1, static_cast<char>(charset)) + std::string(3, '\0') + le32(colour) + name32 +
               le32(static_cast<std::uint32_t>(size)) + std::string(1, static_cast<char>(style)) +
               std::string(3, '\0');
    };
    const std::string tahoma = "Tahoma" + std::string(26, '\0');
    std::string expected = le32(314159) + "Functional Requirements" + '\0' + "and more" +
                           "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345" + "PV" + std::string(30, '\0') +
                           le32(700) + le32(720) + le32(740) + le32(20) + le32(20) + le32(12) +
                           level(3, 0x123456, "Res" + std::string(29, '\0'), 9, 2) +
                           level(0, 0, tahoma, 8, 1) + level(0, 0, tahoma, 8, 0) +
                           level(0, 0xFF, std::string(31, 'N') + '\0', 8, 0);
    for (int i = 3; i < 10; ++i)
        expected += level(0, 0, tahoma, 8, 0);
    expected += level(238, 0x80000008, "Arial" + std::string(27, '\0'), -12, 0xF5);
    ASSERT_EQ(expected.size(), 700u);
    expected += "1 Pump\r\n\t1.1 Motor\r\n1 Shaft\r\n\t1.1 Caf\xE9\r\n1 Plant\r\n\t\r\n";

    setStyles(design, fonts);
    io::writeDesignFile(pathOf("pump.vok"), design);
    EXPECT_EQ(iotest::readAll(pathOf("pump.vok")), expected);
    EXPECT_EQ(expected.substr(0, 4), std::string("\x2F\xCB\x04\x00", 4));
}

TEST_F(DesignFileDisk, RandomDesignsReadBackEqualAndWriteTheSameBytesAgain)
{
    std::mt19937 rng(314159);
    for (int round = 0; round < 12; ++round) {
        model::Design design;
        iotest::fillRandomDesign(design, rng, round * round * 20);
        for (TreeId id : model::kAllTrees) {
            std::string title = iotest::randomText(rng, 32);
            std::replace(title.begin(), title.end(), '\0', 'z');
            design.setTitle(id, round % 3 == 0 ? std::string(32, static_cast<char>(0xE0 + round)) : title);
        }
        Styles fonts;
        for (auto& f : fonts)
            f = {static_cast<std::uint8_t>(rng()), static_cast<std::uint32_t>(rng()),
                 round % 2 ? std::string(31, static_cast<char>(0xC0 + round)) : iotest::randomText(rng, 31),
                 static_cast<std::int32_t>(rng()), static_cast<std::uint8_t>(rng())};
        setStyles(design, fonts);
        io::writeDesignFile(pathOf("a.vok"), design);
        const model::HeaderRecord& current = design.look().currentHeader();

        io::DesignFileContents back = io::readDesignFile(pathOf("a.vok"));
        for (TreeId id : model::kAllTrees) {
            const auto i = static_cast<std::size_t>(model::index(id));
            ASSERT_EQ(outline(back.trees[i]), outline(design.tree(id))) << "round " << round;
            EXPECT_EQ(back.titles[i], design.title(id));
        }
        EXPECT_EQ(back.header, current);
        EXPECT_EQ(stylesOf(back.header), fonts);

        model::Design reopened;
        adopt(reopened, back);
        reopened.look().opened(back.header); // the loaded level records copied into the current header
        setStyles(reopened, stylesOf(back.header));
        io::writeDesignFile(pathOf("b.vok"), reopened);
        EXPECT_EQ(iotest::readAll(pathOf("b.vok")), iotest::readAll(pathOf("a.vok"))) << "round " << round;
    }
}

TEST(DesignFileLayout, EmptyDesignIsTheHeaderAlone)
{
    model::Design design;
    const std::string bytes = io::encodeDesignFile(design);
    const model::HeaderRecord current = io::decodeHeader(bytes);
    ASSERT_EQ(bytes.size(), 700u);
    EXPECT_EQ(current.starts, (std::array<std::uint32_t, 3>{700, 700, 700}));
    EXPECT_EQ(current.lengths, (std::array<std::uint32_t, 3>{0, 0, 0}));
    EXPECT_EQ(outlines(io::parseDesignFile(bytes, "e.vok").trees), " /  / ");
}

TEST(DesignFileLayout, OnePumpRowGivesAnEightByteSection)
{
    model::Design design;
    for (TreeId id : model::kAllTrees)
        design.tree(id).appendTopLevel("1 Pump");
    const std::string bytes = io::encodeDesignFile(design);
    const model::HeaderRecord current = io::decodeHeader(bytes);
    EXPECT_EQ(current.starts, (std::array<std::uint32_t, 3>{700, 708, 716}));
    EXPECT_EQ(current.lengths, (std::array<std::uint32_t, 3>{8, 8, 8}));
    EXPECT_EQ(bytes.substr(700, 8), "1 Pump\r\n");
    EXPECT_EQ(bytes.size(), 724u);
}

// A file opened and saved again keeps its level records byte for byte, the
// meaningless style bits 4 to 7 included; bytes behind a NUL are not kept.
TEST(DesignFileLayout, LevelRecordsSurviveOpenAndSave)
{
    model::HeaderRecord h;
    h.magic = model::kDesignMagic;
    h.starts = {700, 700, 700};
    for (std::size_t i = 0; i < h.levels.size(); ++i) {
        h.levels[i] = {static_cast<std::uint8_t>(250 + i % 6), 0x80000000u + static_cast<std::uint32_t>(i), {},
                       -static_cast<std::int32_t>(i), static_cast<std::uint8_t>(0xF0 | i)};
        model::setFieldText(h.levels[i].name, std::string(i * 3, static_cast<char>('a' + i)), 31);
    }
    const std::string original = io::encodeHeader(h);
    io::DesignFileContents c = io::parseDesignFile(original, "x.vok");
    model::Design design;
    adopt(design, c);
    setStyles(design, stylesOf(c.header)); // over the current header of a program that never saved
    const std::string saved = io::encodeDesignFile(design);
    EXPECT_EQ(saved.substr(172), original.substr(172));
}

TEST(DesignFileLayout, LongerFaceNameIsStoredCutTo31WithItsNul)
{
    model::Design design;
    Styles fonts;
    fonts[7].name = std::string(40, 'L');
    setStyles(design, fonts);
    const std::string bytes = io::encodeDesignFile(design);
    EXPECT_EQ(bytes.substr(172 + 7 * 48 + 8, 32), std::string(31, 'L') + '\0');
}

TEST(DesignFileLayout, FaceNameWithoutNulGivesItsFirst31Bytes)
{
    model::HeaderRecord h;
    h.magic = model::kDesignMagic;
    h.levels[4].name.fill('F');
    model::setFieldText(h.titles[1], "Tail kept raw");
    model::setFieldText(h.titles[1], "Tail");
    const io::DesignFileContents c = io::parseDesignFile(io::encodeHeader(h), "x.vok");
    EXPECT_EQ(model::styleOf(c.header.levels[4]).name, std::string(31, 'F'));
    EXPECT_EQ(c.titles[1], "Tail");
    EXPECT_EQ(c.header.titles[1], h.titles[1]); // the loaded header keeps the raw field
}

struct OddFile {
    const char* name;
    std::string bytes;
    const char* outlines;
};

class DesignFileOddButValid : public DesignFileDisk, public testing::WithParamInterface<OddFile> {};

TEST_P(DesignFileOddButValid, ReadsEachSectionByItsOwnStartAndLength)
{
    EXPECT_EQ(outlines(io::parseDesignFile(GetParam().bytes, "odd.vok").trees), GetParam().outlines);
    iotest::writeRaw(pathOf("odd.vok"), GetParam().bytes);
    EXPECT_EQ(outlines(io::readDesignFile(pathOf("odd.vok")).trees), GetParam().outlines);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Files, DesignFileOddButValid,
    testing::Values(
        OddFile{"FrStartNotConsulted", fileWith({5000, 700, 700}, {3, 3, 3}, "A\r\n"), "0:A / 0:A / 0:A"},
        OddFile{"SectionsOverlap", fileWith({700, 703, 700}, {7, 8, 7}, "A\r\n\tB\r\n\tC\r\n"),
                "0:A|1:B / 0:B|1:C / 0:A|1:B"},
        OddFile{"SectionsReordered", fileWith({700, 716, 708}, {8, 6, 8}, "F\r\n\tFF\r\nP\r\n\tPP\r\nD\r\n\tDD"),
                "0:F|1:FF / 0:D|1:DD / 0:P|1:PP"},
        OddFile{"EmptySectionsPointAnywhere", fileWith({0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}, {0, 0, 0}, ""),
                " /  / "},
        OddFile{"NulInsideASection", fileOfThree("A\r\n\tB\0junk\r\nC\r\n"s, "A\r\n\tB", "A\r\n\tB\r\n"),
                "0:A|1:B / 0:A|1:B / 0:A|1:B"},
        OddFile{"LfCrLineEnds", fileOfThree("A\n\r\tB\n\r", "A\n\r\tB\n\r", "A\n\r\tB\n\r"),
                "0:A|0:|1:B|0: / 0:A|0:|1:B|0: / 0:A|0:|1:B|0:"},
        OddFile{"BytesAfterTheLastSection", fileOfThree("A", "B", "C") + "trailing", "0:A / 0:B / 0:C"}),
    [](const testing::TestParamInfo<OddFile>& i) { return std::string(i.param.name); });

struct BadFile {
    const char* name;
    std::string bytes;
    const char* message; // "%s" stands for the path
};

class DesignFileRefused : public DesignFileDisk, public testing::WithParamInterface<BadFile> {};

TEST_P(DesignFileRefused, ThrowsTheMessageAndReturnsNothing)
{
    const std::string path = pathOf("bad.vok");
    iotest::writeRaw(path, GetParam().bytes);
    std::string expected = GetParam().message;
    if (const auto at = expected.find("%s"); at != std::string::npos)
        expected.replace(at, 2, path);
    EXPECT_EQ(messageOf([&] { io::readDesignFile(path); }), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DesignFileRefused,
    testing::Values(
        BadFile{"EmptyFile", "", "%s is not a design file"},
        BadFile{"ShorterThanTheMagic", "\x2F\xCB\x04", "%s is not a design file"},
        BadFile{"WrongMagic", le32(314158) + std::string(696, '\0'), "%s is not a design file"},
        BadFile{"HeaderCutShort", le32(314159) + std::string(100, '\0'), "Stream read error"},
        BadFile{"FrPastTheEnd", fileWith({700, 700, 700}, {100, 0, 0}, "A\r\n"), "Stream read error"},
        BadFile{"StartPlusLengthWrapsIn32Bits", fileOfThree("A", "A", "A").replace(104, 8, le32(0xFFFFFFFF) + le32(700)),
                "Stream read error"},
        BadFile{"InvalidLevelInDp", fileOfThree("A\r\nB\r\nC", "A\r\n\t\tB\r\nC", "A\r\nB\r\nC"),
                "Invalid level (2) for item \"B\""},
        BadFile{"ShapesDifferAtTheSameSize", fileOfThree("A\r\n\tB", "A\r\nB", "A\r\n\tB"),
                "The three trees in %s do not have the same shape"},
        BadFile{"PvLonger", fileOfThree("A", "A", "A\r\nB"), "The three trees in %s do not have the same shape"},
        BadFile{"DpShorter", fileOfThree("A\r\n\tB", "A", "A\r\n\tB"),
                "The three trees in %s do not have the same shape"}),
    [](const testing::TestParamInfo<BadFile>& i) { return std::string(i.param.name); });

TEST_F(DesignFileDisk, UnreadablePathsCannotBeOpened)
{
    EXPECT_EQ(messageOf([&] { io::readDesignFile(pathOf("missing.vok")); }),
              "Cannot open file " + pathOf("missing.vok"));
    EXPECT_EQ(messageOf([&] { io::readDesignFile(m_dir.path().toStdString()); }),
              "Cannot open file " + m_dir.path().toStdString());
}

// Saving over an existing file: whatever fails, the old bytes stay and no
// temporary file is left behind.
class DesignFileSaveFails : public DesignFileDisk {
protected:
    void SetUp() override
    {
        for (TreeId id : model::kAllTrees)
            for (int i = 0; i < 300; ++i)
                m_design.tree(id).appendTopLevel("1 Pump flow rate " + std::to_string(i));
        iotest::writeRaw(pathOf("old.vok"), "old bytes");
    }
    void expectUntouched()
    {
        EXPECT_EQ(iotest::readAll(pathOf("old.vok")), "old bytes");
        EXPECT_EQ(iotest::entries(m_dir), QStringList{"old.vok"});
    }
    model::Design m_design;
};

TEST_F(DesignFileSaveFails, FullDiskMidway)
{
    iotest::FullDiskWriter writer(1000);
    EXPECT_EQ(messageOf([&] { io::writeDesignFile(pathOf("old.vok"), m_design, writer); }),
              "Stream write error");
    EXPECT_TRUE(writer.cancelled());
    expectUntouched();
    EXPECT_EQ(m_design.look().currentHeader().magic, model::kDesignMagic); // the current header is filled all the same
}

TEST_F(DesignFileSaveFails, DeviceStopsTakingBytes)
{
    iotest::FullDiskWriter writer(4096, 0);
    EXPECT_EQ(messageOf([&] { io::writeDesignFile(pathOf("old.vok"), m_design, writer); }),
              "Stream write error");
    expectUntouched();
}

TEST_F(DesignFileSaveFails, CommitFails)
{
    iotest::FullDiskWriter writer(1 << 30, -1, true);
    EXPECT_EQ(messageOf([&] { io::writeDesignFile(pathOf("old.vok"), m_design, writer); }),
              "Stream write error");
    expectUntouched();
}

TEST_F(DesignFileSaveFails, FolderDoesNotExist)
{
    const std::string path = pathOf("no/such/folder/pump.vok");
    EXPECT_EQ(messageOf([&] { io::writeDesignFile(path, m_design); }), "Cannot create file " + path);
    expectUntouched();
}

TEST_F(DesignFileSaveFails, PathIsAFolder)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.vok"));
    const std::string path = pathOf("folder.vok");
    EXPECT_EQ(messageOf([&] { io::writeDesignFile(path, m_design); }), "Cannot create file " + path);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(path)).isDir());
    EXPECT_EQ(iotest::entries(m_dir), (QStringList{"folder.vok", "old.vok"}));
}

TEST_F(DesignFileSaveFails, ReplacingWorksWhenNothingFails)
{
    io::writeDesignFile(pathOf("old.vok"), m_design);
    EXPECT_EQ(iotest::readAll(pathOf("old.vok")).substr(0, 4), "\x2F\xCB\x04\x00"s);
    EXPECT_EQ(iotest::entries(m_dir), QStringList{"old.vok"});
}
