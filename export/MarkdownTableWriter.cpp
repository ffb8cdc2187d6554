#include "export/MarkdownTableWriter.h"

#include "export/DocumentText.h"

namespace exporting {
namespace {

constexpr std::string_view kNoBreakSpace = "\xC2\xA0"; // U+00A0 in UTF-8
constexpr int kSpacesPerLevel = 4;
constexpr std::size_t kBytesPerRowGuess = 112;

std::string_view escapeMarkup(char c)
{
    switch (c) {
    case '\\': return "\\\\";
    case '|': return "\\|";
    case '*': return "\\*";
    case '_': return "\\_";
    case '`': return "\\`";
    case '[': return "\\[";
    case ']': return "\\]";
    case '<': return "\\<";
    case '>': return "\\>";
    case '&': return "\\&";
    case '~': return "\\~";
    default: return {};
    }
}

// Markdown trims a cell; blanks inside "** **" would undo the bold.
std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

class MarkdownBuilder {
public:
    explicit MarkdownBuilder(std::size_t sizeGuess) { m_out.reserve(sizeGuess); }

    void line(std::string_view text = {}) { m_out.append(text).append(1, '\n'); }
    void raw(std::string_view text) { m_out.append(text); }
    void text(std::string_view utf8) { appendEscaped(m_out, utf8, escapeMarkup); }
    // A note: a table row is one line, so its line breaks become <br>.
    void noteCell(std::string_view note)
    {
        m_out.append(" ");
        bool first = true;
        forEachLine(trimmed(note), [&](std::string_view line) {
            m_out.append(first ? "" : "<br/>");
            text(line);
            first = false;
        });
        m_out.append(" |");
    }
    void cell(std::string_view utf8, bool bold = false, int indent = 0)
    {
        m_out.append(" ");
        for (int i = 0; i < indent * kSpacesPerLevel; ++i)
            m_out.append(kNoBreakSpace);
        const std::string_view label = trimmed(utf8);
        bold = bold && !label.empty();
        if (bold)
            m_out.append("**");
        text(label);
        if (bold)
            m_out.append("**");
        m_out.append(" |");
    }
    void rule(std::size_t columns, std::string_view firstColumn, std::string_view otherColumns)
    {
        m_out.append("|").append(firstColumn);
        for (std::size_t c = 1; c < columns; ++c)
            m_out.append("|").append(otherColumns);
        m_out.append("|\n");
    }
    std::string take() { return std::move(m_out); }

private:
    std::string m_out;
};

void appendMatrix(MarkdownBuilder& md, const DesignMatrix& matrix)
{
    md.raw("**");
    md.text(trimmed(matrix.caption));
    md.line("**");
    md.line();
    if (matrix.listed) {
        for (const ListedCell& cell : matrix.cells) {
            md.raw("- ");
            md.line(listedCellLine(cell));
        }
        md.line();
        md.text(matrix.classification);
        md.line();
        md.line();
        return;
    }
    md.raw("|");
    md.cell({});
    for (const std::string& head : matrix.columnHeads)
        md.cell(head);
    md.line();
    md.rule(matrix.columnHeads.size() + 1, "---", ":-:");
    for (std::size_t r = 0; r < matrix.rowHeads.size(); ++r) {
        md.raw("|");
        md.cell(matrix.rowHeads[r]);
        for (std::size_t c = 0; c < matrix.columnHeads.size(); ++c)
            md.cell(markText(matrix.mark(r, c)));
        md.line();
    }
    md.line();
    md.text(matrix.classification);
    md.line();
    md.line();
}

} // namespace

std::string renderMarkdown(const TableDocument& document)
{
    MarkdownBuilder md(kBytesPerRowGuess * (document.rows().size() + 2));
    md.raw("# ");
    md.text(document.title());
    md.line();
    md.line();
    const bool information = document.hasInformation();
    md.raw("|");
    md.cell(TableDocument::kNumberHead);
    const bool notes = document.hasNotes();
    for (int t = 0; t < model::kTreeCount; ++t) {
        md.cell(document.columnTitle(t));
        if (notes)
            md.cell(TableDocument::kNotesHead);
        if (t == 0 && information)
            for (std::string_view head : TableDocument::kInformationHeads)
                md.cell(head);
    }
    md.line();
    md.rule(model::kTreeCount * (notes ? 2 : 1) + 1 + (information ? TableDocument::kInformationHeads.size() : 0),
            "---", "---");
    for (std::size_t r = 0; r < document.rows().size(); ++r) {
        const TableRow& row = document.rows()[r];
        const bool bold = row.level == 0;
        md.raw("|");
        md.cell(row.number);
        for (int t = 0; t < model::kTreeCount; ++t) {
            md.cell(row.labels[static_cast<std::size_t>(t)], bold, t == 0 ? TableDocument::indentOf(row.level) : 0);
            if (notes)
                md.noteCell(document.note(r, t));
            if (t == 0 && information)
                for (std::string_view cell : document.informationCells(r))
                    md.cell(cell);
        }
        md.line();
    }
    if (!document.total().empty()) {
        md.line();
        md.text(document.total());
        md.line();
    }
    if (!document.matrices().empty()) {
        md.line();
        md.raw("## ");
        md.line(TableDocument::kMatricesHeading);
        md.line();
        for (const DesignMatrix& matrix : document.matrices())
            appendMatrix(md, matrix);
    }
    return md.take();
}

} // namespace exporting
