// The full matrices in the documents: after the sibling matrices, over the
// leaf rows, an O implied by a pair above as "o", the classification over
// the leaves; past model::kMostFullLeaves the caption and classification alone.
#include "ExportTestSupport.h"
#include "RtfReadBack.h"

#include "export/MarkdownTableWriter.h"
#include "export/MatrixTables.h"
#include "export/RtfExport.h"
#include "export/TableDocument.h"
#include "model/FullMatrix.h"

#include <gtest/gtest.h>

using namespace exporttest;
using model::CellValue;
using model::MatrixKind;

namespace {

// 1 Pump         leaves 1.1, 1.2 and 2
//   1.1 Seal
//   1.2 Shaft
// 2 Motor
// FR 1 against DP 2 is O, so 1.1 and 1.2 against 2 are O without a cell;
// FR 2 against DP 1.1 is X through a cross cell.
class FullMatrixExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        setDefaultTitles(design);
        fillDesign(design, {{0, "Pump"}, {1, "Seal"}, {1, "Shaft"}, {0, "Motor"}});
        design.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 0, 1, CellValue::O);
        design.setMatrixCell(0, MatrixKind::FrDp, 0, 1, CellValue::O);
        design.setCrossCell(MatrixKind::FrDp, 3, 1, CellValue::X);
    }

    model::Design design;
};

TEST_F(FullMatrixExport, MarkdownShowsBothFullMatricesAfterTheOthers)
{
    const std::string md =
        exporting::renderMarkdown(exporting::TableDocument::build(exporting::exportSourceOf(design), {}, "t.vok"));
    const std::size_t full = md.find("**Full FR-DP**");
    ASSERT_NE(full, std::string::npos) << md;
    EXPECT_NE(md.rfind("**1 DP-PV**", full), std::string::npos) << "the sibling matrices come first";
    EXPECT_EQ(md.substr(full, md.find("**Full DP-PV**") - full), "**Full FR-DP**\n"
                                                                 "\n"
                                                                 "|  | 1.1 | 1.2 | 2 |\n"
                                                                 "|---|:-:|:-:|:-:|\n"
                                                                 "| 1.1 SealF | X | O | o |\n"
                                                                 "| 1.2 ShaftF |  | X | o |\n"
                                                                 "| 2 MotorF | X |  | X |\n"
                                                                 "\n"
                                                                 "2 of 6 cells not assessed\n"
                                                                 "\n");
    // Rows headed by the DP labels, nothing assessed.
    EXPECT_NE(md.find("| 1.1 SealD | X |  |  |\n", full), std::string::npos);
    EXPECT_NE(md.find("6 of 6 cells not assessed\n", full), std::string::npos);
}

TEST_F(FullMatrixExport, RtfShowsTheFullMatrixAfterTheOthers)
{
    const readback::Document doc = readback::read(exporting::renderRtf(exporting::exportSourceOf(design), {}));
    ASSERT_EQ(doc.error, "");
    std::vector<std::string> texts;
    for (const readback::Paragraph& p : doc.paragraphs)
        texts.push_back(p.text);
    const auto caption = std::find(texts.begin(), texts.end(), "Full FR-DP");
    ASSERT_NE(caption, texts.end());
    EXPECT_NE(std::find(texts.begin(), caption, "1 DP-PV"), caption) << "the sibling matrices come first";
    // The reader knows no tables: the cells run together, row by row, up to the classification.
    ASSERT_LT(caption + 1, texts.end());
    EXPECT_EQ(caption[1], "FR \\ DP" "1.1" "1.2" "2"
                          "1.1 SealF" "X" "O" "o"
                          "1.2 ShaftF" "X" "o"
                          "2 MotorF" "X" "X"
                          "2 of 6 cells not assessed");
}

// Past the limit a grid would grow with the square of the leaves: caption and class only.
TEST(FullMatrixTables, PastTheLeafLimitHaveNoGrid)
{
    model::Design design;
    Outline outline = {{0, "Pump"}};
    for (int i = 0; i < model::kMostFullLeaves; ++i)
        outline.push_back({1, "Part"});
    outline.push_back({0, "Motor"});
    fillDesign(design, outline);
    design.setCrossCell(MatrixKind::DpPv, 1, model::kMostFullLeaves + 1, CellValue::O);
    const std::vector<exporting::DesignMatrix> tables = exporting::matrixTables(exporting::exportSourceOf(design));
    ASSERT_EQ(tables.size(), 2u);
    const exporting::DesignMatrix& dpPv = tables[1];
    EXPECT_EQ(dpPv.caption, "Full DP-PV");
    EXPECT_TRUE(dpPv.listed && dpPv.cells.empty() && dpPv.marks.empty() && dpPv.rowHeads.empty());
    EXPECT_EQ(dpPv.classification, "160399 of 160400 cells not assessed"); // 401 leaves x 400, one assessed
}

} // namespace
