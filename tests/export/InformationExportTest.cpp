// The information ranges in the documents: the table's three columns and its
// total, and the RTF's "Information content" section.
#include "ExportTestSupport.h"
#include "RtfReadBack.h"

#include "export/MarkdownTableWriter.h"
#include "export/RtfExport.h"
#include "export/TableDocument.h"

#include <gtest/gtest.h>

using namespace exporttest;
using model::SystemKind;

namespace {

model::FrRanges ranges(std::optional<double> lower, std::optional<double> upper, std::string unit, SystemKind kind,
                       double first, double second)
{
    model::FrRanges r;
    r.design = {lower.has_value(), upper.has_value(), lower.value_or(0), upper.value_or(0), std::move(unit)};
    r.system = {kind, first, second};
    return r;
}

// 1 PumpF        a design range alone
//   1.1 SealF    p 0.75
//   1.2 ShaftF   p 0.5, a normal system range (its ± is Windows-1252 0xB1)
// 2 MotorF       p 0
// No matrix is complete: the total is not exact.
class InformationExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        setDefaultTitles(design);
        fillDesign(design, {{0, "1 Pump"}, {1, "1.1 Seal"}, {1, "1.2 Shaft"}, {0, "2 Motor"}});
        design.setRanges(0, ranges(1, std::nullopt, "l/min", SystemKind::None, 0, 0));
        design.setRanges(1, ranges(5, 12, "l/min", SystemKind::Uniform, 6, 14));
        design.setRanges(2, ranges(8.5, std::nullopt, "Nm", SystemKind::Normal, 8.5, 1.2));
        design.setRanges(3, ranges(std::nullopt, 3, "bar", SystemKind::Uniform, 4, 5));
        design.setMatrixCell(0, model::MatrixKind::FrDp, 0, 1, model::CellValue::O);
    }

    model::Design design;
};

TEST_F(InformationExport, TheTableHasTheRangesAndIAfterFrAndTheTotalBeforeTheMatrices)
{
    const std::string md =
        exporting::renderMarkdown(exporting::TableDocument::build(exporting::exportSourceOf(design), {}, "t.vok"));
    EXPECT_EQ(md.substr(0, md.find("## Design matrices")),
              "# t.vok\n\n"
              "| No. | Functional Requirements | Design range | System range | I (bits) | Design Parameters |"
              " Process Variables |\n"
              "|---|---|---|---|---|---|---|\n"
              "| 1 | **PumpF** | at least 1 l/min |  |  | **PumpD** | **PumpP** |\n"
              "| 1.1 | \xC2\xA0\xC2\xA0\xC2\xA0\xC2\xA0SealF | 5 to 12 l/min | uniform 6 to 14 | 0.415 | SealD | SealP |\n"
              "| 1.2 | \xC2\xA0\xC2\xA0\xC2\xA0\xC2\xA0ShaftF | at least 8.5 Nm | normal 8.5 \xC2\xB1 1.2 | 1.000 | ShaftD |"
              " ShaftP |\n"
              "| 2 | **MotorF** | at most 3 bar | uniform 4 to 5 | inf | **MotorD** | **MotorP** |\n"
              "\n"
              "Total: inf bits over 3 FRs (sum over FRs that are not independent)\n"
              "\n");
}

TEST_F(InformationExport, TheRtfEndsWithALinePerRowWithBothRangesAndTheTotal)
{
    const auto paragraphs = [&] {
        const readback::Document doc = readback::read(exporting::renderRtf(exporting::exportSourceOf(design), {}));
        EXPECT_EQ(doc.error, "");
        std::vector<std::string> texts;
        for (const readback::Paragraph& p : doc.paragraphs)
            texts.push_back(p.text);
        return texts;
    };
    const std::vector<std::string> texts = paragraphs();
    const std::vector<std::string> section = {
        "Information content",
        "1.1 SealF: 5 to 12 l/min against uniform 6 to 14: p = 0.750, I = 0.415 bits",
        "1.2 ShaftF: at least 8.5 Nm against normal 8.5 \xB1 1.2: p = 0.500, I = 1.000 bits",
        "2 MotorF: at most 3 bar against uniform 4 to 5: p = 0.000, I = inf bits",
        "Total: inf bits over 3 FRs (sum over FRs that are not independent)",
    };
    ASSERT_GT(texts.size(), section.size());
    EXPECT_EQ(std::vector<std::string>(texts.end() - static_cast<std::ptrdiff_t>(section.size()), texts.end()), section);
    EXPECT_TRUE(texts[texts.size() - section.size() - 1].ends_with("2 of 2 cells not assessed")); // after the matrices

    for (int row = 1; row <= 3; ++row) // design ranges alone: no section
        design.setRanges(row, ranges(1, std::nullopt, {}, SystemKind::None, 0, 0));
    const std::vector<std::string> without = paragraphs();
    EXPECT_EQ(std::find(without.begin(), without.end(), "Information content"), without.end());
}

} // namespace
