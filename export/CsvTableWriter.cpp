#include "export/CsvTableWriter.h"

#include "export/DocumentText.h"

namespace exporting {
namespace {

constexpr std::string_view kRecordEnd = "\r\n";
constexpr std::size_t kBytesPerRowGuess = 96;
constexpr std::string_view kFormulaStarts = "=+-@\t\r";

std::string_view escapeQuote(char c) { return c == '"' ? "\"\"" : ""; }
std::string_view keep(char) { return {}; }

class CsvBuilder {
public:
    explicit CsvBuilder(std::size_t sizeGuess)
    {
        m_out.reserve(sizeGuess);
        m_out.append(kUtf8ByteOrderMark);
    }

    void field(std::string_view text)
    {
        separate();
        const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos;
        if (quoted)
            m_out += '"';
        // A spreadsheet runs a cell that starts like a formula: the leading
        // apostrophe makes it text (no number or level starts so).
        if (!text.empty() && kFormulaStarts.find(text.front()) != std::string_view::npos)
            m_out += '\'';
        appendEscaped(m_out, text, quoted ? escapeQuote : keep);
        if (quoted)
            m_out += '"';
    }
    // ASCII and the arrow of a listed cell: nothing to quote.
    void utf8Field(std::string_view utf8)
    {
        separate();
        m_out.append(utf8);
    }
    void endRecord()
    {
        m_out.append(kRecordEnd);
        m_fieldsInRecord = 0;
    }
    std::string take() { return std::move(m_out); }

private:
    void separate()
    {
        if (m_fieldsInRecord++ > 0)
            m_out += ',';
    }

    std::string m_out;
    int m_fieldsInRecord = 0;
};

void appendMatrix(CsvBuilder& csv, const DesignMatrix& matrix)
{
    csv.endRecord();
    csv.field(matrix.caption);
    csv.endRecord();
    if (matrix.listed) {
        for (const ListedCell& cell : matrix.cells) {
            csv.utf8Field(listedCellLine(cell));
            csv.endRecord();
        }
        csv.field(matrix.classification);
        csv.endRecord();
        return;
    }
    csv.field({});
    for (const std::string& head : matrix.columnHeads)
        csv.field(head);
    csv.endRecord();
    for (std::size_t r = 0; r < matrix.rowHeads.size(); ++r) {
        csv.field(matrix.rowHeads[r]);
        for (std::size_t c = 0; c < matrix.columnHeads.size(); ++c)
            csv.field(markText(matrix.mark(r, c)));
        csv.endRecord();
    }
    csv.field(matrix.classification);
    csv.endRecord();
}

} // namespace

std::string renderCsv(const TableDocument& document)
{
    CsvBuilder csv(kBytesPerRowGuess * (document.rows().size() + 1));
    const bool information = document.hasInformation();
    csv.field(TableDocument::kNumberHead);
    csv.field(TableDocument::kLevelHead);
    const bool notes = document.hasNotes();
    for (int t = 0; t < model::kTreeCount; ++t) {
        csv.field(document.columnTitle(t));
        if (notes)
            csv.field(TableDocument::kNotesHead);
        if (t == 0 && information)
            for (std::string_view head : TableDocument::kInformationHeads)
                csv.field(head);
    }
    csv.endRecord();
    for (std::size_t r = 0; r < document.rows().size(); ++r) {
        const TableRow& row = document.rows()[r];
        csv.field(row.number);
        csv.field(std::to_string(row.level));
        for (int t = 0; t < model::kTreeCount; ++t) {
            csv.field(row.labels[static_cast<std::size_t>(t)]);
            if (notes)
                csv.field(document.note(r, t));
            if (t == 0 && information)
                for (std::string_view cell : document.informationCells(r))
                    csv.field(cell);
        }
        csv.endRecord();
    }
    if (!document.total().empty()) {
        csv.endRecord();
        csv.field(document.total());
        csv.endRecord();
    }
    if (!document.matrices().empty()) {
        csv.endRecord();
        csv.field(TableDocument::kMatricesHeading);
        csv.endRecord();
        for (const DesignMatrix& matrix : document.matrices())
            appendMatrix(csv, matrix);
    }
    return csv.take();
}

} // namespace exporting
