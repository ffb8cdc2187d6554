#include "export/HtmlTableWriter.h"
#include "export/TableLook.h"

#include "export/DocumentText.h"
#include "export/FlowDiagram.h"

#include <array>
#include <cstdio>

namespace exporting {
namespace {

constexpr int kIndentPx = 14;
constexpr std::size_t kBytesPerRowGuess = 200;
// Style classes l0 to l11: levels 0 to 10, then every level deeper.
constexpr int kLevelClasses = model::kLevelCount + 1;

std::string pageStyle()
{
    const TableLook& look = kTableLook;
    std::string css = std::string("body { font-family: ") + look.fontFamily + ", \"" + look.fallbackFamily +
                      "\", sans-serif; font-size: " + pointText(look.bodyPoints) + "; }\n";
    css += "table { border-collapse: collapse; }\n";
    css += "th, td { border: 1px solid " + hexColour(look.webLineColour) +
           "; padding: 2px 4px; vertical-align: top; text-align: left; }\n";
    css += "th { background-color: " + hexColour(look.headFill) + "; }\n";
    css += "td.mark { text-align: center; }\n"
           "td p { margin-top: 0; margin-bottom: 0; }\n";
    return css;
}

constexpr std::string_view kTableStart = "<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
constexpr std::string_view kMatrixStart = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";

std::string_view escapeHtml(char c)
{
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    default: return {};
    }
}

int levelClass(int level) { return level < kLevelClasses - 1 ? level : kLevelClasses - 1; }

std::string levelStyles(const TableDocument& document)
{
    std::string css;
    for (int level = 0; level < kLevelClasses; ++level) {
        char rule[160];
        std::snprintf(rule, sizeof rule, "p.l%d { margin-top: 0; margin-bottom: 0; margin-left: %dpx;", level,
                      kIndentPx * TableDocument::indentOf(level));
        css += rule;
        const TextColour colour = document.colourOf(level);
        if (!colour.automatic) {
            std::snprintf(rule, sizeof rule, " color: #%02x%02x%02x;", colour.rgb & 0xFF, (colour.rgb >> 8) & 0xFF,
                          (colour.rgb >> 16) & 0xFF);
            css += rule;
        }
        css += level == 0 ? " font-weight: bold; }\n" : " }\n";
    }
    return css;
}

class HtmlBuilder {
public:
    explicit HtmlBuilder(std::size_t sizeGuess) { m_out.reserve(sizeGuess); }

    HtmlBuilder& raw(std::string_view markup)
    {
        m_out.append(markup);
        return *this;
    }
    HtmlBuilder& text(std::string_view utf8)
    {
        appendEscaped(m_out, utf8, escapeHtml);
        return *this;
    }
    HtmlBuilder& element(std::string_view open, std::string_view utf8, std::string_view close)
    {
        return raw(open).text(utf8).raw(close);
    }
    // A note's cell, each line break a <br>.
    HtmlBuilder& noteCell(std::string_view note)
    {
        raw("<td>");
        bool first = true;
        forEachLine(note, [&](std::string_view line) {
            raw(first ? "" : "<br>").text(line);
            first = false;
        });
        return raw("</td>");
    }
    std::string take() { return std::move(m_out); }

private:
    std::string m_out;
};

// The information columns after FR, where the table has them.
void appendRow(HtmlBuilder& html, const TableDocument& document, std::size_t r)
{
    const TableRow& row = document.rows()[r];
    char open[32];
    std::snprintf(open, sizeof open, "<td><p class=\"l%d\">", levelClass(row.level));
    html.element("<tr valign=\"top\"><td>", row.number, "</td>");
    for (int t = 0; t < model::kTreeCount; ++t) {
        html.element(open, row.labels[static_cast<std::size_t>(t)], "</p></td>");
        if (document.hasNotes())
            html.noteCell(document.note(r, t));
        if (t == 0 && document.hasInformation())
            for (std::string_view cell : document.informationCells(r))
                html.element("<td>", cell, "</td>");
    }
    html.raw("</tr>\n");
}

// The head row with notes: each tree's label and notes share its width.
void appendHeadWithNotes(HtmlBuilder& html, const TableDocument& document)
{
    const bool information = document.hasInformation();
    html.element("<thead><tr><th width=\"6%\">", TableDocument::kNumberHead, "</th>");
    for (int t = 0; t < model::kTreeCount; ++t) {
        html.element(information ? "<th width=\"14%\">" : "<th width=\"16%\">", document.columnTitle(t), "</th>");
        html.element(information ? "<th width=\"12%\">" : "<th width=\"15%\">", TableDocument::kNotesHead, "</th>");
        if (t == 0 && information)
            for (std::string_view head : TableDocument::kInformationHeads)
                html.element("<th width=\"6%\">", head, "</th>");
    }
    html.raw("</tr></thead>\n");
}

// The head row. With the information columns the labels give up some of their width.
void appendHead(HtmlBuilder& html, const TableDocument& document)
{
    if (document.hasNotes()) {
        appendHeadWithNotes(html, document);
        return;
    }
    if (!document.hasInformation()) {
        html.element("<thead><tr><th width=\"10%\">", TableDocument::kNumberHead, "</th>");
        for (int t = 0; t < model::kTreeCount; ++t)
            html.element("<th width=\"30%\">", document.columnTitle(t), "</th>");
        html.raw("</tr></thead>\n");
        return;
    }
    constexpr std::array<std::string_view, 3> kInformationWidths = {"13%", "13%", "8%"};
    html.element("<thead><tr><th width=\"8%\">", TableDocument::kNumberHead, "</th>");
    html.element("<th width=\"22%\">", document.columnTitle(0), "</th>");
    for (std::size_t i = 0; i < kInformationWidths.size(); ++i)
        html.raw("<th width=\"").raw(kInformationWidths[i]).element("\">", TableDocument::kInformationHeads[i], "</th>");
    for (int t = 1; t < model::kTreeCount; ++t)
        html.element("<th width=\"18%\">", document.columnTitle(t), "</th>");
    html.raw("</tr></thead>\n");
}

void appendMatrix(HtmlBuilder& html, const DesignMatrix& matrix)
{
    html.element("<p><b>", matrix.caption, "</b></p>\n");
    if (matrix.listed) {
        html.raw("<ul>\n");
        for (const ListedCell& cell : matrix.cells)
            html.raw("<li>").text(listedCellLine(cell)).raw("</li>\n");
        html.element("</ul>\n<p>", matrix.classification, "</p>\n");
        return;
    }
    html.raw(kMatrixStart).raw("<tr><th></th>");
    for (const std::string& head : matrix.columnHeads)
        html.element("<th>", head, "</th>");
    html.raw("</tr>\n");
    for (std::size_t r = 0; r < matrix.rowHeads.size(); ++r) {
        html.element("<tr><th>", matrix.rowHeads[r], "</th>");
        for (std::size_t c = 0; c < matrix.columnHeads.size(); ++c)
            html.element("<td class=\"mark\">", markText(matrix.mark(r, c)), "</td>");
        html.raw("</tr>\n");
    }
    html.element("</table>\n<p>", matrix.classification, "</p>\n");
}

// The flow diagram inline: the SVG document's root element and what is in it,
// shrunk to the page's width where it is wider.
void appendFlow(HtmlBuilder& html, const FlowLayout& flow)
{
    const std::string svg = renderFlowSvg(flow);
    const std::size_t root = svg.find("<svg");
    if (root == std::string::npos)
        return;
    html.element("<h2>", TableDocument::kFlowHeading, "</h2>\n");
    html.raw("<svg style=\"max-width: 100%; height: auto;\"").raw(std::string_view(svg).substr(root + 4));
}

} // namespace

std::string renderHtml(const TableDocument& document)
{
    HtmlBuilder html(kBytesPerRowGuess * (document.rows().size() + 4));
    html.raw("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>")
        .text(document.title())
        .raw("</title>\n<style>\n")
        .raw(pageStyle())
        .raw(levelStyles(document))
        .raw("</style>\n</head>\n<body>\n<h1>")
        .text(document.title())
        .raw("</h1>\n")
        .raw(kTableStart);
    appendHead(html, document);
    html.raw("<tbody>\n");
    for (std::size_t r = 0; r < document.rows().size(); ++r)
        appendRow(html, document, r);
    html.raw("</tbody>\n</table>\n");
    if (!document.total().empty())
        html.element("<p>", document.total(), "</p>\n");
    if (!document.matrices().empty()) {
        html.element("<h2>", TableDocument::kMatricesHeading, "</h2>\n");
        for (const DesignMatrix& matrix : document.matrices())
            appendMatrix(html, matrix);
    }
    if (const FlowLayout* flow = document.flow())
        appendFlow(html, *flow);
    html.raw("</body>\n</html>\n");
    return html.take();
}

} // namespace exporting
