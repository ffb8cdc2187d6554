// Where an export goes.
#include "export/ExportPath.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* name;
    const char* designPath;
    const char* startupDir;
    const char* exportPath;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

class ExportPath : public testing::TestWithParam<PathCase> {};

TEST_P(ExportPath, DerivedFromTheDesignFilePath)
{
    const PathCase& c = GetParam();
    EXPECT_EQ(exporting::exportPathFor(c.designPath, c.startupDir), c.exportPath);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportPath,
    testing::Values(
        PathCase{"ExtensionReplaced", "/home/ann/pump.vok", "/start", "/home/ann/pump.rtf"},
        PathCase{"OnlyTheLastExtension", "/home/ann/pump.old.vok", "/start", "/home/ann/pump.old.rtf"},
        PathCase{"DotInFolderIgnored", "/home/ann/v1.2/pump", "/start", "/home/ann/v1.2/pump.rtf"},
        PathCase{"DotInFolderAndName", "/home/ann/v1.2/pump.vok", "/start", "/home/ann/v1.2/pump.rtf"},
        PathCase{"NoExtensionGetsOneAppended", "/home/ann/pump", "/start", "/home/ann/pump.rtf"},
        PathCase{"HiddenFileIsNotAnExtension", "/home/ann/.design", "/start", "/home/ann/.design.rtf"},
        PathCase{"HiddenFileWithExtension", "/home/ann/.pump.vok", "/start", "/home/ann/.pump.rtf"},
        PathCase{"TrailingDot", "/home/ann/pump.", "/start", "/home/ann/pump.rtf"},
        PathCase{"RtfDesignNameKept", "/home/ann/pump.rtf", "/start", "/home/ann/pump.rtf"},
        PathCase{"RelativeName", "pump.vok", "/start", "pump.rtf"},
        PathCase{"RelativeFolderWithDots", "../designs/pump", "/start", "../designs/pump.rtf"},
        PathCase{"NoFilePathUsesStartupDir", "", "/home/ann/start", "/home/ann/start/Output.rtf"},
        PathCase{"StartupDirWithSlash", "", "/home/ann/start/", "/home/ann/start/Output.rtf"},
        PathCase{"StartupDirRoot", "", "/", "/Output.rtf"},
        PathCase{"NoStartupDir", "", "", "Output.rtf"}),
    [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

} // namespace
