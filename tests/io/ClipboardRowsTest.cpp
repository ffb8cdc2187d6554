// What the clipboard carries: our own rows format (the three subtrees
// exactly with their matrices, checked when read, and the older format
// without them), the plain text a copy gives an editor, and the rows plain
// text from elsewhere pastes as.

#include "io/PlainTextRows.h"
#include "io/RowsFormat.h"
#include "model/Cp1252.h"
#include "model/Design.h"
#include "model/UserError.h"
#include "IoTestSupport.h"

#include <QChar>
#include <functional>
#include <QString>
#include <gtest/gtest.h>

using model::CopiedRows;
using model::TreeId;

namespace {

// "0:1 Pump|1:1.1 Motor": the levels and the texts of one tree.
std::string outlineOf(const CopiedRows& rows, TreeId id = TreeId::FR)
{
    std::string out;
    for (std::size_t i = 0; i < rows.size(); ++i)
        out += (i ? "|" : "") + std::to_string(rows.levels[i]) + ":" + rows.textsOf(id)[i];
    return out;
}

CopiedRows parsed(const char* utf8, TreeId into = TreeId::FR)
{
    return io::rowsFromPlainText(QString::fromUtf8(utf8), into);
}

// 1 Pump           (texts differ per tree; digits, a tab inside a label
//   1.1 3 seals     and bytes above 0x7F must come back exactly)
//     1.1.1 Œil
//   1.2 Motor
CopiedRows sampleRows()
{
    CopiedRows rows;
    rows.append(0, {"1 Pump", "1 Housing", "1 Flow"});
    rows.append(1, {"1.1 3 seals", "1.1 \xC9tanch\xE9it\xE9", "1.1 a\tb"});
    rows.append(2, {"1.1.1 \x8C" "il", "", "1.1.1 \x80 5"});
    rows.append(1, {"1.2 Motor", "1.2 Shaft", "1.2 Speed"});
    return rows;
}

// The sample with a matrix over Pump's two children: one record of two
// cells, the last 40 bytes of its encoding.
CopiedRows sampleWithMatrix()
{
    CopiedRows rows = sampleRows();
    rows.matrices.push_back({0, model::MatrixKind::FrDp, {{0, 1, model::CellValue::X}, {1, 0, model::CellValue::O}}});
    return rows;
}
constexpr std::size_t kRecordBytes = 40;

// --- the rows format ------------------------------------------------------------

TEST(RowsFormat, CopiedSubtreesPasteIntoAnotherDesignExactly)
{
    model::Design from;
    for (TreeId id : model::kAllTrees) {
        model::DesignTree& t = from.tree(id);
        const CopiedRows sample = sampleRows();
        const std::vector<model::Node*> tops = t.createDetachedRows(sample.levels, sample.textsOf(id));
        t.insertSubtree(t.root(), 0, tops.front());
        t.appendTopLevel("2 Other");
    }
    const CopiedRows copied = model::copySubtree(from, 0);
    const std::string bytes = io::encodeRows(copied);

    model::Design to;
    to.addFirstRow();
    const int row = to.paste(0, io::decodeRows(bytes), model::PastePlace::NextSiblings);
    ASSERT_EQ(row, 1);
    // Pasted as the second top-level row: the same subtrees under number 2.
    const CopiedRows pasted = model::copySubtree(to, row);
    EXPECT_EQ(pasted.levels, copied.levels);
    EXPECT_EQ(outlineOf(pasted, TreeId::DP), "0:2 Housing|1:2.1 \xC9tanch\xE9it\xE9|2:2.1.1 |1:2.2 Shaft");
    EXPECT_EQ(outlineOf(pasted, TreeId::PV), "0:2 Flow|1:2.1 a\tb|2:2.1.1 \x80 5|1:2.2 Speed");
    EXPECT_EQ(outlineOf(pasted, TreeId::FR), "0:2 Pump|1:2.1 3 seals|2:2.1.1 \x8C" "il|1:2.2 Motor");
}

TEST(RowsFormat, DecodesWhatItEncodedByteForByte)
{
    const CopiedRows rows = sampleWithMatrix();
    const std::string bytes = io::encodeRows(rows);
    EXPECT_EQ(bytes.substr(4, 4), iotest::le32(2));
    const CopiedRows back = io::decodeRows(bytes);
    EXPECT_EQ(back.levels, rows.levels);
    EXPECT_EQ(back.texts, rows.texts);
    EXPECT_EQ(back.matrices, rows.matrices);
    EXPECT_EQ(io::encodeRows(back), bytes);
}

// Ranges travel as version 3, behind the matrix records; a range record
// whose values a design cannot hold, or in a version-2 stream, is refused.
TEST(RowsFormat, RangesTravelBehindTheMatricesAndComeBackExactly)
{
    CopiedRows rows = sampleWithMatrix();
    rows.ranges.push_back({0, {{true, true, 0, 12, "l/min"}, {model::SystemKind::Uniform, 1, 11}}});
    rows.ranges.push_back({3, {{false, true, 0, 45, "°" "C"}, {model::SystemKind::Normal, 40, 3}}});
    const std::string bytes = io::encodeRows(rows);
    EXPECT_EQ(bytes.substr(4, 4), iotest::le32(3));
    const CopiedRows back = io::decodeRows(bytes);
    EXPECT_EQ(back.matrices, rows.matrices);
    EXPECT_EQ(back.ranges, rows.ranges);
    EXPECT_EQ(io::encodeRows(back), bytes);

    // The last record: 8 head, then 36 fields and "°C"; sigma is its last 8 bytes before the unit.
    std::string zeroSigma = bytes;
    zeroSigma.replace(zeroSigma.size() - 2 - 8, 8, std::string(8, '\0'));
    EXPECT_THROW(io::decodeRows(zeroSigma), model::UserError);
    std::string olderVersion = bytes;
    olderVersion.replace(4, 4, iotest::le32(2));
    EXPECT_THROW(io::decodeRows(olderVersion), model::UserError);
}

// A full label (kind 5) or note (kind 6) record as its table lays it out.
std::string textRecord(std::uint8_t kind, std::uint8_t tree, std::uint32_t row, const std::string& text)
{
    return std::string{static_cast<char>(kind), static_cast<char>(tree), '\0', '\0'} + iotest::le32(row)
           + iotest::le32(static_cast<std::uint32_t>(text.size())) + text;
}

// The sample's bytes as the given version, records to follow.
std::string sampleAsVersion(std::uint32_t version)
{
    return "TSRW" + iotest::le32(version) + io::encodeRows(sampleRows()).substr(8);
}

TEST(RowsFormat, NotesAndFullLabelsTravelAsVersionFourBehindEveryOtherRecord)
{
    CopiedRows rows = sampleRows();
    rows.fullLabels = {{0, {"\xCE\x94", "", "\xCE\xB7"}}};
    rows.notes = {{0, {"", "n", ""}}, {3, {"a\nb", "", ""}}};
    const std::string bytes = io::encodeRows(rows);
    EXPECT_EQ(bytes, sampleAsVersion(4) + textRecord(5, 1, 0, "\xCE\x94") + textRecord(5, 3, 0, "\xCE\xB7")
                         + textRecord(6, 2, 0, "n") + textRecord(6, 1, 3, "a\nb"));
    const CopiedRows back = io::decodeRows(bytes);
    EXPECT_EQ(back.fullLabels, rows.fullLabels);
    EXPECT_EQ(back.notes, rows.notes);
    EXPECT_EQ(io::encodeRows(back), bytes);
}

class TextRecordRefused : public ::testing::TestWithParam<std::pair<const char*, std::string>> {};

TEST_P(TextRecordRefused, DamagedBytes)
{
    EXPECT_THROW(io::decodeRows(GetParam().second), model::UserError);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, TextRecordRefused,
    ::testing::Values(
        std::pair{"TreeZero", sampleAsVersion(4) + textRecord(5, 0, 0, "x")},
        std::pair{"TreeFour", sampleAsVersion(4) + textRecord(5, 4, 0, "x")},
        std::pair{"PaddingNotZero", sampleAsVersion(4) + "\x05\x01\x00\x01" + textRecord(5, 1, 0, "x").substr(4)},
        std::pair{"EmptyText", sampleAsVersion(4) + textRecord(6, 1, 0, "")},
        std::pair{"TextCutShort", sampleAsVersion(4) + textRecord(6, 1, 0, "abc").substr(0, 14)},
        std::pair{"RowOutOfRange", sampleAsVersion(4) + textRecord(6, 1, 4, "x")},
        std::pair{"Repeated", sampleAsVersion(4) + textRecord(6, 1, 0, "x") + textRecord(6, 1, 0, "y")},
        std::pair{"TreesOutOfOrder", sampleAsVersion(4) + textRecord(6, 2, 0, "x") + textRecord(6, 1, 0, "y")},
        std::pair{"RowsOutOfOrder", sampleAsVersion(4) + textRecord(6, 1, 1, "x") + textRecord(6, 1, 0, "y")},
        std::pair{"FullLabelAfterANote", sampleAsVersion(4) + textRecord(6, 1, 0, "x") + textRecord(5, 1, 1, "y")},
        std::pair{"CrossCellAfterAText", sampleAsVersion(4) + textRecord(6, 1, 0, "x") + "\x04\x01\x01\x00"
                                             + iotest::le32(2) + iotest::le32(3)},
        std::pair{"NotUtf8", sampleAsVersion(4) + textRecord(6, 1, 0, "\xC3")},
        std::pair{"InVersionThree", sampleAsVersion(3) + textRecord(6, 1, 0, "x")}),
    [](const auto& info) { return std::string(info.param.first); });

// What a program from before matrices travelled puts on the clipboard, and
// what this one still writes for rows without an assessed cell.
TEST(RowsFormat, RowsWithoutMatricesAreTheOlderFormatByteForByte)
{
    const std::string old = std::string("TSRW") + iotest::le32(1) + iotest::le32(2) + iotest::le32(0) + iotest::le32(1)
        + iotest::le32(3) + "1 a" + iotest::le32(5) + "1.1 b" + iotest::le32(3) + "1 c" + iotest::le32(0)
        + iotest::le32(3) + "1 e" + iotest::le32(5) + "1.1 f";
    const CopiedRows rows = io::decodeRows(old);
    EXPECT_EQ(outlineOf(rows, TreeId::PV), "0:1 e|1:1.1 f");
    EXPECT_EQ(outlineOf(rows, TreeId::DP), "0:1 c|1:");
    EXPECT_TRUE(rows.matrices.empty());
    EXPECT_EQ(io::encodeRows(rows), old);
}

struct BrokenRows {
    const char* name;
    std::function<void(std::string&)> damage;
    const char* message;
};
void PrintTo(const BrokenRows& c, std::ostream* os) { *os << c.name; }

class RowsFormatRefuses : public ::testing::TestWithParam<BrokenRows> {};

TEST_P(RowsFormatRefuses, DamagedBytes)
{
    std::string bytes = io::encodeRows(sampleRows());
    GetParam().damage(bytes);
    try {
        io::decodeRows(bytes);
        FAIL() << "decoded";
    } catch (const model::UserError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

// Offsets: 0 magic, 4 version, 8 count (4 rows), 12 levels, 28 first FR length.
INSTANTIATE_TEST_SUITE_P(
    Damage, RowsFormatRefuses,
    ::testing::Values(
        BrokenRows{"CutShort", [](std::string& b) { b.pop_back(); }, "Stream read error"},
        BrokenRows{"HeaderCutShort", [](std::string& b) { b.resize(10); }, "Stream read error"},
        BrokenRows{"ByteBehindTheLastText", [](std::string& b) { b += 'x'; }, "Stream read error"},
        BrokenRows{"OtherMagic", [](std::string& b) { b[0] = 'X'; }, "Stream read error"},
        BrokenRows{"NewerVersion", [](std::string& b) { b.replace(4, 4, iotest::le32(5)); },
                   "The clipboard holds rows of a newer version"},
        BrokenRows{"VersionZero", [](std::string& b) { b.replace(4, 4, iotest::le32(0)); }, "Stream read error"},
        BrokenRows{"CountBeyondTheBytes", [](std::string& b) { b.replace(8, 4, iotest::le32(0x40000000)); },
                   "Stream read error"},
        BrokenRows{"LevelSkipsOne", [](std::string& b) { b.replace(20, 4, iotest::le32(3)); }, "Stream read error"},
        BrokenRows{"FirstRowNotATop", [](std::string& b) { b.replace(12, 4, iotest::le32(1)); }, "Stream read error"},
        BrokenRows{"TextLengthPastTheEnd", [](std::string& b) { b.replace(28, 4, iotest::le32(1000)); },
                   "Stream read error"},
        BrokenRows{"LineBreakInAText", [](std::string& b) { b[33] = '\n'; }, "Stream read error"},
        BrokenRows{"NulInAText", [](std::string& b) { b[33] = '\0'; }, "Stream read error"}),
    [](const auto& info) { return std::string(info.param.name); });

class MatrixRecordRefused : public ::testing::TestWithParam<BrokenRows> {};

TEST_P(MatrixRecordRefused, DamagedBytes)
{
    std::string bytes = io::encodeRows(sampleWithMatrix());
    GetParam().damage(bytes);
    try {
        io::decodeRows(bytes);
        FAIL() << "decoded";
    } catch (const model::UserError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

// The record from recordAt: 0 kind, 1 padding, 4 parent, 8 n, 12 m, 16 cell (0, 1): 16 row,
// 20 column, 24 value, 25 padding; 28 cell (1, 0).
std::size_t recordAt(const std::string& b)
{
    return b.size() - kRecordBytes;
}
void put(std::string& b, std::size_t at, std::uint32_t v)
{
    b.replace(at, 4, iotest::le32(v));
}

INSTANTIATE_TEST_SUITE_P(
    Damage, MatrixRecordRefused,
    ::testing::Values(
        BrokenRows{"VersionTwoWithoutARecord", [](std::string& b) { b.resize(recordAt(b)); }, "Stream read error"},
        BrokenRows{"OtherKind", [](std::string& b) { b[recordAt(b)] = 3; }, "Stream read error"},
        BrokenRows{"PaddingNotZero", [](std::string& b) { b[recordAt(b) + 2] = 1; }, "Stream read error"},
        BrokenRows{"ParentOutOfRange", [](std::string& b) { put(b, recordAt(b) + 4, 4); }, "Stream read error"},
        BrokenRows{"OtherChildCount", [](std::string& b) { put(b, recordAt(b) + 8, 3); }, "Stream read error"},
        BrokenRows{"ParentOfOneChild", [](std::string& b) {
                       put(b, recordAt(b) + 4, 1);
                       put(b, recordAt(b) + 8, 1);
                   },
                   "Stream read error"},
        BrokenRows{"NoCell",
                   [](std::string& b) {
                       const std::size_t at = recordAt(b);
                       b.resize(at + 16);
                       put(b, at + 12, 0);
                   },
                   "Stream read error"},
        BrokenRows{"CellCountBeyondTheBytes", [](std::string& b) { put(b, recordAt(b) + 12, 0x40000000); },
                   "Stream read error"},
        BrokenRows{"OnTheDiagonal", [](std::string& b) { put(b, recordAt(b) + 20, 0); }, "Stream read error"},
        BrokenRows{"CellOutOfRange", [](std::string& b) { put(b, recordAt(b) + 20, 2); }, "Stream read error"},
        BrokenRows{"RepeatedCell", [](std::string& b) {
                       put(b, recordAt(b) + 16, 1);
                       put(b, recordAt(b) + 20, 0);
                   },
                   "Stream read error"},
        BrokenRows{"NotAssessed", [](std::string& b) { b[recordAt(b) + 24] = 0; }, "Stream read error"},
        BrokenRows{"OtherValue", [](std::string& b) { b[recordAt(b) + 24] = 3; }, "Stream read error"},
        BrokenRows{"CellPaddingNotZero", [](std::string& b) { b[recordAt(b) + 27] = 1; }, "Stream read error"},
        BrokenRows{"RecordCutShort", [](std::string& b) { b.pop_back(); }, "Stream read error"},
        BrokenRows{"ByteBehindTheLastRecord", [](std::string& b) { b += 'x'; }, "Stream read error"},
        BrokenRows{"SameMatrixTwice", [](std::string& b) { b += b.substr(recordAt(b)); }, "Stream read error"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- plain text -----------------------------------------------------------------

TEST(PlainTextOf, LabelsWithoutNumbersIndentedByTabsInUtf8)
{
    EXPECT_EQ(io::plainTextOf(sampleRows(), TreeId::FR), "Pump\n\t3 seals\n\t\t\xC5\x92il\n\tMotor\n");
    EXPECT_EQ(io::plainTextOf(sampleRows(), TreeId::PV), "Flow\n\ta\tb\n\t\t\xE2\x82\xAC 5\n\tSpeed\n");
}

TEST(PlainTextOf, PastesBackAsTheSameLabels)
{
    // "3 seals" begins with a count, not a number: the other lines have none.
    const CopiedRows back = io::rowsFromPlainText(QString::fromUtf8(io::plainTextOf(sampleRows(), TreeId::FR)),
                                                  TreeId::FR);
    EXPECT_EQ(outlineOf(back), "0:1 Pump|1:1.1 3 seals|2:1.1.1 \x8C" "il|1:1.2 Motor");
}

struct TextCase {
    const char* name;
    const char* text;
    const char* rows; // the FR texts, with the numbers the paste counts
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class PlainTextPaste : public ::testing::TestWithParam<TextCase> {};

TEST_P(PlainTextPaste, MakesOneRowPerLine)
{
    EXPECT_EQ(outlineOf(parsed(GetParam().text)), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Text, PlainTextPaste,
    ::testing::Values(
        TextCase{"Tabs", "Pump\n\tMotor\n\t\tBearing\nValve\n", "0:1 Pump|1:1.1 Motor|2:1.1.1 Bearing|0:2 Valve"},
        TextCase{"TwoSpaces", "a\n  b\n      c\n  d", "0:1 a|1:1.1 b|2:1.1.1 c|1:1.2 d"},
        TextCase{"FourSpaces", "a\n    b\n        c\n    d", "0:1 a|1:1.1 b|2:1.1.1 c|1:1.2 d"},
        TextCase{"ThreeSpaces", "a\n   b\n      c\n   d", "0:1 a|1:1.1 b|2:1.1.1 c|1:1.2 d"},
        TextCase{"Bullets", "- Pump\n  * Motor\n    \xE2\x80\xA2 Bearing\n  -Seal\n  -\n*\tValve",
                 "0:1 Pump|1:1.1 Motor|2:1.1.1 Bearing|1:1.2 -Seal|1:1.3 |0:2 Valve"},
        TextCase{"NumberedOutline", "1 Pump\n\t1.1 3 seals\n\t1.2 Motor\n2 Valve",
                 "0:1 Pump|1:1.1 3 seals|1:1.2 Motor|0:2 Valve"},
        TextCase{"CountsKeptAmongUnnumberedLines", "Pump\n\t3 layer mesh\n\t2.1 Motor\n\t4) Seal\n\t5. Shaft",
                 "0:1 Pump|1:1.1 3 layer mesh|1:1.2 Motor|1:1.3 Seal|1:1.4 Shaft"},
        TextCase{"NumbersNeedABlankBehind", "1.5mm gap\n2024", "0:1 1.5mm gap|0:2 2024"},
        TextCase{"JumpOfTwoLevels", "a\n\tb\n\t\t\t\tc\n\t\td\n\t\t\te", "0:1 a|1:1.1 b|2:1.1.1 c|2:1.1.2 d|3:1.1.2.1 e"},
        TextCase{"FirstLineIndented", "\t\ta\n\t\tb\n\t\t\tc\n\td\ne", "0:1 a|0:2 b|1:2.1 c|0:3 d|0:4 e"},
        TextCase{"BlankLinesAndEveryLineEnd", "a\r\n\r\n  \t \r\n\tb\r\rc\n\r\td",
                 "0:1 a|1:1.1 b|0:2 c|1:2.1 d"},
        TextCase{"BlanksAtTheEndDroppedTabsInsideBecomeBlanks", "Pump  \t\n\tMotor\tfast ",
                 "0:1 Pump|1:1.1 Motor fast"},
        TextCase{"Windows1252Letters", "\xC5\x92uvre \xE2\x82\xAC 5 \xE2\x80\x93 na\xC3\xAFve",
                 "0:1 \x8Cuvre \x80 5 \x96 na\xEFve"},
        TextCase{"NothingButBlanks", " \n\t\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlainTextPaste, GivesThePartnersNewNodeLabels)
{
    const CopiedRows rows = parsed("Pump\n\tMotor", TreeId::DP);
    EXPECT_EQ(outlineOf(rows, TreeId::DP), "0:1 Pump|1:1.1 Motor");
    EXPECT_EQ(outlineOf(rows, TreeId::FR), "0:__________|1:__________");
    EXPECT_EQ(outlineOf(rows, TreeId::PV), "0:__________|1:__________");
}

// Each such label keeps its question form in the tree and the whole label
// beside it; lines the code page holds have none, and half a surrogate pair
// is a character no text holds.
TEST(PlainTextPaste, KeepsCharactersBeyondWindows1252AsFullLabels)
{
    QString text = QString::fromUtf8("Pump\n\tShaft \xE2\x86\x92 gear\tfast\n\t\xF0\x9F\x98\x80 \xE2\x80\x93 x\n");
    text += QChar(0xD800);
    const CopiedRows rows = io::rowsFromPlainText(text, TreeId::DP);
    EXPECT_EQ(outlineOf(rows, TreeId::DP), "0:1 Pump|1:1.1 Shaft ? gear fast|1:1.2 ? \x96 x|0:2 ?");
    const auto full = [](std::uint32_t row, std::string dp) {
        return model::CopiedRowTexts{row, {"", std::move(dp), ""}};
    };
    EXPECT_EQ(rows.fullLabels, (std::vector<model::CopiedRowTexts>{
                                   full(1, "Shaft \xE2\x86\x92 gear fast"), full(2, "\xF0\x9F\x98\x80 \xE2\x80\x93 x"),
                                   full(3, "\xEF\xBF\xBD")}));
    EXPECT_TRUE(rows.wellFormed());
}

TEST(PlainTextOf, WritesTheFullLabelsThatStand)
{
    CopiedRows rows = sampleRows();
    rows.textsOf(TreeId::FR)[0] = "1 ?il";
    rows.fullLabels = {{0, {"\xCE\x94il", "\xCE\x94", ""}}, // DP's does not stand: its text is "1 Housing"
                       {3, {"", "", "Speed"}}};
    EXPECT_EQ(io::plainTextOf(rows, TreeId::FR), "\xCE\x94il\n\t3 seals\n\t\t\xC5\x92il\n\tMotor\n");
    EXPECT_EQ(io::plainTextOf(rows, TreeId::DP), "Housing\n\t\xC3\x89tanch\xC3\xA9it\xC3\xA9\n\t\t\n\tShaft\n");
}

// --- bounds on what a paste may hold ---------------------------------------------

// A chain whose deepest row lies `deepest` levels below its top, in our own
// format or as tab-indented text.
std::string chainBytes(std::uint32_t deepest)
{
    CopiedRows rows;
    for (std::uint32_t level = 0; level <= deepest; ++level)
        rows.append(level, {"1 x", "1 y", "1 z"});
    return io::encodeRows(rows);
}

QString chainText(std::uint32_t deepest)
{
    QString text;
    for (std::uint32_t level = 0; level <= deepest; ++level)
        text += QString(static_cast<qsizetype>(level), QChar(u'\t')) + QStringLiteral("x\n");
    return text;
}

struct DepthCase {
    const char* name;
    bool text; // plain text, else our own rows format
    std::uint32_t placeLevel;
    std::uint32_t deepest; // below the pasted top
    bool accepted;
};
void PrintTo(const DepthCase& c, std::ostream* os) { *os << c.name; }

class PasteDepth : public ::testing::TestWithParam<DepthCase> {};

TEST_P(PasteDepth, NoRowLiesDeeperThanTheDeepestLevel)
{
    const DepthCase& c = GetParam();
    try {
        const CopiedRows rows = c.text ? io::rowsFromPlainText(chainText(c.deepest), TreeId::FR, c.placeLevel)
                                       : io::decodeRows(chainBytes(c.deepest), c.placeLevel);
        EXPECT_TRUE(c.accepted);
        EXPECT_EQ(rows.levels.back(), c.deepest);
    } catch (const model::UserError& e) {
        EXPECT_FALSE(c.accepted);
        EXPECT_STREQ(e.what(), "Cannot paste: the rows would lie deeper than level 4096");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Depth, PasteDepth,
    ::testing::Values(DepthCase{"RowsReachingTheDeepestLevel", false, 0, 4096, true},
                      DepthCase{"RowsOneLevelDeeper", false, 0, 4097, false},
                      DepthCase{"RowsCountedFromTheirPlace", false, 4000, 97, false},
                      DepthCase{"OneRowBelowADeepPlace", false, 4097, 0, false},
                      DepthCase{"TextReachingTheDeepestLevel", true, 4000, 96, true},
                      DepthCase{"TextOneLevelDeeper", true, 4000, 97, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PasteDepth, IsRefusedBeforeAnyTextIsRead)
{
    std::string bytes = chainBytes(4097);
    bytes.pop_back(); // the last text cut short: a reader that got there would say "Stream read error"
    try {
        io::decodeRows(bytes);
        FAIL() << "decoded";
    } catch (const model::UserError& e) {
        EXPECT_STREQ(e.what(), "Cannot paste: the rows would lie deeper than level 4096");
    }
}

struct LongLabel {
    const char* name;
    bool text;
    QString label;
    std::size_t kept; // characters of it kept
};

class PastedLabel : public ::testing::TestWithParam<LongLabel> {};

TEST_P(PastedLabel, IsCutToTheLongestLabel)
{
    const LongLabel& c = GetParam();
    CopiedRows rows;
    if (c.text) {
        rows = io::rowsFromPlainText(c.label, TreeId::DP);
    } else {
        CopiedRows one;
        const std::string label = c.label.toStdString();
        one.append(0, {"1 " + label, "1 " + label, "1 short"});
        rows = io::decodeRows(io::encodeRows(one));
    }
    ASSERT_EQ(rows.size(), 1u);
    const std::string expected = "1 " + c.label.first(static_cast<qsizetype>(c.kept)).toStdString();
    EXPECT_TRUE(rows.textsOf(TreeId::DP)[0] == expected) << rows.textsOf(TreeId::DP)[0].size() << " bytes"; // not 64 KB of text
    EXPECT_EQ(rows.labelsCut, (c.text ? 1u : 2u) * (c.kept < static_cast<std::size_t>(c.label.size())));
}

const QString kHundredKilobytes(100 * 1024, u'a');
const QString kLongestLabel(65536, u'a');

INSTANTIATE_TEST_SUITE_P(
    Labels, PastedLabel,
    ::testing::Values(LongLabel{"RowsFormat", false, kHundredKilobytes, 65536},
                      LongLabel{"RowsFormatAtTheLongest", false, kLongestLabel, 65536},
                      LongLabel{"Text", true, kHundredKilobytes, 65536},
                      LongLabel{"TextAtTheLongest", true, kLongestLabel, 65536},
                      // A character beyond the code page straddles the cut: it goes whole, unrefused.
                      LongLabel{"TextCutBeforeASurrogatePair", true,
                                QString(65535, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80" "b"), 65535}),
    [](const auto& info) { return std::string(info.param.name); });

// The search folds case byte by byte; it must agree with Unicode's small
// letters wherever the code page has both cases.
TEST(FoldCp1252, AgreesWithUnicodeSmallLettersForEveryByte)
{
    for (int b = 0; b < 256; ++b) {
        const char16_t lower = QChar(model::cp1252ToUnicode(static_cast<unsigned char>(b))).toLower().unicode();
        const auto expected = model::unicodeToCp1252(lower).value_or(static_cast<unsigned char>(b));
        EXPECT_EQ(model::foldCp1252(static_cast<unsigned char>(b)), expected) << "byte " << b;
    }
}

} // namespace
