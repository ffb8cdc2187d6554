#include "export/TablePageRenderer.h"

#include "export/FlowDiagram.h"
#include "export/TableLook.h"
#include "model/UserError.h"

#include <QIODevice>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <exception>

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
const QColor kHeadFill(kTableLook.headFill.red, kTableLook.headFill.green, kTableLook.headFill.blue);
const QColor kLineColour(kTableLook.lineColour.red, kTableLook.lineColour.green, kTableLook.lineColour.blue);
constexpr const char* kCreator = "Tessaric Design Tool";
constexpr double kMmPerPixel = 25.4 / 96; // the flow diagram's pixels at their natural size

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

template <typename CellAt>
double gridRowHeight(const PageText& text, const GridColumns& columns, CellAt cellAt)
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
void paintRow(QPainter& painter, const PageText& text, const GridColumns& columns, double top, CellAt cellAt)
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

int TablePageRenderer::FlowItem::rowCount() const
{
    if (grid)
        return grid->rowCount();
    return lines ? static_cast<int>(lines->size()) : 0;
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
    if (document.total().empty()) {
        table(std::make_unique<DesignTableGrid>(document), kTableSpaceMm);
    } else {
        table(std::make_unique<DesignTableGrid>(document), kCaptionSpaceMm);
        paragraph(QString::fromUtf8(document.total()), PageText::Style::Body, kTableSpaceMm);
    }
    if (document.matrices().empty())
        return;
    paragraph(QString::fromUtf8(TableDocument::kMatricesHeading), PageText::Style::Heading, kHeadingSpaceMm, true);
    for (const DesignMatrix& matrix : document.matrices()) {
        paragraph(QString::fromUtf8(matrix.caption), PageText::Style::Bold, kCaptionSpaceMm, true);
        if (matrix.listed) {
            FlowItem lines;
            lines.lines = &matrix.cells;
            lines.spaceAfterMm = kCaptionSpaceMm;
            m_flow.push_back(std::move(lines));
        } else {
            table(std::make_unique<MatrixGrid>(matrix), kCaptionSpaceMm);
        }
        paragraph(QString::fromUtf8(matrix.classification), PageText::Style::Body, kClassificationSpaceMm);
    }
    if (const FlowLayout* flow = document.flow(); flow && !flow->empty()) {
        paragraph(QString::fromUtf8(TableDocument::kFlowHeading), PageText::Style::Heading, kHeadingSpaceMm, true);
        FlowItem picture;
        picture.picture = flow;
        m_flow.push_back(std::move(picture));
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
        m_rowsToReport += 2 * item.rowCount();
    measure(text, width);
    paginate(text, width, bodyHeight, progress);

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

void TablePageRenderer::countRow(ExportProgress& progress)
{
    if (++m_rowsReported % kRowsPerReport == 0)
        reportOrStop(progress, m_rowsReported, m_rowsToReport);
}

double TablePageRenderer::rowHeight(const PageText& text, const FlowItem& item, const GridColumns& columns, int row)
{
    if (!item.grid)
        return text.lineHeight(PageText::Style::Body); // a listed cell: one short line
    const PageGrid& grid = *item.grid;
    return gridRowHeight(text, columns, [&](int c) { return grid.cell(row, c); });
}

GridColumns TablePageRenderer::columnsOf(const FlowItem& item, double width)
{
    return item.grid ? GridColumns::of(*item.grid, width) : GridColumns();
}

void TablePageRenderer::measure(const PageText& text, double width)
{
    for (FlowItem& item : m_flow) {
        item.spaceAfter = text.millimetres(item.spaceAfterMm);
        const GridColumns columns = columnsOf(item, width);
        if (item.picture) {
            item.pictureScale = std::min(text.millimetres(kMmPerPixel), width / item.picture->size.width());
            item.height = item.picture->size.height() * item.pictureScale;
        } else if (item.grid)
            item.headHeight = gridRowHeight(text, columns, [&](int c) { return item.grid->head(c); });
        else if (!item.lines)
            item.height = text.paragraphHeight(item.text, item.style, width);
        item.firstRowHeight = item.rowCount() > 0 ? rowHeight(text, item, columns, 0) : 0;
    }
}

double TablePageRenderer::heightNeededAt(std::size_t index, double bodyHeight) const
{
    const FlowItem& item = m_flow[index];
    if (item.picture) // a start worth beginning on this page
        return std::min(item.height, bodyHeight / 3);
    if (item.grid || item.lines)
        return item.headHeight + std::min(item.firstRowHeight, bodyHeight - item.headHeight);
    if (!item.keepWithNext || index + 1 == m_flow.size())
        return item.height;
    return item.height + item.spaceAfter + heightNeededAt(index + 1, bodyHeight); // headings, captions: short chains
}

void TablePageRenderer::paginate(const PageText& text, double width, double bodyHeight, ExportProgress& progress)
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
        if (item.picture) {
            paginatePicture(i, bodyHeight, y);
            continue;
        }
        if (!item.grid && !item.lines) {
            m_pages.back().push_back({i, y});
            y += item.height;
            y += item.spaceAfter;
            continue;
        }
        // A row taller than the page left under the head row is cut there.
        const GridColumns columns = columnsOf(item, width);
        const double tallest = std::max(bodyHeight - item.headHeight, 1.0);
        const int rows = item.rowCount();
        int row = 0;
        double pending = rows > 0 ? item.firstRowHeight : 0; // the next row's height, measured once
        do {
            if (!fitsHere(heightNeededAt(i, bodyHeight)))
                startPage();
            Piece piece{i, y, row, row};
            y += item.headHeight;
            for (; row < rows; ++row) {
                const double h = std::min(pending, tallest);
                if (row > piece.firstRow && y + h > bodyHeight)
                    break;
                y += h;
                countRow(progress);
                if (row + 1 < rows)
                    pending = rowHeight(text, item, columns, row + 1);
            }
            piece.endRow = row;
            m_pages.back().push_back(piece);
            if (row < rows)
                startPage();
        } while (row < rows);
        y += item.spaceAfter;
    }
}

// Each page takes what fits of the picture, cut between children where it can be.
void TablePageRenderer::paginatePicture(std::size_t index, double bodyHeight, double& y)
{
    const FlowItem& item = m_flow[index];
    const FlowLayout& picture = *item.picture;
    for (double from = 0;;) {
        const double to = flowCut(picture, from, std::max(bodyHeight - y, 1.0) / item.pictureScale);
        m_pages.back().push_back({index, y, 0, 0, from, to});
        y += (to - from) * item.pictureScale;
        from = to;
        if (from >= picture.size.height())
            break;
        m_pages.emplace_back();
        y = 0;
    }
    y += item.spaceAfter;
}

void TablePageRenderer::paintPage(QPainter& painter, const PageText& text, std::size_t page, double width,
                                  double height, ExportProgress& progress)
{
    const double bodyHeight = height - text.lineHeight(PageText::Style::Footer) - text.millimetres(kFooterGapMm);
    for (const Piece& piece : m_pages[page]) {
        const FlowItem& item = m_flow[piece.item];
        if (item.picture)
            paintPicture(painter, item, piece);
        else if (item.grid || item.lines)
            paintRows(painter, text, item, piece, width, bodyHeight, progress);
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

void TablePageRenderer::paintPicture(QPainter& painter, const FlowItem& item, const Piece& piece) const
{
    const QRectF part(0, piece.from, item.picture->size.width(), piece.to - piece.from);
    painter.save();
    painter.translate(0, piece.top);
    painter.scale(item.pictureScale, item.pictureScale);
    painter.translate(0, -piece.from);
    painter.setClipRect(part);
    paintFlowDiagram(painter, *item.picture, part);
    painter.restore();
}

void TablePageRenderer::paintRows(QPainter& painter, const PageText& text, const FlowItem& item, const Piece& piece,
                                  double width, double bodyHeight, ExportProgress& progress)
{
    if (!item.grid) { // the lines of a listed matrix, unruled
        double y = piece.top;
        for (int row = piece.firstRow; row < piece.endRow; ++row) {
            text.paintLine(painter, QString::fromStdString(listedCellLine((*item.lines)[static_cast<std::size_t>(row)])),
                           PageText::Style::Body, 0, y);
            y += text.lineHeight(PageText::Style::Body);
            countRow(progress);
        }
        return;
    }
    const PageGrid& grid = *item.grid;
    const GridColumns columns = GridColumns::of(grid, width);
    const double tallest = std::max(bodyHeight - item.headHeight, 1.0);
    painter.fillRect(QRectF(0, piece.top, columns.total, item.headHeight), kHeadFill);
    paintRow(painter, text, columns, piece.top, [&](int c) { return grid.head(c); });

    // Rule lines are gathered and drawn at the end, in one colour change.
    QVector<QLineF> rules{{0, piece.top, columns.total, piece.top}};
    double y = piece.top + item.headHeight;
    rules.append({0, y, columns.total, y});
    for (int row = piece.firstRow; row < piece.endRow; ++row) {
        const auto cellAt = [&](int c) { return grid.cell(row, c); };
        const double full = gridRowHeight(text, columns, cellAt);
        const double h = std::min(full, tallest);
        if (h < full) {
            painter.save();
            painter.setClipRect(QRectF(0, y, columns.total, h));
        }
        paintRow(painter, text, columns, y, cellAt);
        if (h < full)
            painter.restore();
        y += h;
        rules.append({0, y, columns.total, y});
        countRow(progress);
    }
    for (double left : columns.left)
        rules.append({left, piece.top, left, y});
    rules.append({columns.total, piece.top, columns.total, y});
    painter.setPen(QPen(kLineColour, text.millimetres(kLineWidthMm)));
    painter.drawLines(rules);
}

namespace {

constexpr std::string_view kCreationDate = "/CreationDate (D:";
constexpr std::size_t kHeadBytes = 4096; // the writer's first object, with the date, is far shorter

// The PDF writer's device: every byte goes on to the sink. A sink that throws
// is remembered and rethrown once the writer is done with the device, never
// through Qt.
//
// The writer dates the file in its first object; the date is blanked out
// (spaces of the same length, so that no offset moves): the same design
// makes the same bytes. The head of the file is held until it is whole.
class SinkDevice final : public QIODevice {
public:
    explicit SinkDevice(ByteSink& sink) : m_sink(sink) { open(QIODevice::WriteOnly); }
    bool isSequential() const override { return true; }
    // Passes on the rest of the head, then rethrows what the sink threw.
    void finish()
    {
        if (!m_failure && !m_headDone)
            pass([this] { passHead(); });
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const std::string_view bytes(data, static_cast<std::size_t>(size));
        pass([&] {
            if (m_headDone) {
                m_sink.write(bytes);
                return;
            }
            m_head.append(bytes);
            if (m_head.size() >= kHeadBytes)
                passHead();
        });
        return m_failure ? -1 : size;
    }

private:
    template <typename Write> void pass(Write write)
    {
        if (m_failure)
            return;
        try {
            write();
        } catch (...) {
            m_failure = std::current_exception();
        }
    }
    void passHead()
    {
        m_headDone = true;
        const std::size_t start = m_head.find(kCreationDate);
        const std::size_t end = start == std::string::npos ? start : m_head.find(')', start);
        if (end != std::string::npos)
            m_head.replace(start, end + 1 - start, end + 1 - start, ' ');
        m_sink.write(m_head);
        m_head = std::string();
    }

    ByteSink& m_sink;
    std::exception_ptr m_failure;
    std::string m_head;
    bool m_headDone = false;
};

} // namespace

void writePdf(const TableDocument& document, ByteSink& out, ExportProgress& progress)
{
    SinkDevice device(out);
    {
        QPdfWriter pdf(&device);
        pdf.setPageLayout(tablePageLayout());
        pdf.setResolution(kPdfDotsPerInch);
        pdf.setTitle(QString::fromUtf8(document.title()));
        pdf.setCreator(QString::fromLatin1(kCreator));
        TablePageRenderer(document).paint(pdf, progress);
    }
    device.finish();
}

} // namespace exporting
