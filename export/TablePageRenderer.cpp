#include "export/TablePageRenderer.h"

#include "export/DocumentText.h"
#include "model/UserError.h"

#include <QBuffer>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace exporting {
namespace {

constexpr double kMarginMm = 12;
constexpr int kPdfDotsPerInch = 600;
constexpr double kCellPaddingMm = 1.2;
constexpr double kCellPaddingTopMm = 0.6;
constexpr double kIndentMm = 3;
constexpr double kLineWidthMm = 0.15;
constexpr double kFooterGapMm = 4;
constexpr double kTitleSpaceMm = 3;
constexpr double kTableSpaceMm = 6;
constexpr double kHeadingSpaceMm = 2;
constexpr double kCaptionSpaceMm = 1;
constexpr double kClassificationSpaceMm = 5;
const QColor kHeadFill(232, 232, 232);
const QColor kLineColour(150, 150, 150);
constexpr const char* kCreator = "Tessaric Design Tool";

// Where a cell's text goes within its column: inside the padding, shifted by
// its indent, but never by more than half the room.
struct TextBox {
    double left;
    double width;
};

TextBox textBox(const PageText& text, double columnLeft, double columnWidth, int indent)
{
    const double padding = text.millimetres(kCellPaddingMm);
    const double room = std::max(columnWidth - 2 * padding, 1.0);
    const double shift = std::min(indent * text.millimetres(kIndentMm), room / 2);
    return {columnLeft + padding + shift, room - shift};
}

struct Columns {
    std::vector<double> left;
    std::vector<double> width;
    double total = 0;
};

Columns columnsOf(const PageGrid& grid, double tableWidth)
{
    Columns columns;
    for (int c = 0; c < grid.columnCount(); ++c) {
        columns.left.push_back(columns.total);
        columns.width.push_back(grid.columnWidth(c, tableWidth));
        columns.total += columns.width.back();
    }
    return columns;
}

template <typename CellAt>
double rowHeight(const PageText& text, const Columns& columns, CellAt cellAt)
{
    double height = 0;
    for (std::size_t c = 0; c < columns.left.size(); ++c) {
        const GridCell cell = cellAt(static_cast<int>(c));
        const TextBox box = textBox(text, columns.left[c], columns.width[c], cell.indent);
        height = std::max(height, text.cellTextHeight(cell, box.width));
    }
    return height + 2 * text.millimetres(kCellPaddingTopMm);
}

template <typename CellAt>
void paintRow(QPainter& painter, const PageText& text, const Columns& columns, double top, CellAt cellAt)
{
    for (std::size_t c = 0; c < columns.left.size(); ++c) {
        const GridCell cell = cellAt(static_cast<int>(c));
        const TextBox box = textBox(text, columns.left[c], columns.width[c], cell.indent);
        text.paintCell(painter, cell, box.left, top + text.millimetres(kCellPaddingTopMm), box.width);
    }
}

} // namespace

QPageLayout tablePageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

TablePageRenderer::TablePageRenderer(const TableDocument& document) : m_document(document)
{
    auto paragraph = [this](QString text, PageText::Style style, double spaceAfterMm, bool keepWithNext = false) {
        FlowItem item;
        item.text = std::move(text);
        item.style = style;
        item.spaceAfterMm = spaceAfterMm;
        item.keepWithNext = keepWithNext;
        m_flow.push_back(std::move(item));
    };
    auto table = [this](std::unique_ptr<PageGrid> grid, double spaceAfterMm) {
        FlowItem item;
        item.grid = std::move(grid);
        item.spaceAfterMm = spaceAfterMm;
        m_flow.push_back(std::move(item));
    };
    paragraph(QString::fromUtf8(document.title()), PageText::Style::Title, kTitleSpaceMm);
    table(std::make_unique<DesignTableGrid>(document), kTableSpaceMm);
    if (document.matrices().empty())
        return;
    paragraph(qtText(TableDocument::kMatricesHeading), PageText::Style::Heading, kHeadingSpaceMm, true);
    for (const DesignMatrix& matrix : document.matrices()) {
        paragraph(qtText(matrix.caption), PageText::Style::Bold, kCaptionSpaceMm, true);
        table(std::make_unique<MatrixGrid>(matrix), kCaptionSpaceMm);
        paragraph(qtText(matrix.classification), PageText::Style::Body, kClassificationSpaceMm);
    }
}

TablePageRenderer::~TablePageRenderer() = default;

void TablePageRenderer::paint(QPagedPaintDevice& device, ExportProgress& progress, int firstPage, int lastPage)
{
    QPainter painter;
    if (!painter.begin(&device))
        throw model::UserError("Cannot print the table");
    const PageText text(device);
    const double width = device.width();
    const double height = device.height();
    const double bodyHeight = height - text.lineHeight(PageText::Style::Footer) - text.millimetres(kFooterGapMm);

    m_rowsToReport = 0;
    m_rowsReported = 0;
    for (const FlowItem& item : m_flow)
        m_rowsToReport += item.grid ? 2 * item.grid->rowCount() : 0;
    measure(text, width, progress);
    paginate(bodyHeight);

    const std::size_t first = static_cast<std::size_t>(std::max(firstPage, 1) - 1);
    const std::size_t end = std::min(m_pages.size(), static_cast<std::size_t>(std::max(lastPage, 0)));
    for (std::size_t page = first; page < end; ++page) {
        if (page > first)
            device.newPage();
        paintPage(painter, text, page, width, height, progress);
    }
    painter.end();
    reportOrStop(progress, m_rowsToReport, m_rowsToReport);
}

void TablePageRenderer::measure(const PageText& text, double width, ExportProgress& progress)
{
    for (FlowItem& item : m_flow) {
        item.spaceAfter = text.millimetres(item.spaceAfterMm);
        if (!item.grid) {
            item.height = text.paragraphHeight(item.text, item.style, width);
            continue;
        }
        const PageGrid& grid = *item.grid;
        const Columns columns = columnsOf(grid, width);
        item.headHeight = rowHeight(text, columns, [&](int c) { return grid.head(c); });
        item.rowHeights.resize(static_cast<std::size_t>(grid.rowCount()));
        for (int row = 0; row < grid.rowCount(); ++row) {
            item.rowHeights[static_cast<std::size_t>(row)] =
                rowHeight(text, columns, [&](int c) { return grid.cell(row, c); });
            if (++m_rowsReported % kRowsPerReport == 0)
                reportOrStop(progress, m_rowsReported, m_rowsToReport);
        }
    }
}

double TablePageRenderer::heightNeededAt(std::size_t index, double bodyHeight) const
{
    const FlowItem& item = m_flow[index];
    if (item.grid) {
        const double firstRow = item.rowHeights.empty() ? 0 : item.rowHeights.front();
        return item.headHeight + std::min(firstRow, bodyHeight - item.headHeight);
    }
    if (!item.keepWithNext || index + 1 == m_flow.size())
        return item.height;
    return item.height + item.spaceAfter + heightNeededAt(index + 1, bodyHeight); // headings, captions: short chains
}

void TablePageRenderer::paginate(double bodyHeight)
{
    m_pages.assign(1, Page());
    double y = 0;
    auto startPage = [&] {
        m_pages.emplace_back();
        y = 0;
    };
    auto fitsHere = [&](double needed) { return y == 0 || y + needed <= bodyHeight; };
    for (std::size_t i = 0; i < m_flow.size(); ++i) {
        const FlowItem& item = m_flow[i];
        if (!fitsHere(heightNeededAt(i, bodyHeight)))
            startPage();
        if (!item.grid) {
            m_pages.back().push_back({i, y});
            y += item.height;
        } else {
            // A row taller than the page left under the head row is cut there.
            const double tallest = std::max(bodyHeight - item.headHeight, 1.0);
            const int rows = static_cast<int>(item.rowHeights.size());
            int row = 0;
            do {
                if (!fitsHere(heightNeededAt(i, bodyHeight)))
                    startPage();
                Piece piece{i, y, row, row};
                y += item.headHeight;
                for (; row < rows; ++row) {
                    const double h = std::min(item.rowHeights[static_cast<std::size_t>(row)], tallest);
                    if (row > piece.firstRow && y + h > bodyHeight)
                        break;
                    y += h;
                }
                piece.endRow = row;
                m_pages.back().push_back(piece);
                if (row < rows)
                    startPage();
            } while (row < rows);
        }
        y += item.spaceAfter;
    }
}

void TablePageRenderer::paintPage(QPainter& painter, const PageText& text, std::size_t page, double width,
                                  double height, ExportProgress& progress)
{
    const double bodyHeight = height - text.lineHeight(PageText::Style::Footer) - text.millimetres(kFooterGapMm);
    for (const Piece& piece : m_pages[page]) {
        const FlowItem& item = m_flow[piece.item];
        if (item.grid)
            paintTable(painter, text, item, piece, width, bodyHeight, progress);
        else
            text.paintParagraph(painter, item.text, item.style, 0, piece.top, width);
    }
    // The footer: the title on the left, the page number on the right.
    const double footerTop = height - text.lineHeight(PageText::Style::Footer);
    const QString number = QStringLiteral("Page %1 of %2").arg(page + 1).arg(m_pages.size());
    const double numberWidth = text.paragraphWidth(number, PageText::Style::Footer);
    text.paintParagraph(painter, number, PageText::Style::Footer, width - numberWidth, footerTop, numberWidth + 1);
    text.paintParagraph(painter, QString::fromUtf8(m_document.title()), PageText::Style::Footer, 0, footerTop,
                        std::max(width - numberWidth - text.millimetres(kFooterGapMm), 1.0));
}

void TablePageRenderer::paintTable(QPainter& painter, const PageText& text, const FlowItem& item,
                                   const Piece& piece, double width, double bodyHeight, ExportProgress& progress)
{
    const PageGrid& grid = *item.grid;
    const Columns columns = columnsOf(grid, width);
    const double tallest = std::max(bodyHeight - item.headHeight, 1.0);
    painter.fillRect(QRectF(0, piece.top, columns.total, item.headHeight), kHeadFill);
    paintRow(painter, text, columns, piece.top, [&](int c) { return grid.head(c); });

    // Rule lines are gathered and drawn at the end, in one colour change.
    QVector<QLineF> rules{{0, piece.top, columns.total, piece.top}};
    double y = piece.top + item.headHeight;
    rules.append({0, y, columns.total, y});
    for (int row = piece.firstRow; row < piece.endRow; ++row) {
        const double full = item.rowHeights[static_cast<std::size_t>(row)];
        const double h = std::min(full, tallest);
        if (h < full) {
            painter.save();
            painter.setClipRect(QRectF(0, y, columns.total, h));
        }
        paintRow(painter, text, columns, y, [&](int c) { return grid.cell(row, c); });
        if (h < full)
            painter.restore();
        y += h;
        rules.append({0, y, columns.total, y});
        if (++m_rowsReported % kRowsPerReport == 0)
            reportOrStop(progress, m_rowsReported, m_rowsToReport);
    }
    for (double left : columns.left)
        rules.append({left, piece.top, left, y});
    rules.append({columns.total, piece.top, columns.total, y});
    painter.setPen(QPen(kLineColour, text.millimetres(kLineWidthMm)));
    painter.drawLines(rules);
}

std::string renderPdf(const TableDocument& document, ExportProgress& progress)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setPageLayout(tablePageLayout());
        pdf.setResolution(kPdfDotsPerInch);
        pdf.setTitle(QString::fromUtf8(document.title()));
        pdf.setCreator(QString::fromLatin1(kCreator));
        TablePageRenderer(document).paint(pdf, progress);
    }
    return buffer.data().toStdString();
}

} // namespace exporting
