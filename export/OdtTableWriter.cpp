#include "export/OdtTableWriter.h"

#include "export/DocumentText.h"
#include "model/UserError.h"

#include <QBuffer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextTable>

#include <chrono>
#include <future>

namespace exporting {
namespace {

constexpr const char* kFontFamily = "Arial";
constexpr int kBodyPoints = 9;
constexpr int kTitlePoints = 14;
constexpr int kHeadingPoints = 12;
constexpr double kIndentPx = 14; // the writer counts 96 px to the inch
constexpr double kCellPaddingPx = 3;
constexpr double kBorderPx = 0.5;
// Column widths are fixed: the writer gives percentages in a form word
// processors ignore, and fixed widths as that many points. The table fills
// the text width of an A4 page in portrait (17 cm).
constexpr double kTableWidthPt = 480;
constexpr double kNumberColumnPt = 54;
constexpr double kMatrixRowHeadPt = 170;
constexpr double kMatrixMarkPt = 30;
const QColor kHeadFill(232, 232, 232);
const QColor kBorderColour(150, 150, 150);
constexpr auto kReportInterval = std::chrono::milliseconds(30);

QTextCharFormat baseFormat(int points = kBodyPoints, bool bold = false)
{
    QTextCharFormat format;
    // Qt 6.4's writer names a family only when the format holds the property
    // under its old key; it reads the value from the new one.
    format.setFontFamilies(QStringList{QString::fromLatin1(kFontFamily)});
    format.setProperty(QTextFormat::OldFontFamily, QString::fromLatin1(kFontFamily));
    format.setFontPointSize(points);
    if (bold)
        format.setFontWeight(QFont::Bold);
    return format;
}

QTextTableFormat tableFormat(const QList<QTextLength>& widths)
{
    QTextTableFormat format;
    format.setHeaderRowCount(1);
    format.setBorder(kBorderPx);
    format.setBorderBrush(kBorderColour);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(kCellPaddingPx);
    format.setColumnWidthConstraints(widths);
    return format;
}

// Builds the document in one edit block: inside one, the cursor skips laying
// out each block as text goes in, which halves the time.
class TextDocumentBuilder {
public:
    explicit TextDocumentBuilder(const TableDocument& document)
        : m_document(document), m_text(std::make_unique<QTextDocument>()), m_cursor(m_text.get())
    {
        m_text->setUndoRedoEnabled(false);
        m_text->setDefaultFont(QFont(QString::fromLatin1(kFontFamily), kBodyPoints));
        m_text->setMetaInformation(QTextDocument::DocumentTitle, QString::fromUtf8(document.title()));
        for (int level = 0; level <= TableDocument::kDeepestIndent + 1; ++level) {
            QTextCharFormat format = baseFormat(kBodyPoints, level == 0);
            if (const TextColour colour = document.colourOf(level); !colour.automatic)
                format.setForeground(QColor(static_cast<int>(colour.rgb & 0xFF), static_cast<int>((colour.rgb >> 8) & 0xFF),
                                            static_cast<int>((colour.rgb >> 16) & 0xFF)));
            m_levelFormats.push_back(format);
            QTextBlockFormat indent;
            indent.setLeftMargin(kIndentPx * TableDocument::indentOf(level));
            m_indentFormats.push_back(indent);
        }
        m_cursor.beginEditBlock();
    }

    std::unique_ptr<QTextDocument> build(ExportProgress& progress)
    {
        m_cursor.insertText(QString::fromUtf8(m_document.title()), baseFormat(kTitlePoints, true));
        m_cursor.insertBlock();
        appendDesignTable(progress);
        if (!m_document.matrices().empty()) {
            paragraph(qtText(TableDocument::kMatricesHeading), baseFormat(kHeadingPoints, true));
            for (const DesignMatrix& matrix : m_document.matrices())
                appendMatrix(matrix);
        }
        m_cursor.endEditBlock();
        return std::move(m_text);
    }

private:
    void paragraph(const QString& text, const QTextCharFormat& format)
    {
        m_cursor.movePosition(QTextCursor::End);
        m_cursor.insertBlock(QTextBlockFormat(), format);
        m_cursor.insertText(text, format);
    }

    void cell(QTextTable* table, int row, int column, std::string_view cp1252, const QTextCharFormat& format,
              const QTextBlockFormat* block = nullptr)
    {
        QTextCursor at = table->cellAt(row, column).firstCursorPosition();
        if (block)
            at.setBlockFormat(*block);
        at.insertText(qtText(cp1252), format);
    }

    void headRow(QTextTable* table, const std::vector<std::string_view>& heads)
    {
        const QTextCharFormat bold = baseFormat(kBodyPoints, true);
        for (int c = 0; c < static_cast<int>(heads.size()); ++c) {
            QTextTableCell head = table->cellAt(0, c);
            QTextTableCellFormat fill = head.format().toTableCellFormat();
            fill.setBackground(kHeadFill);
            head.setFormat(fill);
            cell(table, 0, c, heads[static_cast<std::size_t>(c)], bold);
        }
    }

    void appendDesignTable(ExportProgress& progress)
    {
        const std::vector<TableRow>& rows = m_document.rows();
        const double labelPt = (kTableWidthPt - kNumberColumnPt) / model::kTreeCount;
        QTextTable* table = m_cursor.insertTable(
            static_cast<int>(rows.size()) + 1, model::kTreeCount + 1,
            tableFormat({QTextLength(QTextLength::FixedLength, kNumberColumnPt),
                         QTextLength(QTextLength::FixedLength, labelPt), QTextLength(QTextLength::FixedLength, labelPt),
                         QTextLength(QTextLength::FixedLength, labelPt)}));
        headRow(table, {TableDocument::kNumberHead, m_document.columnTitle(0), m_document.columnTitle(1),
                        m_document.columnTitle(2)});
        const QTextCharFormat number = baseFormat();
        const auto total = static_cast<std::int64_t>(rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const TableRow& row = rows[r];
            const int at = static_cast<int>(r) + 1;
            const auto style = static_cast<std::size_t>(std::min(row.level, TableDocument::kDeepestIndent + 1));
            const QTextBlockFormat* indent = row.level > 0 ? &m_indentFormats[style] : nullptr;
            cell(table, at, 0, row.number, number);
            for (int t = 0; t < model::kTreeCount; ++t)
                cell(table, at, t + 1, row.labels[static_cast<std::size_t>(t)], m_levelFormats[style], indent);
            if (at % kRowsPerReport == 0)
                reportOrStop(progress, at, total);
        }
        reportOrStop(progress, total, total);
    }

    void appendMatrix(const DesignMatrix& matrix)
    {
        paragraph(qtText(matrix.caption), baseFormat(kBodyPoints, true));
        m_cursor.insertBlock(QTextBlockFormat(), baseFormat());
        const int columns = static_cast<int>(matrix.columnHeads.size());
        QList<QTextLength> widths{QTextLength(QTextLength::FixedLength, kMatrixRowHeadPt)};
        const double markPt = std::min(kMatrixMarkPt, (kTableWidthPt - kMatrixRowHeadPt) / std::max(columns, 1));
        for (int c = 0; c < columns; ++c)
            widths.append(QTextLength(QTextLength::FixedLength, markPt));
        QTextTable* table = m_cursor.insertTable(static_cast<int>(matrix.rowHeads.size()) + 1, columns + 1,
                                                 tableFormat(widths));
        std::vector<std::string_view> heads{{}};
        heads.insert(heads.end(), matrix.columnHeads.begin(), matrix.columnHeads.end());
        headRow(table, heads);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        const QTextCharFormat bold = baseFormat(kBodyPoints, true);
        const QTextCharFormat plain = baseFormat();
        for (std::size_t r = 0; r < matrix.rowHeads.size(); ++r) {
            const int at = static_cast<int>(r) + 1;
            cell(table, at, 0, matrix.rowHeads[r], bold);
            for (int c = 0; c < columns; ++c)
                cell(table, at, c + 1, markText(matrix.mark(r, static_cast<std::size_t>(c))), plain, &centred);
        }
        paragraph(qtText(matrix.classification), plain);
    }

    const TableDocument& m_document;
    std::unique_ptr<QTextDocument> m_text;
    QTextCursor m_cursor;
    std::vector<QTextCharFormat> m_levelFormats;   // levels 0 to 10, then deeper
    std::vector<QTextBlockFormat> m_indentFormats;
};

QByteArray writeOdf(const QTextDocument* text)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!QTextDocumentWriter(&buffer, "ODF").write(text))
        throw model::UserError("Cannot write the OpenDocument text");
    return buffer.data();
}

} // namespace

std::unique_ptr<QTextDocument> buildTextDocument(const TableDocument& document, ExportProgress& progress)
{
    return TextDocumentBuilder(document).build(progress);
}

std::string renderOdt(const TableDocument& document, ExportProgress& progress)
{
    const std::unique_ptr<QTextDocument> text = buildTextDocument(document, progress);
    // Only the writer's thread touches the document until it is done.
    std::future<QByteArray> written = std::async(std::launch::async, writeOdf, text.get());
    bool stop = false;
    do {
        stop = stop || !progress.report(0, 0);
    } while (written.wait_for(kReportInterval) != std::future_status::ready);
    const QByteArray bytes = written.get();
    if (stop)
        throw ExportCancelled();
    return bytes.toStdString();
}

} // namespace exporting
