// Every format of the table export read back by a reader we did not write:
// Qt's HTML and Markdown readers, Python's csv module, pdftotext, and
// LibreOffice for the ODT and the web page (skipped when it is not
// installed). Each must give back every row's number and three labels in
// order, accents intact, and the design matrix behind the table.
#include "TableTestSupport.h"

#include "export/TableExport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <gtest/gtest.h>

using namespace tabletest;
using exporting::TableFormat;

namespace exporting {
inline void PrintTo(TableFormat format, std::ostream* os) { *os << formatName(format); }
} // namespace exporting

namespace {

const QChar kNoBreakSpace(0x00A0);

std::string render(TableFormat format, bool withMatrix = true)
{
    static const std::unique_ptr<model::Design> design = sampleDesign();
    exporting::TableDocument document = sampleDocument(*design);
    if (withMatrix)
        document.setMatrices({sampleMatrix()});
    exporting::NoProgress progress;
    return exporting::renderTable(document, format, progress);
}

QString writeFile(const QTemporaryDir& dir, const char* name, const std::string& bytes)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

// The design table as the readers must give it: heads, then the sample rows.
std::vector<QStringList> expectedTable()
{
    std::vector<QStringList> rows{{"No.", "Functions", "Means", "Processes"}};
    for (const QStringList& row : expectedRows())
        rows.push_back(row);
    return rows;
}

const std::vector<QStringList> kExpectedMatrix = {
    {"", "DP 1.2.1", "DP 1.2.2"}, {"FR 1.2.1 café", "X", ""}, {"FR 1.2.2", "O", "X"}};

// --- Qt's own readers: the web page and Markdown --------------------------------------

std::vector<QTextTable*> tablesOf(QTextDocument& doc)
{
    std::vector<QTextTable*> tables;
    for (QTextFrame* frame : doc.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables.push_back(table);
    return tables;
}

QString cellText(QTextTable* table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

// The format of a cell's first character.
QTextCharFormat cellFormat(QTextTable* table, int row, int column)
{
    QTextCursor cursor = table->cellAt(row, column).firstCursorPosition();
    cursor.movePosition(QTextCursor::NextCharacter);
    return cursor.charFormat();
}

std::vector<QStringList> rowsOf(QTextTable* table, bool trimIndent = false)
{
    std::vector<QStringList> rows;
    for (int r = 0; r < table->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columns(); ++c) {
            QString text = cellText(table, r, c);
            while (trimIndent && text.startsWith(kNoBreakSpace))
                text.remove(0, 1);
            cells << text;
        }
        rows.push_back(cells);
    }
    return rows;
}

TEST(TableReadBack, WebPageThroughQtsHtmlReaderHasEveryRowColourIndentAndBold)
{
    QTextDocument doc;
    doc.setHtml(QString::fromStdString(render(TableFormat::Html)));
    EXPECT_EQ(doc.metaInformation(QTextDocument::DocumentTitle), "pump café.vok");
    const std::vector<QTextTable*> tables = tablesOf(doc);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(rowsOf(tables[0]), expectedTable());
    EXPECT_EQ(rowsOf(tables[1]), kExpectedMatrix);

    // Rows 1 to 5 are levels 0, 1, 2, 1, 0; every label of a row alike.
    for (int column = 1; column <= 3; ++column) {
        EXPECT_EQ(cellFormat(tables[0], 1, column).fontWeight(), QFont::Bold);
        EXPECT_FALSE(cellFormat(tables[0], 1, column).hasProperty(QTextFormat::ForegroundBrush)); // automatic
        EXPECT_EQ(cellFormat(tables[0], 2, column).foreground().color(), QColor(255, 0, 0));
        EXPECT_EQ(cellFormat(tables[0], 3, column).foreground().color(), QColor(0x00, 0x78, 0xD7));
        EXPECT_NE(cellFormat(tables[0], 2, column).fontWeight(), QFont::Bold);
        const auto margin = [&](int row) { return tables[0]->cellAt(row, column).firstCursorPosition().blockFormat().leftMargin(); };
        EXPECT_EQ(margin(1), 0);
        EXPECT_GT(margin(2), margin(1));
        EXPECT_GT(margin(3), margin(2));
    }
}

TEST(TableReadBack, MarkdownThroughQtsReaderKeepsEscapedCharactersAndIndentsTheRequirement)
{
    QTextDocument doc;
    doc.setMarkdown(QString::fromStdString(render(TableFormat::Markdown)), QTextDocument::MarkdownDialectGitHub);
    const std::vector<QTextTable*> tables = tablesOf(doc);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(rowsOf(tables[0], true), expectedTable());
    EXPECT_EQ(rowsOf(tables[1]), kExpectedMatrix);
    for (std::size_t i = 0; i < sampleRows().size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        const int level = sampleRows()[i].level;
        EXPECT_TRUE(cellText(tables[0], row, 1).startsWith(QString(4 * level, kNoBreakSpace) + sampleRows()[i].label[0]))
            << row;
        EXPECT_FALSE(cellText(tables[0], row, 2).startsWith(kNoBreakSpace)) << row; // only FR is indented
        EXPECT_EQ(cellFormat(tables[0], row, 2).fontWeight() == QFont::Bold, level == 0) << row;
    }
}

// --- Python's csv module -----------------------------------------------------------

TEST(TableReadBack, CsvThroughPythonHasHeadsEveryRowWithItsLevelAndTheMatrix)
{
    const std::string csv = render(TableFormat::Csv);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(csv.find("\n"), csv.find("\r\n") + 1); // records end in CR LF
    QTemporaryDir dir;
    QString error;
    const std::vector<QStringList> records = readCsvWithPython(writeFile(dir, "t.csv", csv), &error);
    ASSERT_EQ(error, "");

    std::vector<QStringList> expected{{"No.", "Level", "Functions", "Means", "Processes"}};
    for (const SampleRow& row : sampleRows())
        expected.push_back({row.number, QString::number(row.level), row.label[0], row.label[1], row.label[2]});
    expected.back()[4] = "'-5 V supply"; // a leading minus could start a formula: the apostrophe keeps it text
    expected.insert(expected.end(), {{}, {"Design matrices"}, {}, {"1.2 FR-DP"}});
    expected.insert(expected.end(), kExpectedMatrix.begin(), kExpectedMatrix.end());
    expected.push_back({"Decoupled"});
    EXPECT_EQ(records, expected);
}

// --- Python's zipfile and XML reader: the ODT package we write ourselves ---------------

TEST(TableReadBack, OdtThroughPythonHasTitleEveryRowAndTheMatrix)
{
    QTemporaryDir dir;
    QString error;
    const OdtText odt = readOdtWithPython(writeFile(dir, "t.odt", render(TableFormat::Odt)), &error);
    ASSERT_EQ(error, "");
    QStringList expected{"pump café.vok"};
    for (const QStringList& row : expectedTable())
        expected << row.join(" | ");
    expected << "Design matrices" << "1.2 FR-DP";
    for (const QStringList& row : kExpectedMatrix)
        expected << row.join(" | ");
    expected << "Decoupled";
    EXPECT_EQ(odt.lines, expected);
}

// --- pdftotext ---------------------------------------------------------------------

// True when `line` holds the texts one after another, left to right.
bool holdsInOrder(const QString& line, const QStringList& texts)
{
    qsizetype from = 0;
    for (const QString& text : texts) {
        const qsizetype at = line.indexOf(text, from);
        if (at < 0)
            return false;
        from = at + text.size();
    }
    return true;
}

TEST(TableReadBack, PdfThroughPdftotextHasEveryRowOnALineInOrder)
{
    QTemporaryDir dir;
    QString error;
    const std::vector<QString> pages = pdfPages(writeFile(dir, "t.pdf", render(TableFormat::Pdf)), &error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(pages.size(), 1u);
    const QStringList lines = pages[0].split('\n');
    for (const QStringList& row : expectedTable()) {
        const bool found = std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return holdsInOrder(l, row); });
        EXPECT_TRUE(found) << row.join(" | ").toStdString();
    }
    for (const char* text : {"pump café.vok", "Design matrices", "1.2 FR-DP", "Decoupled", "Page 1 of 1"})
        EXPECT_TRUE(pages[0].contains(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const QString& l) { return holdsInOrder(l, {"FR 1.2.2", "O", "X"}); }));
}

// --- LibreOffice -------------------------------------------------------------------

std::vector<QStringList> textsOf(const OdtTable& table)
{
    std::vector<QStringList> rows;
    for (const auto& row : table) {
        QStringList cells;
        for (const OdtCell& cell : row)
            cells << cell.text;
        rows.push_back(cells);
    }
    return rows;
}

class LibreOfficeTableReadBack : public testing::TestWithParam<TableFormat> {};

TEST_P(LibreOfficeTableReadBack, OpensWithEveryRowColouredAndTheMatrix)
{
    if (!libreOfficeInstalled())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir dir;
    std::string name = "t";
    name += exporting::extensionOf(GetParam());
    QString error;
    const std::vector<OdtTable> tables =
        readTablesWithLibreOffice(writeFile(dir, name.c_str(), render(GetParam())), dir.path(), &error);
    ASSERT_EQ(tables.size(), 2u) << error.toStdString();
    EXPECT_EQ(textsOf(tables[0]), expectedTable());
    EXPECT_EQ(textsOf(tables[1]), kExpectedMatrix);
    ASSERT_EQ(tables[0].size(), expectedTable().size());
    for (std::size_t column = 1; column <= 3; ++column) {
        EXPECT_TRUE(tables[0][1][column].bold);
        EXPECT_EQ(tables[0][2][column].colour, "#ff0000");
        EXPECT_EQ(tables[0][3][column].colour, "#0078d7");
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, LibreOfficeTableReadBack, testing::Values(TableFormat::Odt, TableFormat::Html),
                         [](const testing::TestParamInfo<TableFormat>& info) {
                             return std::string(exporting::formatName(info.param));
                         });

} // namespace
