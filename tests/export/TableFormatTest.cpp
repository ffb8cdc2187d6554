// The five formats: names on the command line, extensions, and which format
// and path a name chosen in the save dialog gives.
#include "export/TableFormat.h"

#include <gtest/gtest.h>

using exporting::TableFormat;
using exporting::TableTarget;

namespace {

TEST(TableFormat, CommandLineNamesInAnyCaseAndNothingElse)
{
    for (TableFormat format : exporting::kTableFormats) {
        EXPECT_EQ(exporting::formatNamed(exporting::formatName(format)), format);
        std::string name = "x";
        name += exporting::extensionOf(format);
        EXPECT_EQ(exporting::formatOfPath(name), format);
    }
    EXPECT_EQ(exporting::formatNamed("PDF"), TableFormat::Pdf);
    EXPECT_EQ(exporting::formatNamed("Md"), TableFormat::Markdown);
    for (const char* name : {"", "rtf", "htm", "markdown", "odtx", "pd"})
        EXPECT_EQ(exporting::formatNamed(name), std::nullopt) << name;
}

struct TargetCase {
    const char* name;
    const char* chosen;
    TableFormat filter;
    TableTarget expected;
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.name; }

class ChosenTarget : public testing::TestWithParam<TargetCase> {};

TEST_P(ChosenTarget, FormatFollowsTheExtensionElseTheFilter)
{
    const TargetCase& c = GetParam();
    EXPECT_EQ(exporting::resolveTarget(c.chosen, c.filter), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChosenTarget,
    testing::Values(
        TargetCase{"ExtensionOfTheFilter", "/d/pump.odt", TableFormat::Odt, {"/d/pump.odt", TableFormat::Odt}},
        TargetCase{"ExtensionWinsOverFilter", "/d/pump.csv", TableFormat::Odt, {"/d/pump.csv", TableFormat::Csv}},
        TargetCase{"ExtensionInCapitals", "/d/PUMP.PDF", TableFormat::Html, {"/d/PUMP.PDF", TableFormat::Pdf}},
        TargetCase{"HtmAndMarkdownExtensions", "/d/a.htm", TableFormat::Csv, {"/d/a.htm", TableFormat::Html}},
        TargetCase{"LongMarkdownExtension", "/d/a.markdown", TableFormat::Csv, {"/d/a.markdown", TableFormat::Markdown}},
        TargetCase{"NoExtensionGetsTheFilters", "/d/pump", TableFormat::Markdown, {"/d/pump.md", TableFormat::Markdown}},
        TargetCase{"OtherExtensionKeptAndFiltersAdded", "/d/pump.v2", TableFormat::Pdf, {"/d/pump.v2.pdf", TableFormat::Pdf}},
        TargetCase{"TrailingDot", "/d/pump.", TableFormat::Csv, {"/d/pump.csv", TableFormat::Csv}},
        TargetCase{"DotInFolderOnly", "/d/v1.odt/pump", TableFormat::Html, {"/d/v1.odt/pump.html", TableFormat::Html}},
        TargetCase{"HiddenFileNameIsNoExtension", "/d/.pdf", TableFormat::Csv, {"/d/.pdf.csv", TableFormat::Csv}}),
    [](const testing::TestParamInfo<TargetCase>& info) { return std::string(info.param.name); });

} // namespace
