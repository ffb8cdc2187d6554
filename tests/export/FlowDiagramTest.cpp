// The flow diagram's layout from a small design whose matrices ask for every
// junction, and the diagram in the table documents.
#include "ExportTestSupport.h"
#include "TableTestSupport.h"

#include "export/FlowDiagram.h"
#include "export/AtomicFileWriter.h"
#include "export/RtfExport.h"
#include "export/TableExport.h"
#include "export/TableDocument.h"

#include <QFile>
#include <QtEndian>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace exporttest;
using exporting::FlowArrow;
using exporting::FlowBox;
using exporting::FlowLayout;
using model::CellValue;
using model::MatrixKind;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Row  0 1 Pump       C: set 1.3, then 1.1, then 1.2
//      1   1.1 Suction   one child: no junction
//      2     1.1.1 Valve
//      3   1.2 Impeller  F: its two children affect each other
//      4     1.2.1 Rim
//      5     1.2.2 Bearing
//      6   1.3 Motor
//      7 2 Frame      S: neither affects the other
//      8   2.1 Base
//      9   2.2 Cover
//     10 3 Panel      ?: one cell of two assessed
//     11   3.1 Switch
//     12   3.2 Lamp
// The top level: no cell assessed, ?.
class FlowDiagram : public ::testing::Test {
protected:
    void SetUp() override
    {
        setDefaultTitles(design);
        fillDesign(design, {{0, "1 Pump"}, {1, "1.1 Suction"}, {2, "1.1.1 Valve"}, {1, "1.2 Impeller"},
                            {2, "1.2.1 Rim"}, {2, "1.2.2 Bearing"}, {1, "1.3 Motor"}, {0, "2 Frame"},
                            {1, "2.1 Base"}, {1, "2.2 Cover"}, {0, "3 Panel"}, {1, "3.1 Switch"}, {1, "3.2 Lamp"}});
        const auto cell = [&](int parent, int row, int column, CellValue value) {
            design.setMatrixCell(parent, MatrixKind::FrDp, row, column, value);
        };
        cell(0, 0, 2, CellValue::X); // DP 1.3 before DP 1.1
        cell(0, 1, 0, CellValue::X); // DP 1.1 before DP 1.2
        for (auto [row, column] : {std::pair{0, 1}, {1, 2}, {2, 0}, {2, 1}})
            cell(0, row, column, CellValue::O);
        cell(3, 0, 1, CellValue::X);
        cell(3, 1, 0, CellValue::X);
        cell(7, 0, 1, CellValue::O);
        cell(7, 1, 0, CellValue::O);
        cell(10, 0, 1, CellValue::X);
        layout = exporting::layoutFlowDiagram(exporting::exportSourceOf(design));
    }

    const FlowBox& box(int row) const
    {
        return *std::find_if(layout.boxes.begin(), layout.boxes.end(), [&](const FlowBox& b) { return b.row == row; });
    }

    model::Design design;
    FlowLayout layout;
};

TEST_F(FlowDiagram, EachMatrixChoosesItsJunctionAndAOneChildParentHasNone)
{
    std::map<int, char> letters;
    for (const exporting::FlowJunction& j : layout.junctions)
        letters[j.parentRow] = static_cast<char>(j.kind);
    EXPECT_EQ(letters, (std::map<int, char>{{-1, '?'}, {0, 'C'}, {3, 'F'}, {7, 'S'}, {10, '?'}}));

    // Every row has its box, a leaf a module box labelled with its number and DP label.
    ASSERT_EQ(layout.boxes.size(), 13u);
    for (int row : {2, 4, 5, 6, 8, 9, 11, 12})
        EXPECT_TRUE(box(row).module) << row;
    const auto texts = [&] {
        QStringList all;
        for (const exporting::FlowText& t : layout.texts)
            all << t.text;
        return all;
    }();
    EXPECT_TRUE(texts.contains("1.2.2 BearingD")) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains("1.1 SuctionD")); // a parent's title

    // Boxes nest as the rows do, and siblings never overlap.
    const model::DesignTree& fr = design.tree(model::TreeId::FR);
    for (const FlowBox& b : layout.boxes) {
        const model::Node* node = fr.nodeAt(b.row);
        if (const model::Node* parent = fr.parentOf(node)) {
            EXPECT_TRUE(box(fr.rowOf(parent)).rect.contains(b.rect)) << b.row;
        }
        if (const model::Node* next = model::DesignTree::nextSibling(node)) {
            EXPECT_FALSE(b.rect.intersects(box(fr.rowOf(next)).rect)) << b.row;
        }
    }
}

TEST_F(FlowDiagram, ControlStandsInTheOrderToSetAndFeedbackArrowsBackFromLastToFirst)
{
    // C: 1.3, 1.1, 1.2 from the top, an arrow from each to the next.
    EXPECT_LT(box(6).rect.bottom(), box(1).rect.top());
    EXPECT_LT(box(1).rect.bottom(), box(3).rect.top());
    const auto rowWith = [&](QPointF p, bool bottom) {
        for (const FlowBox& b : layout.boxes)
            if (std::abs((bottom ? b.rect.bottom() : b.rect.top()) - p.y()) < 0.5 && b.rect.left() < p.x()
                && p.x() < b.rect.right())
                return b.row;
        return -1;
    };
    std::vector<std::pair<int, int>> orders; // from the box the arrow leaves to the one it reaches
    for (const FlowArrow& a : layout.arrows)
        if (a.kind == FlowArrow::Kind::Order)
            orders.push_back({rowWith(a.path.front(), true), rowWith(a.path.back(), false)});
    EXPECT_EQ(orders, (std::vector<std::pair<int, int>>{{6, 1}, {1, 3}}));

    // F: in row order, one arrow from 1.2.2's left side back into 1.2.1's.
    EXPECT_LT(box(4).rect.bottom(), box(5).rect.top());
    const auto feedback = std::count_if(layout.arrows.begin(), layout.arrows.end(),
                                        [](const FlowArrow& a) { return a.kind == FlowArrow::Kind::Feedback; });
    ASSERT_EQ(feedback, 1);
    const FlowArrow& back = *std::find_if(layout.arrows.begin(), layout.arrows.end(),
                                          [](const FlowArrow& a) { return a.kind == FlowArrow::Kind::Feedback; });
    const QRectF last = box(5).rect, first = box(4).rect;
    EXPECT_EQ(back.path.front().x(), last.left());
    EXPECT_TRUE(last.top() < back.path.front().y() && back.path.front().y() < last.bottom());
    EXPECT_EQ(back.path.back().x(), first.left());
    EXPECT_TRUE(first.top() < back.path.back().y() && back.path.back().y() < first.bottom());
    EXPECT_TRUE(back.head);
}

TEST_F(FlowDiagram, APageCutFallsBetweenChildrenWhereItCan)
{
    for (double room : {layout.size.height() / 2, layout.size.height() / 3}) {
        const double cut = exporting::flowCut(layout, 0, room);
        EXPECT_LE(cut, room);
        EXPECT_GT(cut, room / 3);
        for (const FlowBox& b : layout.boxes)
            if (b.module) {
                EXPECT_FALSE(b.rect.top() < cut && cut < b.rect.bottom()) << "cut " << cut << " through row " << b.row;
            }
    }
    EXPECT_EQ(exporting::flowCut(layout, 10, layout.size.height()), layout.size.height());
}

// The documents that hold pictures carry the diagram after the matrices; one
// without an assessed cell has none.
TEST_F(FlowDiagram, TheDocumentsShowItAfterTheMatricesOnlyWhenACellIsAssessed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    model::Design plain;
    fillDesign(plain, {{0, "1 Pump"}, {1, "1.1 Seal"}, {1, "1.2 Shaft"}});
    for (const model::Design* d : {&design, &plain}) {
        const bool shown = d == &design;
        const exporting::TableDocument document =
            exporting::TableDocument::build(exporting::exportSourceOf(*d), {}, "flow.vok");
        exporting::NoProgress progress;

        const std::string html = exporting::renderTable(document, exporting::TableFormat::Html, progress);
        const std::size_t heading = html.find("<h2>Flow diagram</h2>\n<svg ");
        EXPECT_EQ(heading != std::string::npos, shown);
        if (shown) {
            EXPECT_GT(heading, html.find("<h2>Design matrices</h2>"));
            EXPECT_NE(html.find(">1.2.1 RimD</text>", heading), std::string::npos);
        }

        const QString odt = dir.filePath(shown ? "flow.odt" : "plain.odt");
        exporting::AtomicFileWriter writer;
        exporting::exportTable(document, exporting::TableFormat::Odt, odt.toStdString(), writer, progress);
        QString error;
        const tabletest::OdtText text = tabletest::readOdtWithPython(odt, &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(text.lines.contains("Flow diagram"), shown) << text.lines.join('\n').toStdString();
        const QByteArray package = readAll(odt); // the picture is stored as it is
        EXPECT_EQ(package.contains("Pictures/flow1.png") && package.contains("\x89PNG\r\n"), shown);

        const QString pdf = dir.filePath(shown ? "flow.pdf" : "plain.pdf");
        exporting::exportTable(document, exporting::TableFormat::Pdf, pdf.toStdString(), writer, progress);
        const std::vector<QString> pages = tabletest::pdfPages(pdf, &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        const QString all = pages.empty() ? QString() : pages.back();
        EXPECT_EQ(all.contains("Flow diagram") && all.contains("1.2.2 BearingD"), shown) << all.toStdString();
    }
}

} // namespace

namespace {

// A diagram of thousands of modules is drawn into the ODT's pictures at a
// resolution that keeps them to about 24 megapixels in all: at full
// resolution they would take minutes to compress.
TEST(FlowDiagramInOdt, AHugeDiagramIsDrawnWithinAPixelBudget)
{
    model::Design design;
    Outline rows;
    for (int a = 1; a <= 12; ++a) {
        rows.push_back({0, std::to_string(a) + " Unit"});
        for (int b = 1; b <= 20; ++b) {
            rows.push_back({1, std::to_string(a) + "." + std::to_string(b) + " Part"});
            for (int c = 1; c <= 10; ++c)
                rows.push_back({2, std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) + " Piece"});
        }
    }
    fillDesign(design, rows);
    design.setMatrixCell(0, MatrixKind::FrDp, 0, 1, CellValue::X);
    const exporting::TableDocument document =
        exporting::TableDocument::build(exporting::exportSourceOf(design), {}, "huge.vok");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString odt = dir.filePath("huge.odt");
    exporting::AtomicFileWriter writer;
    exporting::NoProgress progress;
    exporting::exportTable(document, exporting::TableFormat::Odt, odt.toStdString(), writer, progress);
    const QByteArray package = readAll(odt); // pictures are stored as they are: their headers can be read
    double pixels = 0;
    int pictures = 0;
    for (qsizetype at = package.indexOf("\x89PNG\r\n\x1a\n"); at >= 0; at = package.indexOf("\x89PNG\r\n\x1a\n", at + 1)) {
        const auto bigEndian = [&](qsizetype i) { return qFromBigEndian<quint32>(package.constData() + i); };
        pixels += double(bigEndian(at + 16)) * bigEndian(at + 20);
        ++pictures;
    }
    EXPECT_GT(pictures, 1);
    EXPECT_LE(pixels, 24e6 * 1.01);
    EXPECT_GT(pixels, 24e6 * 0.8); // the budget held it back: at full resolution it is larger
}

} // namespace
