#include "export/TableDocument.h"

#include "export/FlowDiagram.h"
#include "export/InformationContent.h"
#include "export/MatrixTables.h"
#include "model/Cp1252.h"
#include "model/DesignTree.h"
#include "model/Numbering.h"

namespace exporting {

namespace {

// A label still holding the blank line of a new row ("__________") is left
// empty, so a review sees an empty cell rather than a line to fill in.
std::string_view reviewLabel(std::string_view label)
{
    const bool placeholder = !label.empty() && label.find_first_not_of('_') == std::string_view::npos;
    return placeholder ? std::string_view{} : label;
}

// Numbers deeper than this show their last parts only, behind an ellipsis:
// nobody reads a number of sixteen parts, and without the cut the numbers
// of a chain a million rows deep would take terabytes.
constexpr int kNumberPartsShown = 16;
constexpr std::string_view kEllipsis = "\xE2\x80\xA6"; // "…"

// The number of a row below `parent`, its `index`th child, at `level`.
void appendNumber(std::string& out, const TableRow& parent, int level, std::string_view index)
{
    std::string_view base = parent.number;
    if (level >= kNumberPartsShown) {
        // Drop the parent's first part ("1" of "1.2.3", ".2" of "….2.3").
        const bool parentCut = parent.level >= kNumberPartsShown;
        base = base.substr(base.find('.', parentCut ? kEllipsis.size() + 1 : 0));
        out.append(kEllipsis);
    }
    out.reserve(out.size() + base.size() + 1 + index.size());
    out.append(base).append(1, '.').append(index);
}

} // namespace

TableDocument TableDocument::build(const ExportSource& source, const ColourResolver& resolver, std::string title)
{
    TableDocument document;
    document.m_title = std::move(title);
    document.m_texts = std::make_shared<TextKeeper>();
    for (int t = 0; t < model::kTreeCount; ++t)
        document.m_columnTitles[static_cast<std::size_t>(t)] = fullTitleText(source, t, *document.m_texts);
    // System colours are resolved once, at the moment of the export.
    for (std::size_t level = 0; level < source.levelColours.size(); ++level)
        document.m_colours[level] = documentColour(source.levelColours[level], resolver);
    document.m_colours.back() = TextColour::explicitColour(0);
    document.m_rows = tableRowsOf(source, *document.m_texts);
    document.appendInformation(source);
    document.appendNotes(source);
    document.m_matrices = matrixTables(source);
    if (source.matrices && !source.matrices->empty())
        document.m_flow = std::make_shared<const FlowLayout>(layoutFlowDiagram(source));
    return document;
}

TextColour TableDocument::colourOf(int level) const
{
    const auto last = static_cast<int>(m_colours.size()) - 1;
    return m_colours[static_cast<std::size_t>(level < last ? level : last)];
}

std::vector<TableRow> tableRowsOf(const ExportSource& source, TextKeeper& keeper)
{
    // The FR tree gives the shape; DP and PV have the same, row for row.
    std::vector<TableRow> rows;
    const model::DesignTree* shape = source.trees[0];
    if (!shape)
        return rows;
    const std::span<const model::Node* const> order = shape->preorder();
    std::array<std::span<const model::Node* const>, model::kTreeCount> partners{};
    for (std::size_t t = 0; t < partners.size(); ++t)
        if (source.trees[t])
            partners[t] = source.trees[t]->preorder();

    rows.resize(order.size());
    for (std::size_t row = 0; row < order.size(); ++row) {
        // Number and level follow from the parent's, found by its row: linear
        // even for a chain of a million nodes.
        const model::Node* node = order[row];
        TableRow& out = rows[row];
        const std::string index = std::to_string(node->siblingIndex + 1);
        if (shape->isTopLevel(node)) {
            out.number = index;
        } else {
            const TableRow& parent = rows[node->parent->row];
            out.level = parent.level + 1;
            appendNumber(out.number, parent, out.level, index);
        }
        for (std::size_t t = 0; t < partners.size(); ++t)
            if (row < partners[t].size())
                out.labels[t] = reviewLabel(
                    fullLabelText(source, static_cast<int>(t), node, partners[t][row], keeper));
    }
    return rows;
}

void TableDocument::appendInformation(const ExportSource& source)
{
    if (!source.ranges || source.ranges->empty() || !source.trees[0])
        return;
    const std::span<const model::Node* const> order = source.trees[0]->preorder();
    m_information.resize(order.size());
    for (std::size_t row = 0; row < order.size(); ++row) {
        const model::FrRanges* ranges = source.ranges->find(order[row]);
        if (!ranges)
            continue;
        RowInformation& out = m_information[row];
        // Units are typed in Windows-1252, and "±" is one of its characters.
        out.designRange = model::cp1252ToUtf8(model::designRangeText(ranges->design));
        out.systemRange = model::cp1252ToUtf8(model::systemRangeText(ranges->system));
        if (ranges->complete())
            out.bits = model::bitsText(model::informationBits(model::probabilityOfSuccess(*ranges)));
    }
    const model::InformationTotal total = informationTotalOf(source);
    if (total.rows > 0)
        m_total = "Total: " + totalText(total);
}

void TableDocument::appendNotes(const ExportSource& source)
{
    if (!exporting::hasNotes(source) || !source.trees[0])
        return;
    const std::span<const model::Node* const> order = source.trees[0]->preorder();
    m_notes.resize(order.size());
    for (std::size_t row = 0; row < order.size(); ++row)
        for (int t = 0; t < model::kTreeCount; ++t)
            m_notes[row][static_cast<std::size_t>(t)] = noteOf(source, t, order[row]);
}

std::string tableTitleFor(std::string_view designPath)
{
    const std::size_t slash = designPath.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? designPath : designPath.substr(slash + 1);
    return std::string(name.empty() ? TableDocument::kUntitled : name);
}

} // namespace exporting
