// The text form: every design written as text reads back to the same file,
// byte for byte, and a broken text is refused at the line that breaks it.
#include "io/DesignFile.h"
#include "io/DesignText.h"
#include "model/UserError.h"

#include "IoTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace {

std::string sourceDir()
{
    const char* dir = std::getenv("TESSARIC_SOURCE_DIR");
    return dir ? dir : ".";
}

// What a save of the file just opened writes, its header as read.
std::string savedAgain(const std::string& bytes)
{
    io::DesignFileContents contents = io::parseDesignFile(bytes, "x.vok");
    const model::HeaderRecord header = contents.header;
    model::Design design;
    io::openInto(design, std::move(contents));
    design.look().saved(header);
    return io::encodeDesignFile(design, io::KeptBlocksToo::Yes);
}

TEST(DesignText, EveryExampleAndSeedComesBackAsItsBytes)
{
    int files = 0;
    for (const char* folder : {"/examples", "/fuzz/corpus/design_file"})
        for (const auto& entry : std::filesystem::directory_iterator(sourceDir() + folder)) {
            const std::string bytes = iotest::readAll(entry.path().string());
            try {
                io::parseDesignFile(bytes, "x.vok");
            } catch (const model::UserError&) {
                continue; // a seed the reader refuses has no text form
            }
            const std::string text = io::designTextFromFile(bytes, "x.vok");
            const std::string back = io::designFileFromText(text, "x.txt");
            // The examples were written by this program: the very same file.
            const std::string& expected = std::string(folder) == "/examples" ? bytes : savedAgain(bytes);
            EXPECT_TRUE(back == expected) << entry.path() << "\n" << text;
            EXPECT_EQ(io::designTextFromFile(back, "y.vok"), text) << entry.path();
            ++files;
        }
    EXPECT_GE(files, 10);
}

// Random trees with random bytes for labels (numbers, bars, escapes, C1
// bytes), labels and titles beyond Windows-1252, notes over several lines,
// matrices, cross cells, ranges, level styles, header tails and a kept block.
void fillEverything(model::Design& design, std::mt19937& rng)
{
    using model::TreeId;
    iotest::fillRandomDesign(design, rng, 60);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const int rows = design.rowCount();
    const char* unicode[] = {"\xce\x94p \xe2\x89\xa4 3 bar", "\xe6\xb3\xb5 | \\x41 ", "a\xe2\x80\x83" "b"};
    for (int i = 0; i < 8; ++i)
        design.editFullLabel(model::kAllTrees[static_cast<std::size_t>(pick(3))], pick(rows), unicode[pick(3)]);
    const char* notes[] = {"one line", "two\nlines ", "\nstarts empty\n\nand ends so\n", "\xce\xa9 \\ | \t\r"};
    for (int i = 0; i < 10; ++i)
        design.setNote(model::kAllTrees[static_cast<std::size_t>(pick(3))], pick(rows), notes[pick(4)]);
    for (int i = 0; i < 200; ++i) {
        const int parent = pick(rows + 1) - 1;
        const int n = static_cast<int>(design.matrixParent(parent)->children.size());
        if (n >= 2)
            design.setMatrixCell(parent, i % 2 ? model::MatrixKind::FrDp : model::MatrixKind::DpPv, pick(n), pick(n),
                                 i % 3 ? model::CellValue::X : model::CellValue::O);
    }
    for (int i = 0; i < 40; ++i)
        design.setCrossCell(model::MatrixKind::FrDp, pick(rows), pick(rows), model::CellValue::O);
    design.setRanges(pick(rows), {{true, false, -0.5, 0, "l/min "}, {model::SystemKind::Normal, 1e-300, 0.1}});
    design.setRanges(pick(rows), {{true, true, 1.0 / 3, 2, ""}, {model::SystemKind::Uniform, 0, 7}});
    design.setRanges(pick(rows), {{false, true, 0, 5, "\xb0" "C"}, {}});
    design.setFullTitle(TreeId::DP, "Parameters \xe2\x88\x91 of a title longer than the thirty-two bytes");
    design.setTitle(TreeId::PV, "PV | \\");
    design.look().setColour(3, 0x00123456);
    design.look().setStyle(4, {2, model::kSystemColour + 5, "Font With Spaces", -11, 0xF5});
    model::HeaderRecord header = design.look().currentHeader();
    header.titles[0] = {'F', 'R', 0, 'o', 'l', 'd', 0};
    header.reserved.colour = 7;
    header.levels[2].name = {'A', 0, 'B'};
    design.look().opened(header);
    design.look().saved(header);
    design.replaceKeptBlocks({{model::KeptBlock::Why::Unknown, "block ABCD", std::string("ABCD\x01\0\0\0", 8)}});
}

TEST(DesignText, RandomDesignsComeBackByteForByte)
{
    for (std::uint32_t seed = 0; seed < 20; ++seed) {
        std::mt19937 rng(seed);
        model::Design design;
        fillEverything(design, rng);
        const std::string text = io::designText(design);
        EXPECT_EQ(io::designFileFromText(text, "r.txt"), io::encodeDesignFile(design, io::KeptBlocksToo::Yes))
            << "seed " << seed << "\n" << text;
    }
}

TEST(DesignText, BrokenTextsAreRefusedAtTheirLine)
{
    const std::string head = "tessaric design text 1\n";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"tessaric design text 2\n", "d.txt:1: expected \"tessaric design text 1\""},
        {"", "d.txt:1: expected \"tessaric design text 1\""},
        {head + "1 a | b | c\nwhat\n", "d.txt:3: expected a row"},
        {head + "1 a | b\n", "d.txt:2: expected three labels separated by \" | \""},
        {head + "1 a | b | c\n    1.1 x | y | z\n", "d.txt:3: a row two levels deeper than the row before"},
        {head + "1 a | b | c\n 1.1 x | y | z\n", "d.txt:3: a row indented by an odd number of spaces"},
        {head + "1 a|b | b | c\n", "d.txt:2: a \"|\" in a text must be written \"\\|\""},
        {head + "1 a\\q | b | c\n", "d.txt:2: unknown escape (use \\\\, \\| or \\xHH)"},
        {head + "1 a | b | \xff\n", "d.txt:2: a text that is not UTF-8"},
        {head + "- 2 a | b | c\n", "d.txt:2: a label behind \"-\" that begins with an outline number"},
        {head + "@+ more\n", "d.txt:2: \"@+\" continues a note, and no note is before it"},
        {head + "@note FR: x\n", "d.txt:2: a note or range before the first row"},
        {head + "1 a | b | c\n  @note FR: x\n  @note FR: y\n", "d.txt:4: a second note for the same label"},
        {head + "1 a | b | c\n  @design 5 .. 2\n", "d.txt:3: "},
        {head + "level 11: 8 pt plain colour #000000 charset 0 font A\n", "d.txt:2: expected a level from 0 to 10"},
        {head + "level 1: 8 pt shiny colour #000000 charset 0 font A\n", "d.txt:2: unknown style \"shiny\""},
        {head + "title FR field: 00\n", "d.txt:2: expected 32 bytes in hex"},
        // Checked once every row is read: the line of the cell is named.
        {head + "1 a | b | c\n  @FR-DP 1 2 X\n  1.1 a | b | c\n", "d.txt:3: no cell 1 2 off the diagonal of a matrix over 1 rows"},
        {head + "1 a | b | c\n2 a | b | c\ncross FR-DP 1 2 X\n", "d.txt:4: rows 1 and 2 are the same, siblings or one inside the other"},
        {head + "1 a | b | c\ncross FR-DP 1 3 X\n", "d.txt:3: no row 3"},
    };
    for (const auto& c : cases) {
        try {
            io::designFileFromText(c.text, "d.txt");
            ADD_FAILURE() << "read: " << c.text;
        } catch (const model::UserError& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, c.message.size()), c.message) << c.text;
        }
    }
}

} // namespace
