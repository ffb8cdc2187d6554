// Settings file: integer values, names without letter case, section names,
// and writes that change one value and keep every other byte.
#include "io/SettingsFile.h"
#include "IoTestSupport.h"
#include "model/UserError.h"

#include <gtest/gtest.h>

namespace {

class SettingsFileTest : public testing::Test {
protected:
    std::string pathOf(const char* name) const { return m_dir.filePath(name).toStdString(); }
    io::SettingsFile fileWith(const std::string& bytes)
    {
        iotest::writeRaw(pathOf("Formats.ini"), bytes);
        return io::SettingsFile(pathOf("Formats.ini"));
    }
    std::string bytes() const { return iotest::readAll(pathOf("Formats.ini")); }
    QTemporaryDir m_dir;
};

struct ValueCase {
    const char* name;
    const char* value;
    int expected; // 480 is the default
};

class SettingsValue : public SettingsFileTest, public testing::WithParamInterface<ValueCase> {};

TEST_P(SettingsValue, ReadsDecimalOrHexElseTheDefault)
{
    io::SettingsFile f = fileWith(std::string("[Settings]\r\nWindowHeight=") + GetParam().value + "\r\n");
    EXPECT_EQ(f.readInteger("Settings", "WindowHeight", 480), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsValue,
    testing::Values(ValueCase{"Decimal", "601", 601}, ValueCase{"Negative", "-4", -4},
                    ValueCase{"PlusSign", "+12", 12}, ValueCase{"SpacesAround", "  42  ", 42},
                    ValueCase{"Hex", "0x300", 768}, ValueCase{"HexUpperX", "0X1f", 31},
                    ValueCase{"Letters", "abc", 480}, ValueCase{"Empty", "", 480},
                    ValueCase{"TrailingLetters", "12abc", 480}, ValueCase{"BareHexPrefix", "0x", 480},
                    ValueCase{"SignedHex", "0x-5", 480}, ValueCase{"TwoSigns", "+-3", 480},
                    ValueCase{"TooLargeForInt", "99999999999", 480}, ValueCase{"HexTooLarge", "0x100000000", 480},
                    ValueCase{"Fraction", "3.5", 480}),
    [](const testing::TestParamInfo<ValueCase>& i) { return std::string(i.param.name); });

TEST_F(SettingsFileTest, NamesCompareWithoutLetterCaseAndKeysBelongToTheirSection)
{
    io::SettingsFile f = fileWith("WindowTop=1\n[Print]\nWindowTop=2\n[settings]\nwindowtop = 3\n; WindowLeft=9\n");
    EXPECT_EQ(f.readInteger("Settings", "WindowTop", 50), 3);
    EXPECT_EQ(f.readInteger("SETTINGS", "WINDOWTOP", 50), 3);
    EXPECT_EQ(f.readInteger("Print", "WindowTop", 50), 2);
    EXPECT_EQ(f.readInteger("Settings", "WindowLeft", 50), 50); // a comment is no key
    EXPECT_EQ(f.readInteger("Other", "WindowTop", 50), 50);
}

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndNoSections)
{
    io::SettingsFile f(pathOf("Formats.ini"));
    EXPECT_EQ(f.readInteger("Settings", "WindowWidth", 640), 640);
    EXPECT_TRUE(f.sectionNames().empty());
}

TEST_F(SettingsFileTest, SectionNamesInFileOrderEachOnce)
{
    io::SettingsFile f = fileWith("; styles\r\n[Settings]\r\nWindowTop=1\r\n[ Print ]\r\n[Draft]\r\n[print]\r\n[]\r\n");
    EXPECT_EQ(f.sectionNames(), (std::vector<std::string>{"Settings", "Print", "Draft"}));
}

TEST_F(SettingsFileTest, SectionNamesBeyond16KBAreDropped)
{
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "[Style" + std::to_string(10000 + i) + "]\n"; // 11 bytes with the terminator
    EXPECT_EQ(fileWith(text).sectionNames().size(), 1489u);   // (16384 - 1) / 11
}

TEST_F(SettingsFileTest, FirstCloseCreatesTheFile)
{
    io::SettingsFile f(pathOf("Formats.ini"));
    f.writeInteger("Settings", "WindowTop", 112);
    f.writeInteger("Settings", "WindowLeft", -4);
    f.writeInteger("Settings", "WindowWidth", 684);
    f.writeInteger("Settings", "WindowHeight", 601);
    EXPECT_EQ(bytes(), "[Settings]\nWindowTop=112\nWindowLeft=-4\nWindowWidth=684\nWindowHeight=601\n");
    EXPECT_EQ(f.readInteger("Settings", "WindowLeft", 50), -4);
}

TEST_F(SettingsFileTest, ReplacesInPlaceAndKeepsEveryOtherByte)
{
    io::SettingsFile f = fileWith("; written by hand\r\n[Print]\r\nWindowTop=7\r\n\r\n"
                                  "[settings]\r\n  windowtop = 5  \r\nWindowLeft=0x10\r\n# end\r\n");
    f.writeInteger("Settings", "WindowTop", 112);
    EXPECT_EQ(bytes(), "; written by hand\r\n[Print]\r\nWindowTop=7\r\n\r\n"
                       "[settings]\r\n  windowtop = 112  \r\nWindowLeft=0x10\r\n# end\r\n");
}

TEST_F(SettingsFileTest, NewKeyGoesAtTheEndOfItsSection)
{
    io::SettingsFile f = fileWith("[Settings]\r\nWindowTop=1\r\n\r\n[Print]\r\nx=1\r\n");
    f.writeInteger("Settings", "WindowWidth", 684);
    EXPECT_EQ(bytes(), "[Settings]\r\nWindowTop=1\r\nWindowWidth=684\r\n\r\n[Print]\r\nx=1\r\n");
}

TEST_F(SettingsFileTest, NewKeyAfterALastLineWithoutLineEnd)
{
    io::SettingsFile f = fileWith("[Settings]\nWindowTop=1");
    f.writeInteger("Settings", "WindowLeft", 2);
    EXPECT_EQ(bytes(), "[Settings]\nWindowTop=1\nWindowLeft=2");
}

// A lone CR ends a line as LF and CR LF do: a key written after a last line
// ending in CR goes on a line of its own, and both values read back.
struct LineEndCase {
    const char* name;
    std::string before;
    std::string after; // with WindowLeft=2 written
};

class SettingsLineEnds : public SettingsFileTest, public testing::WithParamInterface<LineEndCase> {};

TEST_P(SettingsLineEnds, NewKeyGoesOnALineOfItsOwn)
{
    io::SettingsFile f = fileWith(GetParam().before);
    f.writeInteger("Settings", "WindowLeft", 2);
    EXPECT_EQ(bytes(), GetParam().after);
    EXPECT_EQ(f.readInteger("Settings", "WindowTop", 50), 1);
    EXPECT_EQ(f.readInteger("Settings", "WindowLeft", 50), 2);
    EXPECT_EQ(f.readInteger("Print", "x", 50), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, SettingsLineEnds,
    testing::Values(LineEndCase{"LastLineEndsInALoneCr", "[Print]\r\nx=5\r\n[Settings]\r\nWindowTop=1\r",
                                "[Print]\r\nx=5\r\n[Settings]\r\nWindowTop=1\rWindowLeft=2\r\n"},
                    LineEndCase{"CrOnly", "[Settings]\rWindowTop=1\r[Print]\rx=5\r",
                                "[Settings]\rWindowTop=1\rWindowLeft=2\r[Print]\rx=5\r"},
                    LineEndCase{"CrOnlyWithoutLastLineEnd", "[Print]\rx=5\r[Settings]\rWindowTop=1",
                                "[Print]\rx=5\r[Settings]\rWindowTop=1\rWindowLeft=2"},
                    LineEndCase{"LfCrIsTwoLineEnds", "[Settings]\n\rWindowTop=1\n\r[Print]\nx=5",
                                "[Settings]\n\rWindowTop=1\nWindowLeft=2\n\r[Print]\nx=5"}),
    [](const testing::TestParamInfo<LineEndCase>& i) { return std::string(i.param.name); });

TEST_F(SettingsFileTest, NewSectionAfterALastLineEndingInALoneCr)
{
    io::SettingsFile f = fileWith("[Print]\r\nx=1\r");
    f.writeInteger("Settings", "WindowTop", 112);
    EXPECT_EQ(bytes(), "[Print]\r\nx=1\r[Settings]\r\nWindowTop=112\r\n");
    EXPECT_EQ(f.readInteger("Print", "x", 50), 1);
    EXPECT_EQ(f.readInteger("Settings", "WindowTop", 50), 112);
}

TEST_F(SettingsFileTest, NewSectionGoesAtTheEndOfTheFile)
{
    io::SettingsFile f = fileWith("; only a comment\r\n[Print]\r\nx=1");
    f.writeInteger("Settings", "WindowTop", 112);
    EXPECT_EQ(bytes(), "; only a comment\r\n[Print]\r\nx=1\r\n[Settings]\r\nWindowTop=112\r\n");
}

TEST_F(SettingsFileTest, RelativePathFollowsTheCurrentDirectory)
{
    QTemporaryDir other;
    const QString before = QDir::currentPath();
    io::SettingsFile f; // "./Formats.ini"
    QDir::setCurrent(m_dir.path());
    f.writeInteger("Settings", "WindowTop", 1);
    QDir::setCurrent(other.path());
    f.writeInteger("Settings", "WindowTop", 2);
    const int readInOther = f.readInteger("Settings", "WindowTop", 50);
    QDir::setCurrent(before);
    EXPECT_EQ(readInOther, 2);
    EXPECT_EQ(bytes(), "[Settings]\nWindowTop=1\n");
}

TEST_F(SettingsFileTest, FailedWritesSayUnableToWriteAndChangeNothing)
{
    const std::string original = "; keep\r\n[Settings]\r\nWindowTop=5\r\n";
    io::SettingsFile f = fileWith(original);
    auto message = [](const std::function<void()>& write) -> std::string {
        try {
            write();
        } catch (const model::UserError& e) {
            return e.what();
        }
        return "<no error>";
    };
    iotest::FullDiskWriter full(10);
    EXPECT_EQ(message([&] { f.writeInteger("Settings", "WindowTop", 112, full); }),
              "Unable to write to " + f.path());
    EXPECT_EQ(bytes(), original);

    io::SettingsFile noFolder(pathOf("missing/Formats.ini"));
    EXPECT_EQ(message([&] { noFolder.writeInteger("Settings", "WindowTop", 1); }),
              "Unable to write to " + noFolder.path());

    ASSERT_TRUE(QDir(m_dir.path()).mkdir("dir.ini"));
    io::SettingsFile folder(pathOf("dir.ini"));
    EXPECT_EQ(message([&] { folder.writeInteger("Settings", "WindowTop", 1); }),
              "Unable to write to " + folder.path());
    EXPECT_EQ(iotest::entries(m_dir), (QStringList{"Formats.ini", "dir.ini"}));
}

} // namespace
