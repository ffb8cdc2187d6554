// What the exported document holds, read back with the tests' own RTF reader.
#include "ExportTestSupport.h"
#include "RtfReadBack.h"

#include "export/RtfExport.h"

#include <gtest/gtest.h>

using namespace exporttest;
using readback::Colour;

namespace {

readback::Document exportAndRead(const model::Design& design, const model::HeaderRecord& header,
                                 const exporting::ColourResolver& resolver = {})
{
    exporting::ExportSource source = exporting::exportSourceOf(design);
    source.levelColours = exporting::levelColourValues(header);
    const std::string rtf = exporting::renderRtf(source, resolver);
    readback::Document doc = readback::read(rtf);
    EXPECT_EQ(doc.error, "");
    for (const readback::Paragraph& p : doc.paragraphs)
        EXPECT_FALSE(p.mixedColours) << p.text;
    return doc;
}

std::vector<std::string> textsOf(const readback::Document& doc)
{
    std::vector<std::string> texts;
    for (const readback::Paragraph& p : doc.paragraphs)
        texts.push_back(p.text);
    return texts;
}

std::vector<Colour> coloursOf(const readback::Document& doc)
{
    std::vector<Colour> colours;
    for (const readback::Paragraph& p : doc.paragraphs)
        colours.push_back(p.colour);
    return colours;
}

constexpr Colour kAuto = std::nullopt;
constexpr std::uint32_t kRed = 0x0000FF;

} // namespace

TEST(ExportContent, SingleTopLevelNodesWithDefaultTitlesGiveSixParagraphs)
{
    model::Design design;
    setDefaultTitles(design);
    fillTree(design.tree(model::TreeId::FR), {{0, "1 A"}});
    fillTree(design.tree(model::TreeId::DP), {{0, "1 B"}});
    fillTree(design.tree(model::TreeId::PV), {{0, "1 C"}});

    const readback::Document doc = exportAndRead(design, headerWithAllLevels(kRed));

    EXPECT_EQ(textsOf(doc), (std::vector<std::string>{"Functional Requirements", "1 A", "Design Parameters",
                                                      "1 B", "Process Variables", "1 C"}));
    EXPECT_EQ(coloursOf(doc), (std::vector<Colour>{kAuto, kRed, kAuto, kRed, kAuto, kRed}));
}

TEST(ExportContent, OneAnsiFontTahomaEightPointForEveryLine)
{
    model::Design design;
    setDefaultTitles(design);
    fillDesign(design, {{0, "1 Pump"}, {1, "1.1 Seal"}});

    const readback::Document doc = exportAndRead(design, headerWithAllLevels(0));

    EXPECT_TRUE(doc.ansi);
    EXPECT_EQ(doc.codePage, 1252);
    ASSERT_EQ(doc.fonts.size(), 1u);
    EXPECT_EQ(doc.fonts[0].name, "Tahoma");
    EXPECT_EQ(doc.fonts[0].charset, 0);
    ASSERT_EQ(doc.paragraphs.size(), 9u);
    for (const readback::Paragraph& p : doc.paragraphs) {
        EXPECT_EQ(p.font, doc.fonts[0].number);
        EXPECT_EQ(p.halfPoints, 16);
    }
}

// 1 Pump             level 0
//   1.1 Housing      level 1
//     1.1.1 Seal     level 2   (collapsed or not, it is exported)
//   1.2 Motor        level 1
// 2 Controls         level 0
TEST(ExportContent, EveryNodeInPreOrderInItsLevelColour)
{
    model::Design design;
    setDefaultTitles(design);
    fillDesign(design, {{0, "1 Pump"}, {1, "1.1 Housing"}, {2, "1.1.1 Seal"}, {1, "1.2 Motor"}, {0, "2 Controls"}});
    exporting::LevelColourValues colours{};
    for (std::size_t level = 0; level < colours.size(); ++level)
        colours[level] = 0x00102030u + static_cast<std::uint32_t>(level);

    const readback::Document doc = exportAndRead(design, headerWith(colours));

    std::vector<std::string> texts;
    std::vector<Colour> expected;
    const char* titles[] = {"Functional Requirements", "Design Parameters", "Process Variables"};
    for (char letter : {'F', 'D', 'P'}) {
        texts.push_back(titles[texts.size() / 6]);
        expected.push_back(kAuto);
        for (auto [level, text] : std::vector<std::pair<int, std::string>>{
                 {0, "1 Pump"}, {1, "1.1 Housing"}, {2, "1.1.1 Seal"}, {1, "1.2 Motor"}, {0, "2 Controls"}}) {
            texts.push_back(text + letter);
            expected.push_back(colours[static_cast<std::size_t>(level)]);
        }
    }
    EXPECT_EQ(textsOf(doc), texts);
    EXPECT_EQ(coloursOf(doc), expected);
}

TEST(ExportContent, NodesDeeperThanLevelTenAreBlack)
{
    model::Design design;
    Outline chain;
    for (int level = 0; level <= 13; ++level)
        chain.push_back({level, std::to_string(level)});
    fillDesign(design, chain);
    exporting::LevelColourValues colours{};
    for (std::size_t level = 0; level < colours.size(); ++level)
        colours[level] = 0x00A00000u + static_cast<std::uint32_t>(level) + 1;

    const readback::Document doc = exportAndRead(design, headerWith(colours));

    ASSERT_EQ(doc.paragraphs.size(), 3u + 3u * 14u);
    for (int level = 0; level <= 13; ++level) {
        const Colour expected = level <= 10 ? colours[static_cast<std::size_t>(level)] : 0u;
        EXPECT_EQ(doc.paragraphs[static_cast<std::size_t>(1 + level)].colour, expected) << "level " << level;
    }
}

TEST(ExportContent, EmptyNodeTextIsAnEmptyLineInItsLevelColourEvenAsTheLastLine)
{
    model::Design design;
    setDefaultTitles(design);
    for (model::TreeId id : model::kAllTrees)
        fillTree(design.tree(id), {{0, "1 Pump"}, {1, ""}});
    exporting::LevelColourValues colours{};
    colours[1] = kRed;

    const readback::Document doc = exportAndRead(design, headerWith(colours));

    ASSERT_EQ(doc.paragraphs.size(), 9u);
    for (std::size_t row : {2u, 5u, 8u}) {
        EXPECT_EQ(doc.paragraphs[row].text, "");
        EXPECT_EQ(doc.paragraphs[row].colour, Colour(kRed));
    }
}

TEST(ExportContent, TreesWithoutNodesGiveTheThreeTitlesOnly)
{
    model::Design design;
    setDefaultTitles(design);
    const readback::Document doc = exportAndRead(design, headerWithAllLevels(kRed));
    EXPECT_EQ(textsOf(doc),
              (std::vector<std::string>{"Functional Requirements", "Design Parameters", "Process Variables"}));
    EXPECT_EQ(coloursOf(doc), (std::vector<Colour>{kAuto, kAuto, kAuto}));
}

TEST(ExportContent, EmptyColumnTitleGivesAnEmptyTitleLine)
{
    model::Design design;
    setDefaultTitles(design);
    design.setTitle(model::TreeId::DP, "");
    fillDesign(design, {{0, "1 X"}});
    const readback::Document doc = exportAndRead(design, headerWithAllLevels(kRed));
    EXPECT_EQ(textsOf(doc), (std::vector<std::string>{"Functional Requirements", "1 XF", "", "1 XD",
                                                      "Process Variables", "1 XP"}));
}

TEST(ExportContent, ColourTableHoldsTheAutomaticEntryAndOnlyTheLevelColoursInUse)
{
    model::Design design;
    fillDesign(design, {{0, "1 A"}, {1, "1.1 B"}, {2, "1.1.1 C"}});
    exporting::LevelColourValues colours{};
    for (std::size_t level = 0; level < colours.size(); ++level)
        colours[level] = 0x00010101u * static_cast<std::uint32_t>(level + 1);
    colours[2] = colours[0]; // two levels share one colour

    const readback::Document doc = exportAndRead(design, headerWith(colours));

    EXPECT_EQ(doc.colourTable, (std::vector<Colour>{kAuto, colours[0], colours[1]}));
}

TEST(ExportContent, Cp1252BytesAndRtfSpecialCharactersSurvive)
{
    std::string everyByte = "1 ";
    for (int c = 0x20; c <= 0xFF; ++c)
        everyByte += static_cast<char>(c);
    model::Design design;
    design.setTitle(model::TreeId::FR, "{Design} \\par \\'41 Caf\xE9 \x80");
    design.setTitle(model::TreeId::DP, " 2 leading blank");
    design.setTitle(model::TreeId::PV, "12345");
    fillDesign(design, {{0, everyByte}, {0, "2 tab\there"}});

    const readback::Document doc = exportAndRead(design, headerWithAllLevels(kRed));

    ASSERT_EQ(doc.paragraphs.size(), 9u);
    EXPECT_EQ(doc.paragraphs[0].text, "{Design} \\par \\'41 Caf\xE9 \x80");
    EXPECT_EQ(doc.paragraphs[1].text, everyByte + "F");
    EXPECT_EQ(doc.paragraphs[2].text, "2 tab\thereF");
    EXPECT_EQ(doc.paragraphs[3].text, " 2 leading blank");
    EXPECT_EQ(doc.paragraphs[6].text, "12345");
}

TEST(ExportContent, ControlBytesOtherThanTabAreDroppedWithoutSplittingTheLine)
{
    model::Design design;
    fillDesign(design, {{0, std::string("1 a\rb\nc\x01" "d\x1F" "e") + '\0' + "f"}});
    const readback::Document doc = exportAndRead(design, headerWithAllLevels(kRed));
    ASSERT_EQ(doc.paragraphs.size(), 6u);
    EXPECT_EQ(doc.paragraphs[1].text, "1 abcdefF");
}

// --- colour values --------------------------------------------------------------

struct ColourCase {
    const char* name;
    std::uint32_t levelColour;
    std::uint32_t resolverAnswer; // what the desktop gives a system colour now
    bool withResolver;
    Colour expected;
    int resolverCalls;
};

void PrintTo(const ColourCase& c, std::ostream* os) { *os << c.name; }

class ExportColour : public testing::TestWithParam<ColourCase> {};

TEST_P(ExportColour, LevelColourValueBecomesDocumentColour)
{
    const ColourCase& c = GetParam();
    model::Design design;
    fillDesign(design, {{0, "1 A"}});
    int calls = 0;
    std::uint32_t askedFor = 0;
    exporting::ColourResolver resolver;
    if (c.withResolver)
        resolver = [&](std::uint32_t value) { ++calls; askedFor = value; return c.resolverAnswer; };

    const readback::Document doc = exportAndRead(design, headerWithAllLevels(c.levelColour), resolver);

    ASSERT_EQ(doc.paragraphs.size(), 6u);
    EXPECT_EQ(doc.paragraphs[1].colour, c.expected);
    EXPECT_EQ(doc.paragraphs[5].colour, c.expected);
    EXPECT_GE(calls, c.resolverCalls);
    if (c.resolverCalls == 0)
        EXPECT_EQ(calls, 0);
    else
        EXPECT_EQ(askedFor, c.levelColour);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ExportColour,
    testing::Values(
        ColourCase{"WindowTextIsAutomatic", 0x80000008u, 0x00FFFFFFu, true, std::nullopt, 0},
        ColourCase{"RgbAsIs", 0x00123456u, 0, true, 0x123456u, 0},
        ColourCase{"BlackIsExplicitNotAutomatic", 0x00000000u, 0, true, 0x000000u, 0},
        ColourCase{"WhiteAsIs", 0x00FFFFFFu, 0, true, 0xFFFFFFu, 0},
        ColourCase{"HighlightResolvedNow", 0x8000000Du, 0x00D77800u, true, 0xD77800u, 1},
        ColourCase{"ResolverAnswerKeepsLow24Bits", 0x80000005u, 0xFF00FF00u, true, 0x00FF00u, 1},
        ColourCase{"SystemColourWithoutResolverIsBlack", 0x80000005u, 0, false, 0x000000u, 0},
        ColourCase{"OtherTopByteKeepsLow24Bits", 0x02345678u, 0, true, 0x345678u, 0},
        ColourCase{"TopByteFFKeepsLow24Bits", 0xFF0000FFu, 0, true, 0x0000FFu, 0}),
    [](const testing::TestParamInfo<ColourCase>& info) { return std::string(info.param.name); });
