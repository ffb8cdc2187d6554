// Writing the table: a stopped export writes nothing, progress is reported
// as rows go by, and `tessaric --export FORMAT DESIGN.vok [OUT]` with a
// design loader of the test's own.
#include "TableTestSupport.h"

#include "export/AtomicFileWriter.h"
#include "export/TableExport.h"
#include "export/TableExportCommand.h"
#include "model/Cp1252.h"
#include "model/UserError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

using namespace tabletest;
using exporting::TableFormat;

namespace exporting {
inline void PrintTo(TableFormat format, std::ostream* os) { *os << formatName(format); }
} // namespace exporting

namespace {

class RecordingWriter : public exporting::FileWriter {
public:
    void writeFile(const std::string& path, std::string_view bytes) override { written[path] = bytes; }
    std::map<std::string, std::string> written;
};

// Answers "go on" until the `stopAt`th report (counted from 1), and "stop"
// from then on; or "stop" only while the export is busy without steps.
class ScriptedProgress : public exporting::ExportProgress {
public:
    explicit ScriptedProgress(int stopAt, bool onlyWhenBusy = false) : m_stopAt(stopAt), m_onlyWhenBusy(onlyWhenBusy) {}
    bool report(std::int64_t done, std::int64_t total) override
    {
        reports.push_back({done, total});
        if (m_onlyWhenBusy)
            return total != 0;
        return static_cast<int>(reports.size()) < m_stopAt;
    }
    std::vector<std::pair<std::int64_t, std::int64_t>> reports;

private:
    int m_stopAt;
    bool m_onlyWhenBusy;
};

// Rows enough for several progress reports.
std::unique_ptr<model::Design> longDesign(int rows)
{
    auto design = std::make_unique<model::Design>();
    exporttest::Outline outline;
    for (int row = 0; row < rows; ++row)
        outline.push_back({row % 3, "label " + std::to_string(row)});
    exporttest::fillDesign(*design, outline);
    return design;
}

class StoppedExport : public testing::TestWithParam<TableFormat> {};

TEST_P(StoppedExport, WritesNothing)
{
    const std::unique_ptr<model::Design> design = sampleDesign();
    RecordingWriter writer;
    ScriptedProgress progress(1);
    EXPECT_THROW(exporting::exportTable(sampleDocument(*design), GetParam(), "/x/t", writer, progress),
                 exporting::ExportCancelled);
    EXPECT_TRUE(writer.written.empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, StoppedExport, testing::ValuesIn(exporting::kTableFormats),
                         [](const testing::TestParamInfo<TableFormat>& info) {
                             return std::string(exporting::formatName(info.param));
                         });

TEST(TableExportProgress, LongExportsReportRowsAndStopAtOnceWhenAsked)
{
    const std::unique_ptr<model::Design> design = longDesign(3 * exporting::kRowsPerReport);
    const exporting::TableDocument document = sampleDocument(*design);
    for (TableFormat format : {TableFormat::Odt, TableFormat::Pdf}) {
        ScriptedProgress goOn(INT_MAX);
        EXPECT_FALSE(exporting::renderTable(document, format, goOn).empty());
        ASSERT_GE(goOn.reports.size(), 3u) << exporting::formatName(format);
        std::int64_t last = 0;
        for (const auto& [done, total] : goOn.reports) {
            if (total == 0)
                continue; // busy writing
            EXPECT_GE(done, last);
            EXPECT_LE(done, total);
            last = done;
        }
        EXPECT_EQ(goOn.reports.back().first, goOn.reports.back().second);

        ScriptedProgress stop(2);
        EXPECT_THROW(exporting::renderTable(document, format, stop), exporting::ExportCancelled);
        EXPECT_EQ(stop.reports.size(), 2u) << exporting::formatName(format);
    }
}

// What a full disk was told; the test keeps it, as the export owns the writer
// and lets it go before the test looks.
struct DiskOutcome {
    bool committed = false;
    bool cancelled = false;
};

// A disk that takes `room` bytes and then no more, like a full one.
class FullDisk : public io::AtomicWriter {
public:
    FullDisk(std::int64_t room, DiskOutcome& outcome) : m_room(room), m_outcome(outcome) {}
    bool open(const std::string&) override { return true; }
    std::int64_t write(const char*, std::int64_t size) override
    {
        const std::int64_t n = std::min(size, m_room);
        m_room -= n;
        return n;
    }
    bool commit() override { return m_outcome.committed = true; }
    void cancelWriting() override { m_outcome.cancelled = true; }

private:
    std::int64_t m_room;
    DiskOutcome& m_outcome;
};

// ODT and PDF go into the file while they are made: a stop or a full disk
// half way must still leave the old file, and no temporary file behind.
class StreamedExport : public testing::TestWithParam<TableFormat> {};

TEST_P(StreamedExport, HalfWayLeavesTheOldFileAlone)
{
    const std::unique_ptr<model::Design> design = longDesign(4 * exporting::kRowsPerReport);
    const exporting::TableDocument document = sampleDocument(*design);
    QTemporaryDir dir;
    const QString path = dir.filePath("t");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    exporting::AtomicFileWriter files;
    ScriptedProgress stop(3);
    EXPECT_THROW(exporting::exportTable(document, GetParam(), path.toStdString(), files, stop),
                 exporting::ExportCancelled);
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"t"});

    DiskOutcome disk;
    exporting::AtomicFileWriter full([&disk] { return std::make_unique<FullDisk>(1000, disk); });
    exporting::NoProgress progress;
    try {
        exporting::exportTable(document, GetParam(), "/d/t", full, progress);
        ADD_FAILURE() << "a full disk went unnoticed";
    } catch (const model::UserError& e) {
        EXPECT_STREQ(e.what(), "Cannot create file /d/t");
    }
    EXPECT_TRUE(disk.cancelled);
    EXPECT_FALSE(disk.committed);
}

INSTANTIATE_TEST_SUITE_P(Formats, StreamedExport, testing::Values(TableFormat::Odt, TableFormat::Pdf),
                         [](const testing::TestParamInfo<TableFormat>& info) {
                             return std::string(exporting::formatName(info.param));
                         });

// Two exports of one design are the same bytes, the PDF's too (it carries no date).
class RepeatedExport : public testing::TestWithParam<TableFormat> {};

TEST_P(RepeatedExport, SameDesignGivesTheSameBytes)
{
    const std::unique_ptr<model::Design> design = sampleDesign();
    exporting::TableDocument document = sampleDocument(*design);
    document.setMatrices({sampleMatrix()});
    exporting::NoProgress progress;
    const std::string first = exporting::renderTable(document, GetParam(), progress);
    EXPECT_EQ(exporting::renderTable(document, GetParam(), progress), first);
    EXPECT_EQ(first.find("/CreationDate"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Formats, RepeatedExport, testing::ValuesIn(exporting::kTableFormats),
                         [](const testing::TestParamInfo<TableFormat>& info) {
                             return std::string(exporting::formatName(info.param));
                         });

// --- CSV cells a spreadsheet would run as formulas ---------------------------------

struct CsvCellCase {
    const char* name;
    const char* text;  // put in every text cell
    const char* field; // each of those cells as the CSV holds it
};

void PrintTo(const CsvCellCase& c, std::ostream* os) { *os << c.name; }

class CsvCell : public testing::TestWithParam<CsvCellCase> {};

// Every text cell: the column titles, the labels of all three trees, and the
// matrix's caption, heads and classification.
TEST_P(CsvCell, IsWrittenAsTextInEveryPlace)
{
    const CsvCellCase& c = GetParam();
    model::Design design;
    for (model::TreeId id : model::kAllTrees) {
        design.setTitle(id, c.text);
        design.tree(id).appendTopLevel(c.text);
    }
    exporting::TableDocument document =
        exporting::TableDocument::build(exporting::exportSourceOf(design), {}, "t.vok");
    const std::string text = model::cp1252ToUtf8(c.text); // a document's texts are UTF-8
    document.setMatrices({exporting::DesignMatrix{text, {text}, {text}, {exporting::MatrixMark::X}, text}});
    exporting::NoProgress progress;
    const std::string f = c.field;
    EXPECT_EQ(exporting::renderTable(document, TableFormat::Csv, progress),
              "\xEF\xBB\xBFNo.,Level," + f + ',' + f + ',' + f + "\r\n1,0," + f + ',' + f + ',' + f
                  + "\r\n\r\nDesign matrices\r\n\r\n" + f + "\r\n," + f + "\r\n" + f + ",X\r\n" + f + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvCell,
    testing::Values(CsvCellCase{"Equals", "=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
                    CsvCellCase{"Plus", "+1+1", "'+1+1"},
                    CsvCellCase{"Minus", "-5 V supply", "'-5 V supply"},
                    CsvCellCase{"At", "@SUM(A1:A9)", "'@SUM(A1:A9)"},
                    CsvCellCase{"Tab", "\t=1", "'\t=1"},
                    CsvCellCase{"CarriageReturnIsQuotedAroundTheApostrophe", "\r=1", "\"'\r=1\""},
                    CsvCellCase{"QuotesDoubledBehindTheApostrophe", "=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
                    CsvCellCase{"FormulaLaterInTheText", "Pump =1+1", "Pump =1+1"},
                    CsvCellCase{"AccentedFormula", "=caf\xE9", "'=caf\xC3\xA9"}),
    [](const testing::TestParamInfo<CsvCellCase>& info) { return std::string(info.param.name); });

// --- the command line -------------------------------------------------------------

class TableExportCommand : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    std::string inDir(const char* name) const { return m_dir.filePath(name).toStdString(); }

    // The sample design as if read from its file, level 1 stored red.
    int run(const std::vector<std::string>& args)
    {
        exporting::DesignLoader load = [this](const std::string& path) {
            loadedFrom.push_back(path);
            exporting::LoadedDesign loaded;
            const std::unique_ptr<model::Design> design = sampleDesign();
            for (model::TreeId id : model::kAllTrees) {
                const auto t = static_cast<std::size_t>(model::index(id));
                loaded.titles[t] = design->title(id);
                model::DesignTree& tree = loaded.trees[t];
                tree.assign(std::move(design->tree(id)));
            }
            loaded.levelColours = exporting::levelColourValues(sampleHeader());
            return loaded;
        };
        return exporting::runTableExport(args, m_err, [](std::uint32_t) { return kResolvedBlue; }, load, m_writer);
    }

    QByteArray written(const char* name) const
    {
        QFile file(QString::fromStdString(inDir(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    std::ostringstream m_err;
    exporting::AtomicFileWriter m_writer;
    std::vector<std::string> loadedFrom;
};

TEST_F(TableExportCommand, EachFormatGoesNextToTheDesignWithItsExtension)
{
    const std::pair<const char*, const char*> cases[] = {{"odt", "PK"}, {"html", "<!DOCTYPE html>"}, {"pdf", "%PDF"},
                                                         {"csv", "\xEF\xBB\xBFNo.,Level"}, {"md", "# pump.vok"}};
    for (const auto& [format, start] : cases) {
        m_err.str("");
        EXPECT_EQ(run({format, inDir("pump.vok")}), 0) << m_err.str();
        const std::string name = std::string("pump.") + format;
        EXPECT_TRUE(written(name.c_str()).startsWith(start)) << format;
    }
    EXPECT_EQ(loadedFrom.size(), 5u);
}

TEST_F(TableExportCommand, ColoursComeFromTheStoredLevelStyles)
{
    EXPECT_EQ(run({"HTML", inDir("pump.vok"), inDir("review.htm")}), 0);
    const QByteArray html = written("review.htm");
    EXPECT_TRUE(html.contains("p.l1 { margin-top: 0; margin-bottom: 0; margin-left: 14px; color: #ff0000;")) << html.left(900).toStdString();
    EXPECT_TRUE(html.contains("color: #0078d7;"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(inDir("pump.html"))));
}

TEST_F(TableExportCommand, WrongArgumentsUnknownFormatsAndUnwritableFilesFailWithOneLine)
{
    const std::string usage = "Usage: tessaric --export odt|html|pdf|csv|md|svg DESIGN.vok [OUT]\n";
    const std::string unwritable = inDir("no-such-folder/pump.csv");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, usage},
        {{"csv"}, usage},
        {{"csv", ""}, usage},
        {{"csv", "a.vok", "b.csv", "c"}, usage},
        {{"rtf", "a.vok"}, "Unknown format rtf: use odt, html, pdf, csv, md or svg\n"},
        {{"csv", inDir("pump.vok"), unwritable}, "Cannot create file " + unwritable + "\n"},
    };
    for (const auto& [args, message] : cases) {
        m_err.str("");
        EXPECT_EQ(run(args), 1);
        EXPECT_EQ(m_err.str(), message);
    }
    EXPECT_EQ(loadedFrom.size(), 1u); // only the unwritable case got as far as reading
}

} // namespace
