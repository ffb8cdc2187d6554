#pragma once
// The table document painted page by page with QPainter: the same pages for
// the PDF file, the printer and the print preview. The title heads the first
// page; the column heads are repeated at the top of every page a table runs
// onto; long labels wrap within their cell; every page ends in a footer with
// the title and "Page n of m". A row taller than a whole page is cut at the
// page's foot. A listed matrix's cells are lines of their own. The flow
// diagram follows the matrices, in the page's width at most, cut between
// pages where it is taller than what is left of one.
//
// Painting a long table through QTextDocument::print takes about 10 s for
// 10,000 rows; painting it here, a small fraction of that.

#include "export/ByteSink.h"
#include "export/ExportProgress.h"
#include "export/PageGrid.h"
#include "export/PageText.h"
#include "export/TableDocument.h"

#include <QPageLayout>

#include <climits>
#include <memory>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace exporting {

// A4 landscape with margins all round: what the PDF uses and the printer starts with.
QPageLayout tablePageLayout();

class TablePageRenderer {
public:
    explicit TablePageRenderer(const TableDocument& document);
    ~TablePageRenderer();

    // Lays the document out on the device's pages and paints pages
    // `firstPage` to `lastPage` (counted from 1), reporting rows measured
    // and painted. Throws ExportCancelled when the progress says stop.
    void paint(QPagedPaintDevice& device, ExportProgress& progress, int firstPage = 1, int lastPage = INT_MAX);
    int pageCount() const { return static_cast<int>(m_pages.size()); }

private:
    // A paragraph, a table, or the lines of a listed matrix, in the order they follow one another.
    struct FlowItem {
        QString text;
        PageText::Style style = PageText::Style::Body;
        std::unique_ptr<PageGrid> grid;
        const std::vector<ListedCell>* lines = nullptr;
        const FlowLayout* picture = nullptr;
        double pictureScale = 0;   // device units per layout pixel
        bool keepWithNext = false; // a heading or caption stays with what follows
        double spaceAfterMm = 0;
        // measured, in the device's units
        double spaceAfter = 0;
        double height = 0;         // a paragraph's
        double headHeight = 0;     // a table's head row
        double firstRowHeight = 0; // a table's or the lines' first

        int rowCount() const;
    };
    // What one page shows of an item: a paragraph, or a table's head and rows.
    struct Piece {
        std::size_t item;
        double top;
        int firstRow = 0;
        int endRow = 0;
        double from = 0; // a picture's part, in layout pixels
        double to = 0;
    };
    using Page = std::vector<Piece>;

    // Row heights are measured while paginating and again while painting:
    // only the page breaks are kept, so that memory does not grow with the rows.
    static double rowHeight(const PageText& text, const FlowItem& item, const GridColumns& columns, int row);
    static GridColumns columnsOf(const FlowItem& item, double width);
    void measure(const PageText& text, double width);
    void paginate(const PageText& text, double width, double bodyHeight, ExportProgress& progress);
    void paginatePicture(std::size_t index, double bodyHeight, double& y);
    double heightNeededAt(std::size_t item, double bodyHeight) const;
    void paintPage(QPainter& painter, const PageText& text, std::size_t page, double width, double height,
                   ExportProgress& progress);
    void paintRows(QPainter& painter, const PageText& text, const FlowItem& item, const Piece& piece, double width,
                   double bodyHeight, ExportProgress& progress);
    void paintPicture(QPainter& painter, const FlowItem& item, const Piece& piece) const;
    void countRow(ExportProgress& progress);

    const TableDocument& m_document;
    std::vector<FlowItem> m_flow;
    std::vector<Page> m_pages;
    std::int64_t m_rowsToReport = 0;
    std::int64_t m_rowsReported = 0;
};

// The PDF: A4 landscape pages painted by the renderer, into `out` as they are made.
void writePdf(const TableDocument& document, ByteSink& out, ExportProgress& progress);

} // namespace exporting
