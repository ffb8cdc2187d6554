// The table document: rows in row order with numbers from their position,
// labels without their stored numbers, level colours and indentation.
#include "TableTestSupport.h"

#include "export/TableExport.h"
#include "export/TableFormat.h"
#include "model/Cp1252.h"

#include <gtest/gtest.h>

using namespace tabletest;

namespace {

TEST(TableDocument, RowsCarryPositionNumbersLevelsAndStrippedLabelsOfAllThreeTrees)
{
    const std::unique_ptr<model::Design> design = sampleDesign();
    const exporting::TableDocument document = sampleDocument(*design);
    ASSERT_EQ(document.rows().size(), sampleRows().size());
    for (std::size_t i = 0; i < sampleRows().size(); ++i) {
        const exporting::TableRow& row = document.rows()[i];
        EXPECT_EQ(row.number, sampleRows()[i].number) << i;
        EXPECT_EQ(row.level, sampleRows()[i].level) << i;
        for (std::size_t t = 0; t < 3; ++t)
            EXPECT_EQ(row.labels[t], sampleRows()[i].label[t]) << i << " " << t;
    }
    EXPECT_EQ(document.title(), "pump café.vok");
    EXPECT_EQ(document.columnTitle(1), "Means");
}

TEST(TableDocument, LevelColoursAreResolvedOnceAndLevelsPastTenAreBlack)
{
    const std::unique_ptr<model::Design> design = sampleDesign();
    const exporting::TableDocument document = sampleDocument(*design);
    EXPECT_EQ(document.colourOf(0), exporting::TextColour::automaticColour());
    EXPECT_EQ(document.colourOf(1), exporting::TextColour::explicitColour(kRed));
    EXPECT_EQ(document.colourOf(2), exporting::TextColour::explicitColour(kResolvedBlue));
    EXPECT_EQ(document.colourOf(11), exporting::TextColour::explicitColour(0));
    EXPECT_EQ(document.colourOf(5000), exporting::TextColour::explicitColour(0));
    EXPECT_EQ(exporting::TableDocument::indentOf(3), 3);
    EXPECT_EQ(exporting::TableDocument::indentOf(10), 10);
    EXPECT_EQ(exporting::TableDocument::indentOf(5000), 10);
}

// A chain: 1, 1.1, 1.1.1, … Numbers of sixteen parts are shown whole; deeper
// rows keep their last sixteen parts behind an ellipsis, so that a chain of
// 200,000 rows exports in linear time and space.
TEST(TableDocument, DeepChainNumbersKeepTheirLastSixteenParts)
{
    constexpr int kDepth = 200'000;
    model::Design design;
    for (model::TreeId id : model::kAllTrees) {
        model::Node* node = design.tree(id).appendTopLevel("A");
        for (int level = 1; level < kDepth; ++level)
            node = design.tree(id).appendChild(node, "B");
    }
    const exporting::TableDocument document =
        exporting::TableDocument::build(exporting::exportSourceOf(design), {}, "deep.vok");
    ASSERT_EQ(document.rows().size(), static_cast<std::size_t>(kDepth));

    std::string sixteen = "1";
    for (int i = 1; i < 16; ++i)
        sixteen += ".1";
    EXPECT_EQ(document.rows()[15].number, sixteen);
    EXPECT_EQ(document.rows()[16].number, std::string("\xE2\x80\xA6.") + sixteen);
    EXPECT_EQ(document.rows()[kDepth - 1].number, std::string("\xE2\x80\xA6.") + sixteen);
    EXPECT_EQ(document.rows()[kDepth - 1].level, kDepth - 1);

    exporting::NoProgress progress;
    const std::string csv = exporting::renderTable(document, exporting::TableFormat::Csv, progress);
    EXPECT_LT(csv.size(), 100u * kDepth);
}

TEST(TableDocument, PlaceholderLabelsOfNewRowsAreLeftEmpty)
{
    model::Design design;
    const char* labels[] = {"1 __________", "2 _", "3 a_b", "4 __ __"};
    for (model::TreeId id : model::kAllTrees)
        for (const char* label : labels)
            design.tree(id).appendTopLevel(label);
    const exporting::TableDocument document =
        exporting::TableDocument::build(exporting::exportSourceOf(design), {}, "new.vok");
    const char* expected[] = {"", "", "a_b", "__ __"};
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t t = 0; t < 3; ++t)
            EXPECT_EQ(document.rows()[i].labels[t], expected[i]) << i << " " << t;
    exporting::NoProgress progress;
    EXPECT_EQ(exporting::renderTable(document, exporting::TableFormat::Csv, progress).find("__________"),
              std::string::npos);
}

TEST(TableDocument, EmptyDesignGivesTheHeadsAlone)
{
    model::Design design;
    exporttest::setDefaultTitles(design);
    const exporting::TableDocument document =
        exporting::TableDocument::build(exporting::exportSourceOf(design), {}, "Untitled");
    EXPECT_TRUE(document.rows().empty());
    exporting::NoProgress progress;
    EXPECT_EQ(exporting::renderTable(document, exporting::TableFormat::Csv, progress),
              "\xEF\xBB\xBFNo.,Level,Functional Requirements,Design Parameters,Process Variables\r\n");
    for (exporting::TableFormat format : exporting::kTableFormats)
        EXPECT_FALSE(exporting::renderTable(document, format, progress).empty()) << exporting::formatName(format);
}

} // namespace
