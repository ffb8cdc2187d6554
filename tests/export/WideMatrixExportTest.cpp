// A level wider than a grid can be: its matrices are lists of their assessed
// cells in every format, and the documents stay as small as the design.
#include "TableTestSupport.h"

#include "export/MatrixTables.h"
#include "export/TableExport.h"
#include "model/MatrixClassification.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tabletest;
using model::CellValue;
using model::MatrixKind;

namespace {

// `rows` top-level rows "r1", "r2", ...; FR-DP cell (row 1, column 7) X.
std::unique_ptr<model::Design> wideDesign(int rows)
{
    auto design = std::make_unique<model::Design>();
    exporttest::setDefaultTitles(*design);
    exporttest::Outline outline;
    for (int i = 1; i <= rows; ++i)
        outline.push_back({0, "r" + std::to_string(i)});
    exporttest::fillDesign(*design, outline);
    design->setMatrixCell(model::kNoRow, MatrixKind::FrDp, 0, 6, CellValue::X);
    return design;
}

TEST(WideMatrix, GridUpToThePanesLimitListOfCellsAbove)
{
    for (const int rows : {model::kMostGridRows, model::kMostGridRows + 1}) {
        const std::unique_ptr<model::Design> design = wideDesign(rows);
        const std::vector<exporting::DesignMatrix> tables =
            exporting::matrixTables(exporting::exportSourceOf(*design));
        ASSERT_EQ(tables.size(), 2u);
        const exporting::DesignMatrix& frDp = tables[0];
        const bool listed = rows > model::kMostGridRows;
        EXPECT_EQ(frDp.listed, listed) << rows;
        EXPECT_EQ(frDp.marks.size(), listed ? 0u : static_cast<std::size_t>(rows) * rows) << rows;
        ASSERT_EQ(frDp.cells.size(), listed ? 1u : 0u) << rows;
        const std::uint64_t offDiagonal = std::uint64_t(rows) * (rows - 1);
        EXPECT_EQ(frDp.classification, std::to_string(offDiagonal - 1) + " of " + std::to_string(offDiagonal) +
                                           " cells not assessed");
        if (listed) {
            EXPECT_EQ(exporting::listedCellLine(frDp.cells[0]), "1 → 7: X");
        }
    }
}

// Each format's text as its reader gives it, and the size that grows with a grid.
struct WideExport {
    const char* format;
    std::string text;
    qint64 size;
};

std::string writeAndRead(const QTemporaryDir& dir, exporting::TableFormat format, const std::string& bytes, qint64* size)
{
    const QString path = dir.filePath(QStringLiteral("wide") + QString::fromLatin1(exporting::extensionOf(format).data()));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
    QString error;
    *size = static_cast<qint64>(bytes.size());
    if (format == exporting::TableFormat::Pdf) {
        QString text;
        for (const QString& page : pdfPages(path, &error))
            text += page;
        return text.toStdString();
    }
    if (format == exporting::TableFormat::Odt) {
        const OdtText odt = readOdtWithPython(path, &error);
        EXPECT_EQ(error, "");
        *size = odt.contentSize; // compressed, a grid of blanks would be small
        return odt.lines.join('\n').toStdString();
    }
    return bytes;
}

TEST(WideMatrix, EveryFormatListsTheCellAndStaysSmall)
{
    constexpr int kRows = 2000; // a grid: four million cells
    const std::unique_ptr<model::Design> design = wideDesign(kRows);
    const exporting::ExportSource source = exporting::exportSourceOf(*design);
    const exporting::TableDocument document = exporting::TableDocument::build(source, {}, "wide.vok");
    QTemporaryDir dir;
    std::vector<WideExport> exports;
    const std::string rtf = exporting::renderRtf(source, {});
    exports.push_back({"rtf", rtf, static_cast<qint64>(rtf.size())});
    for (exporting::TableFormat format : exporting::kTableFormats) {
        exporting::NoProgress progress;
        WideExport e{exporting::formatName(format).data(), {}, 0};
        e.text = writeAndRead(dir, format, exporting::renderTable(document, format, progress), &e.size);
        exports.push_back(e);
    }
    for (const WideExport& e : exports) {
        EXPECT_LT(e.size, 600 * kRows) << e.format; // a grid takes a byte a cell at the least
        const std::string line = e.format == std::string("rtf") ? "1 \\u8594? 7: X" : "1 → 7: X";
        EXPECT_NE(e.text.find(line), std::string::npos) << e.format;
        EXPECT_NE(e.text.find("3997999 of 3998000 cells not assessed"), std::string::npos) << e.format;
    }
}

} // namespace
