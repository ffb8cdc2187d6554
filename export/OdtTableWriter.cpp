#include "export/OdtTableWriter.h"

#include "export/FlowDiagram.h"
#include "export/TableLook.h"
#include "export/ZipWriter.h"
#include "model/Cp1252.h"

#include <QString>

#include <cstdio>
#include <algorithm>
#include <cmath>
#include <array>
#include <vector>

namespace exporting {
namespace {

constexpr std::string_view kMimeType = "application/vnd.oasis.opendocument.text";
constexpr std::size_t kPieceBytes = 256 * 1024; // content.xml goes to deflate in pieces this size

// Sizes in points. The table fills the text width of an A4 page in portrait
// (17 cm); word processors honour fixed column widths, not shares.
constexpr double kTableWidthPt = 480;
constexpr double kNumberColumnPt = 54;
constexpr double kRangeColumnPt = 66; // the design and the system range, when the design has ranges
constexpr double kBitsColumnPt = 40;
constexpr double kMatrixRowHeadPt = 170;
constexpr double kMatrixMarkPt = 30;
constexpr double kIndentPt = 10.5;
constexpr int kLevelStyles = TableDocument::kDeepestIndent + 2; // levels 0 to 10, then every deeper one

constexpr std::string_view kNamespaces =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
    " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
    " office:version=\"1.2\"";
std::string fontFaces()
{
    const std::string family = kTableLook.fontFamily;
    return "<office:font-face-decls><style:font-face style:name=\"" + family + "\" svg:font-family=\"" + family +
           "\" style:font-family-generic=\"swiss\" style:font-pitch=\"variable\"/></office:font-face-decls>";
}

std::string cellProperties()
{
    return "fo:border=\"0.375pt solid " + hexColour(kTableLook.lineColour) + "\" fo:padding=\"2.25pt\"";
}

// The flow diagram's pictures need these too; a document without one declares only the others.
constexpr std::string_view kPictureNamespaces =
    " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
    " xmlns:xlink=\"http://www.w3.org/1999/xlink\"";

// The flow diagram as PNG pictures, each at most a page high, in the text's
// width (never wider than the picture's own pixels at 96 dpi), drawn at 192
// dpi: word processors show PNG everywhere, SVG not always.
constexpr double kFlowPiecePt = 640;
constexpr double kFlowDpi = 192;
// All the flow diagram's pictures together: a diagram of thousands of modules
// would be hundreds of megapixels at kFlowDpi, which take minutes to compress;
// past this it is drawn at a lower resolution, the same size on the page.
constexpr double kMostFlowPixels = 24e6;

struct FlowPiece {
    double top;
    double bottom;
};

struct FlowPictures {
    double pointsPerPixel = 0; // layout pixels on the page
    std::vector<FlowPiece> pieces;
};

FlowPictures flowPicturesOf(const TableDocument& document)
{
    FlowPictures pictures;
    const FlowLayout* flow = document.flow();
    if (!flow || flow->empty())
        return pictures;
    pictures.pointsPerPixel = std::min(0.75, kTableWidthPt / flow->size.width());
    const double room = kFlowPiecePt / pictures.pointsPerPixel;
    for (double top = 0; top < flow->size.height();) {
        const double bottom = flowCut(*flow, top, room);
        pictures.pieces.push_back({top, bottom});
        top = bottom;
    }
    return pictures;
}

std::string pictureName(std::size_t piece)
{
    return "Pictures/flow" + std::to_string(piece + 1) + ".png";
}

std::string manifestOf(const FlowPictures& pictures)
{
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" manifest:version=\"1.2\">\n"
        " <manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\""
        " manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>\n"
        " <manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>\n"
        " <manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>\n";
    for (std::size_t i = 0; i < pictures.pieces.size(); ++i)
        xml += " <manifest:file-entry manifest:full-path=\"" + pictureName(i) + "\" manifest:media-type=\"image/png\"/>\n";
    xml += "</manifest:manifest>\n";
    return xml;
}

// The default text (the table look's font at body size) and an A4 portrait page with 2 cm margins.
std::string stylesXml()
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles";
    xml.append(kNamespaces).append(">").append(fontFaces());
    xml.append("<office:styles><style:default-style style:family=\"paragraph\">"
               "<style:text-properties style:font-name=\"")
        .append(kTableLook.fontFamily)
        .append("\" fo:font-size=\"")
        .append(pointText(kTableLook.bodyPoints))
        .append("\"/></style:default-style>");
    xml += "<style:style style:name=\"Standard\" style:family=\"paragraph\"/></office:styles>"
           "<office:automatic-styles><style:page-layout style:name=\"Page\">"
           "<style:page-layout-properties fo:page-width=\"21cm\" fo:page-height=\"29.7cm\""
           " style:print-orientation=\"portrait\" fo:margin-top=\"2cm\" fo:margin-bottom=\"2cm\""
           " fo:margin-left=\"2cm\" fo:margin-right=\"2cm\"/></style:page-layout></office:automatic-styles>"
           "<office:master-styles><style:master-page style:name=\"Standard\" style:page-layout-name=\"Page\"/>"
           "</office:master-styles></office:document-styles>\n";
    return xml;
}

std::string points(double pt)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4gpt", pt);
    return text;
}

std::string rgbText(std::uint32_t bgr)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", bgr & 0xFFu, (bgr >> 8) & 0xFFu, (bgr >> 16) & 0xFFu);
    return text;
}

void escapeAsXml(std::string& out, char c)
{
    switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    default: out += c;
    }
}

// Spaces that a word processor would fold away: at either end of the text,
// or after another space or a tab. They go as <text:s/>.
void appendSpaces(std::string& out, std::size_t run, bool keepFirst)
{
    if (keepFirst) {
        out += ' ';
        --run;
    }
    if (run == 1)
        out += "<text:s/>";
    else if (run > 1)
        out.append("<text:s text:c=\"").append(std::to_string(run)).append("\"/>");
}

// UTF-8 text as paragraph content: markup escaped, a tab as <text:tab/>, a
// line break (a note's) as <text:line-break/>, other control bytes dropped
// (XML has no place for them).
void appendText(std::string& out, std::string_view text)
{
    std::size_t runStart = 0; // bytes with nothing to do go over in runs
    bool afterTab = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool plain = c >= 0x20 && c != '&' && c != '<' && c != '>' && c != ' ';
        if (plain) {
            afterTab = false;
            continue;
        }
        out.append(text.substr(runStart, i - runStart));
        if (c == ' ') {
            std::size_t end = i;
            while (end < text.size() && text[end] == ' ')
                ++end;
            appendSpaces(out, end - i, i > 0 && end < text.size() && !afterTab);
            i = end - 1;
        } else if (c == '\t') {
            out += "<text:tab/>";
            afterTab = true;
        } else if (c == '\n' || c == '\r') {
            if (!(c == '\n' && i > 0 && text[i - 1] == '\r'))
                out += "<text:line-break/>";
            afterTab = true; // a space opening a line is kept like one after a tab
        } else if (c >= 0x20) {
            escapeAsXml(out, static_cast<char>(c));
            afterTab = false;
        }
        runStart = i + 1;
    }
    out.append(text.substr(runStart));
}

// The title, a file name in UTF-8 (made valid), markup escaped.
void appendUtf8Text(std::string& out, std::string_view utf8)
{
    const QByteArray valid = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toUtf8();
    for (char c : valid)
        if (static_cast<unsigned char>(c) >= 0x20)
            escapeAsXml(out, c);
}

// content.xml, made in pieces that go to the zip as they fill.
class ContentWriter {
public:
    ContentWriter(const TableDocument& document, const FlowPictures& pictures, ZipWriter& zip)
        : m_document(document), m_pictures(pictures), m_zip(zip)
    {
        m_xml.reserve(kPieceBytes + 4096);
        collectMatrixWidths();
    }

    void write(ExportProgress& progress)
    {
        m_xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content";
        m_xml.append(kNamespaces);
        if (!m_pictures.pieces.empty())
            m_xml.append(kPictureNamespaces);
        m_xml.append(">").append(fontFaces());
        styles();
        m_xml += "<office:body><office:text>";
        m_xml += "<text:p text:style-name=\"Title\">";
        appendUtf8Text(m_xml, m_document.title());
        m_xml += "</text:p>\n";
        designTable(progress);
        if (!m_document.matrices().empty()) {
            paragraph("Heading", TableDocument::kMatricesHeading);
            for (std::size_t i = 0; i < m_document.matrices().size(); ++i)
                matrix(m_document.matrices()[i], "Matrix" + std::to_string(i + 1));
        }
        if (!m_pictures.pieces.empty())
            flowPictures();
        m_xml += "</office:text></office:body></office:document-content>\n";
        m_zip.write(m_xml);
        m_xml.clear();
    }

private:
    // A matrix's mark column width; one column style for each width in use, in order of first use.
    static double markWidth(const DesignMatrix& matrix)
    {
        const double columns = static_cast<double>(std::max<std::size_t>(matrix.columnHeads.size(), 1));
        return std::min(kMatrixMarkPt, (kTableWidthPt - kMatrixRowHeadPt) / columns);
    }
    void collectMatrixWidths()
    {
        for (const DesignMatrix& matrix : m_document.matrices())
            if (!matrix.listed && markStyleOf(matrix) == m_markWidths.size())
                m_markWidths.push_back(markWidth(matrix));
    }
    std::size_t markStyleOf(const DesignMatrix& matrix) const
    {
        return static_cast<std::size_t>(std::find(m_markWidths.begin(), m_markWidths.end(), markWidth(matrix)) -
                                        m_markWidths.begin());
    }

    void style(std::string_view name, std::string_view family, std::string_view properties)
    {
        m_xml.append("<style:style style:name=\"").append(name).append("\" style:family=\"").append(family);
        m_xml.append("\">").append(properties).append("</style:style>");
    }
    void textStyle(std::string_view name, std::string_view size, bool bold, std::string_view paragraphProperties = {},
                   std::string_view colour = {})
    {
        std::string properties(paragraphProperties);
        properties.append("<style:text-properties style:font-name=\"").append(kTableLook.fontFamily);
        properties.append("\" fo:font-size=\"").append(size).append("\"");
        if (bold)
            properties += " fo:font-weight=\"bold\"";
        if (!colour.empty())
            properties.append(" fo:color=\"").append(colour).append("\"");
        properties += "/>";
        style(name, "paragraph", properties);
    }

    void styles()
    {
        m_xml += "<office:automatic-styles>";
        const std::string body = pointText(kTableLook.bodyPoints);
        textStyle("Title", pointText(kTableLook.titlePoints), true);
        textStyle("Heading", pointText(kTableLook.headingPoints), true);
        textStyle("Bold", body, true);
        textStyle("Body", body, false);
        textStyle("Mark", body, false, "<style:paragraph-properties fo:text-align=\"center\"/>");
        textStyle("HeadMark", body, true, "<style:paragraph-properties fo:text-align=\"center\"/>");
        for (int level = 0; level < kLevelStyles; ++level) {
            const TextColour colour = m_document.colourOf(level);
            const std::string margin = "<style:paragraph-properties fo:margin-left=\"" +
                                       points(kIndentPt * TableDocument::indentOf(level)) + "\"/>";
            textStyle("L" + std::to_string(level), body, level == 0, margin,
                      colour.automatic ? std::string() : rgbText(colour.rgb));
        }
        style("Cell", "table-cell", "<style:table-cell-properties " + cellProperties() + "/>");
        style("Head", "table-cell",
              "<style:table-cell-properties fo:background-color=\"" + hexColour(kTableLook.headFill) + "\" " +
                  cellProperties() + "/>");
        designTableStyles();
        for (std::size_t i = 0; i < m_markWidths.size(); ++i)
            tableStyles("M" + std::to_string(i), 0, kMatrixRowHeadPt, m_markWidths[i]);
        m_xml += "</office:automatic-styles>";
    }
    // The information columns take their width from the labels'; a notes
    // column is as wide as a label's.
    void designTableStyles()
    {
        const int shares = m_document.hasNotes() ? 2 * model::kTreeCount : model::kTreeCount;
        if (!m_document.hasInformation()) {
            tableStyles("Design", kTableWidthPt, kNumberColumnPt, (kTableWidthPt - kNumberColumnPt) / shares);
            return;
        }
        const double information = 2 * kRangeColumnPt + kBitsColumnPt;
        tableStyles("Design", kTableWidthPt, kNumberColumnPt,
                    (kTableWidthPt - kNumberColumnPt - information) / shares);
        style("Design.C", "table-column",
              "<style:table-column-properties style:column-width=\"" + points(kRangeColumnPt) + "\"/>");
        style("Design.D", "table-column",
              "<style:table-column-properties style:column-width=\"" + points(kBitsColumnPt) + "\"/>");
    }
    // A table (width 0: as wide as its columns) with its first column and the others.
    void tableStyles(const std::string& name, double width, double firstPt, double otherPt)
    {
        std::string properties = "<style:table-properties table:align=\"left\" table:border-model=\"collapsing\"";
        if (width > 0)
            properties.append(" style:width=\"").append(points(width)).append("\"");
        style(name, "table", properties + "/>");
        style(name + ".A", "table-column",
              "<style:table-column-properties style:column-width=\"" + points(firstPt) + "\"/>");
        style(name + ".B", "table-column",
              "<style:table-column-properties style:column-width=\"" + points(otherPt) + "\"/>");
    }

    void flushIfFull()
    {
        if (m_xml.size() < kPieceBytes)
            return;
        m_zip.write(m_xml);
        m_xml.clear();
    }

    void paragraph(std::string_view style, std::string_view text)
    {
        m_xml.append("<text:p text:style-name=\"").append(style).append("\">");
        appendText(m_xml, text);
        m_xml += "</text:p>\n";
    }
    void cell(std::string_view cellStyle, std::string_view paragraphStyle, std::string_view text)
    {
        m_xml.append("<table:table-cell table:style-name=\"").append(cellStyle).append("\"><text:p text:style-name=\"");
        m_xml.append(paragraphStyle).append("\">");
        appendText(m_xml, text);
        m_xml += "</text:p></table:table-cell>";
    }
    void tableStart(const std::string& name, const std::string& style, std::size_t otherColumns)
    {
        m_xml.append("<table:table table:name=\"").append(name).append("\" table:style-name=\"").append(style);
        m_xml.append("\"><table:table-column table:style-name=\"").append(style).append(".A\"/>");
        m_xml.append("<table:table-column table:style-name=\"").append(style).append(".B\" table:number-columns-repeated=\"");
        m_xml.append(std::to_string(otherColumns)).append("\"/><table:table-header-rows><table:table-row>");
    }
    void headEnd() { m_xml += "</table:table-row></table:table-header-rows>\n"; }

    // No., FR, the information columns when the design has ranges, DP, PV;
    // with notes, each tree's notes after its labels.
    void designTableStart()
    {
        if (m_document.hasNotes()) {
            auto columns = [this](std::string_view style, int count) {
                m_xml.append("<table:table-column table:style-name=\"Design.").append(style);
                m_xml.append("\" table:number-columns-repeated=\"").append(std::to_string(count)).append("\"/>");
            };
            m_xml += "<table:table table:name=\"Design\" table:style-name=\"Design\">"
                     "<table:table-column table:style-name=\"Design.A\"/>";
            columns("B", 2);
            if (m_document.hasInformation()) {
                columns("C", 2);
                columns("D", 1);
            }
            columns("B", 2 * model::kTreeCount - 2);
            m_xml += "<table:table-header-rows><table:table-row>";
            return;
        }
        if (!m_document.hasInformation()) {
            tableStart("Design", "Design", model::kTreeCount);
            return;
        }
        m_xml += "<table:table table:name=\"Design\" table:style-name=\"Design\">"
                 "<table:table-column table:style-name=\"Design.A\"/>"
                 "<table:table-column table:style-name=\"Design.B\"/>"
                 "<table:table-column table:style-name=\"Design.C\" table:number-columns-repeated=\"2\"/>"
                 "<table:table-column table:style-name=\"Design.D\"/>"
                 "<table:table-column table:style-name=\"Design.B\" table:number-columns-repeated=\"2\"/>"
                 "<table:table-header-rows><table:table-row>";
    }

    void designTable(ExportProgress& progress)
    {
        const bool information = m_document.hasInformation();
        designTableStart();
        cell("Head", "Bold", TableDocument::kNumberHead);
        const bool notes = m_document.hasNotes();
        for (int t = 0; t < model::kTreeCount; ++t) {
            cell("Head", "Bold", m_document.columnTitle(t));
            if (notes)
                cell("Head", "Bold", TableDocument::kNotesHead);
            if (t == 0 && information)
                for (std::string_view head : TableDocument::kInformationHeads)
                    cell("Head", "Bold", head);
        }
        headEnd();
        const std::vector<TableRow>& rows = m_document.rows();
        const auto total = static_cast<std::int64_t>(rows.size());
        std::array<std::string, kLevelStyles> levelStyles;
        for (int level = 0; level < kLevelStyles; ++level)
            levelStyles[static_cast<std::size_t>(level)] = "L" + std::to_string(level);
        for (std::int64_t at = 0; at < total; ++at) {
            const TableRow& row = rows[static_cast<std::size_t>(at)];
            const std::string& level = levelStyles[static_cast<std::size_t>(std::min(row.level, kLevelStyles - 1))];
            m_xml += "<table:table-row>";
            cell("Cell", "Body", row.number);
            for (int t = 0; t < model::kTreeCount; ++t) {
                cell("Cell", level, row.labels[static_cast<std::size_t>(t)]);
                if (notes)
                    cell("Cell", "Body", m_document.note(static_cast<std::size_t>(at), t));
                if (t == 0 && information)
                    for (std::string_view text : m_document.informationCells(static_cast<std::size_t>(at)))
                        cell("Cell", "Body", text);
            }
            m_xml += "</table:table-row>\n";
            flushIfFull();
            if ((at + 1) % kRowsPerReport == 0)
                reportOrStop(progress, at + 1, total);
        }
        m_xml += "</table:table>\n";
        if (!m_document.total().empty())
            paragraph("Body", m_document.total());
        reportOrStop(progress, total, total);
    }

    void matrix(const DesignMatrix& matrix, const std::string& name)
    {
        paragraph("Bold", matrix.caption);
        if (matrix.listed) {
            for (const ListedCell& cell : matrix.cells) {
                m_xml += "<text:p text:style-name=\"Body\">";
                m_xml += listedCellLine(cell); // numbers and an arrow: nothing to escape
                m_xml += "</text:p>\n";
                flushIfFull();
            }
        } else {
            tableStart(name, "M" + std::to_string(markStyleOf(matrix)), std::max<std::size_t>(matrix.columnHeads.size(), 1));
            cell("Head", "Bold", {});
            for (const std::string& head : matrix.columnHeads)
                cell("Head", "HeadMark", head);
            headEnd();
            for (std::size_t r = 0; r < matrix.rowHeads.size(); ++r) {
                m_xml += "<table:table-row>";
                cell("Cell", "Bold", matrix.rowHeads[r]);
                for (std::size_t c = 0; c < matrix.columnHeads.size(); ++c)
                    cell("Cell", "Mark", markText(matrix.mark(r, c)));
                m_xml += "</table:table-row>\n";
                flushIfFull();
            }
            m_xml += "</table:table>\n";
        }
        paragraph("Body", matrix.classification);
    }

    // One paragraph per picture, each picture in a frame as large as it is on the page.
    void flowPictures()
    {
        paragraph("Heading", TableDocument::kFlowHeading);
        const double width = m_document.flow()->size.width() * m_pictures.pointsPerPixel;
        for (std::size_t i = 0; i < m_pictures.pieces.size(); ++i) {
            const FlowPiece& piece = m_pictures.pieces[i];
            m_xml += "<text:p text:style-name=\"Body\"><draw:frame draw:name=\"Flow diagram " + std::to_string(i + 1) +
                     "\" text:anchor-type=\"as-char\" svg:width=\"" + points(width) + "\" svg:height=\"" +
                     points((piece.bottom - piece.top) * m_pictures.pointsPerPixel) +
                     "\" draw:z-index=\"0\"><draw:image xlink:href=\"" + pictureName(i) +
                     "\" xlink:type=\"simple\" xlink:show=\"embed\" xlink:actuate=\"onLoad\"/></draw:frame></text:p>\n";
        }
    }

    const TableDocument& m_document;
    const FlowPictures& m_pictures;
    ZipWriter& m_zip;
    std::string m_xml;
    std::vector<double> m_markWidths; // of the matrices' mark columns, in order of first use: style M0, M1, ...
};

} // namespace

void writeOdt(const TableDocument& document, ByteSink& out, ExportProgress& progress)
{
    // The package rules: the mimetype first, stored, without an extra field.
    const FlowPictures pictures = flowPicturesOf(document);
    ZipWriter zip(out);
    zip.addStored("mimetype", kMimeType);
    zip.beginDeflated("META-INF/manifest.xml");
    zip.write(manifestOf(pictures));
    zip.endDeflated();
    zip.beginDeflated("content.xml");
    ContentWriter(document, pictures, zip).write(progress);
    zip.endDeflated();
    zip.beginDeflated("styles.xml");
    zip.write(stylesXml());
    zip.endDeflated();
    // PNG is compressed already.
    double scale = pictures.pointsPerPixel / 72 * kFlowDpi;
    if (const FlowLayout* flow = document.flow(); flow && !pictures.pieces.empty())
        scale = std::min(scale, std::sqrt(kMostFlowPixels / std::max(1.0, flow->size.width() * flow->size.height())));
    for (std::size_t i = 0; i < pictures.pieces.size(); ++i)
        zip.addStored(pictureName(i), renderFlowPng(*document.flow(), scale, pictures.pieces[i].top,
                                                    pictures.pieces[i].bottom));
    zip.finish();
}

} // namespace exporting
