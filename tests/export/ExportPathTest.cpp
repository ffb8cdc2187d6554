// Where an export goes, and where it must not.
#include "export/ExportPath.h"
#include "model/UserError.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

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

// --- targets an export refuses ---------------------------------------------------

namespace {

struct TargetCase {
    const char* name;
    const char* target; // in the test's folder, which holds design.vok, other.csv and the FIFO pipe.csv
    const char* design; // "" for a design never saved
    const char* error;  // %s is the target as given; "" when the export may go ahead
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.name; }

class ExportTarget : public testing::TestWithParam<TargetCase> {};

// The command lines (tests/app) try symlinks and hard links through the
// program; here the cases that must go ahead, and spellings the strings hide.
TEST_P(ExportTarget, RefusedOnlyWhereAnExportMustNotGo)
{
    const TargetCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"design.vok", "other.csv"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("pipe.csv")).constData(), 0600), 0);
    const std::string folder = dir.path().toStdString() + '/';
    const std::string target = folder + c.target;
    const std::string design = *c.design ? folder + c.design : "";

    std::string error;
    try {
        exporting::refuseUnsafeTarget(target, design);
    } catch (const model::UserError& e) {
        error = e.what();
    }
    std::string expected = c.error;
    if (const std::size_t at = expected.find("%s"); at != std::string::npos)
        expected.replace(at, 2, target);
    EXPECT_EQ(error, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportTarget,
    testing::Values(TargetCase{"NothingThereYet", "new.csv", "design.vok", ""},
                    TargetCase{"AnotherFile", "other.csv", "design.vok", ""},
                    TargetCase{"UnsavedDesignOverAFile", "other.csv", "", ""},
                    TargetCase{"TheDesignItself", "design.vok", "design.vok", "Cannot export %s onto itself"},
                    TargetCase{"TheDesignSpelledOtherwise", "./design.vok", "design.vok",
                               "Cannot export %s onto itself"},
                    TargetCase{"Fifo", "pipe.csv", "design.vok", "Cannot create file %s"},
                    TargetCase{"FifoForAnUnsavedDesign", "pipe.csv", "", "Cannot create file %s"},
                    TargetCase{"Folder", ".", "design.vok", "Cannot create file %s"}),
    [](const testing::TestParamInfo<TargetCase>& info) { return std::string(info.param.name); });

} // namespace
