// The design matrices in the documents: which matrices, in which order, with
// which heads, marks and classification lines; the RTF tables read back by
// unrtf; and a design without an assessed cell exported as it always was.
#include "ExportTestSupport.h"

#include "export/MatrixTables.h"
#include "export/RtfExport.h"
#include "export/TableDocument.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextTable>

#include <gtest/gtest.h>

using namespace exporttest;
using model::CellValue;
using model::MatrixKind;

namespace {

// 1 PumpF       top level: Pump, Motor, Frame
//   1.1 SealF   below Pump: Seal, Shaft
//   1.2 ShaftF  below Frame: Foot, Bolt (no cell: not shown)
// 2 MotorF
// 3 FrameF
//   3.1 FootF
//   3.2 BoltF
class MatrixExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        setDefaultTitles(design);
        fillDesign(design, {{0, "1 Pump"}, {1, "1.1 Seal"}, {1, "1.2 Shaft"}, {0, "2 Motor"}, {0, "3 Frame"},
                            {1, "3.1 Foot"}, {1, "3.2 Bolt"}});
        design.setMatrixCell(0, MatrixKind::DpPv, 1, 0, CellValue::X);
        design.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 0, 2, CellValue::X);
        design.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 2, 0, CellValue::X);
        design.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 1, 0, CellValue::O);
    }

    exporting::ExportSource source() const { return exporting::exportSourceOf(design); }

    model::Design design;
};

TEST_F(MatrixExport, TablesOfEveryParentWithACellInRowOrderBothKinds)
{
    const std::vector<exporting::DesignMatrix> tables = exporting::matrixTables(source());
    ASSERT_EQ(tables.size(), 4u);
    EXPECT_EQ(tables[0].caption, "Top level FR-DP");
    EXPECT_EQ(tables[1].caption, "Top level DP-PV");
    EXPECT_EQ(tables[2].caption, "1 FR-DP");
    EXPECT_EQ(tables[3].caption, "1 DP-PV");

    const exporting::DesignMatrix& top = tables[0];
    EXPECT_EQ(top.rowHeads, (std::vector<std::string>{"1 PumpF", "2 MotorF", "3 FrameF"}));
    EXPECT_EQ(top.columnHeads, (std::vector<std::string>{"1", "2", "3"}));
    using M = exporting::MatrixMark;
    EXPECT_EQ(top.marks, (std::vector<M>{M::X, M::Blank, M::X, M::O, M::X, M::Blank, M::X, M::Blank, M::X}));
    EXPECT_EQ(top.classification, "3 of 6 cells not assessed; 1 and 3 already affect each other");
    // The DP-PV matrix is headed by the DP labels.
    EXPECT_EQ(tables[3].rowHeads, (std::vector<std::string>{"1.1 SealD", "1.2 ShaftD"}));
    EXPECT_EQ(tables[3].columnHeads, (std::vector<std::string>{"1.1", "1.2"}));
    EXPECT_EQ(tables[3].classification, "1 of 2 cells not assessed");

    // Complete it: the classification follows.
    design.setMatrixCell(0, MatrixKind::DpPv, 0, 1, CellValue::O);
    EXPECT_EQ(exporting::matrixTables(source())[3].classification, "Decoupled: set PV 1.1, then 1.2");
    // The table export carries the same matrices.
    const exporting::TableDocument table = exporting::TableDocument::build(source(), {}, "pump.vok");
    ASSERT_EQ(table.matrices().size(), 4u);
    EXPECT_EQ(table.matrices()[3].classification, "Decoupled: set PV 1.1, then 1.2");
}

TEST_F(MatrixExport, ADesignWithoutCellsExportsAsWithoutMatrices)
{
    model::Design plain;
    setDefaultTitles(plain);
    fillDesign(plain, {{0, "1 Pump"}, {1, "1.1 Seal"}, {1, "1.2 Shaft"}});
    exporting::ExportSource withStore = exporting::exportSourceOf(plain);
    exporting::ExportSource withoutStore = withStore;
    withoutStore.matrices = nullptr;
    const std::string rtf = exporting::renderRtf(withStore, {});
    EXPECT_EQ(rtf, exporting::renderRtf(withoutStore, {}));
    EXPECT_EQ(rtf.find("Design matrices"), std::string::npos);
    EXPECT_TRUE(exporting::TableDocument::build(withStore, {}, "p.vok").matrices().empty());
}

// unrtf turns the RTF tables into HTML tables, which Qt's reader then holds
// as QTextTables: one per matrix, a head row and one row per child.
TEST_F(MatrixExport, RtfTablesReadBackByUnrtf)
{
    const QString unrtf = QStandardPaths::findExecutable("unrtf");
    if (unrtf.isEmpty())
        GTEST_SKIP() << "unrtf is not installed (scripts/install-deps installs it)";
    QTemporaryDir dir;
    const QString path = dir.filePath("m.rtf");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const std::string rtf = exporting::renderRtf(source(), {});
        f.write(rtf.data(), static_cast<qint64>(rtf.size()));
    }
    QProcess process;
    process.start(unrtf, {"--html", path});
    ASSERT_TRUE(process.waitForFinished(10000));
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    QTextDocument document;
    document.setHtml(html);
    const QString text = document.toPlainText();
    EXPECT_TRUE(text.contains("3.2 BoltP\nDesign matrices\nTop level FR-DP")) << text.toStdString();
    EXPECT_TRUE(text.contains("3 of 6 cells not assessed; 1 and 3 already affect each other\nTop level DP-PV")) << text.toStdString();

    std::vector<QTextTable*> tables;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables.push_back(table);
    ASSERT_EQ(tables.size(), 4u) << html.toStdString();
    const auto cellText = [](QTextTable* t, int r, int c) { return t->cellAt(r, c).firstCursorPosition().block().text(); };
    QTextTable* top = tables[0];
    ASSERT_EQ(top->rows(), 4);
    ASSERT_EQ(top->columns(), 4);
    EXPECT_EQ(cellText(top, 0, 0), "FR \\ DP");
    EXPECT_EQ(cellText(top, 0, 3), "3");
    EXPECT_EQ(cellText(top, 1, 0), "1 PumpF");
    EXPECT_EQ(cellText(top, 1, 3), "X");
    EXPECT_EQ(cellText(top, 2, 1), "O");
    EXPECT_EQ(cellText(top, 2, 3), "");
}

} // namespace
