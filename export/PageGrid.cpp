#include "export/PageGrid.h"

#include <algorithm>

namespace exporting {
namespace {

constexpr double kNumberShare = 0.10; // the rest is shared by the three labels (and their notes)
// With the information columns: the two ranges and I, the labels sharing what is left.
constexpr double kRangeShare = 0.12;
constexpr double kBitsShare = 0.06;
constexpr double kRowHeadShare = 0.34;
constexpr double kMarkShareMax = 0.06; // of the table width, per mark column

} // namespace

GridColumns GridColumns::of(const PageGrid& grid, double tableWidth)
{
    GridColumns columns;
    for (int c = 0; c < grid.columnCount(); ++c) {
        columns.left.push_back(columns.total);
        columns.width.push_back(grid.columnWidth(c, tableWidth));
        columns.total += columns.width.back();
    }
    return columns;
}

DesignTableGrid::Column DesignTableGrid::columnAt(int column) const
{
    // FR and what follows it (its notes, the information columns), then a block per other tree.
    const int c = column - 1;
    const int frBlock = perTree() + informationColumns();
    if (c < frBlock)
        return c < perTree() ? Column{c == 0 ? Column::Kind::Label : Column::Kind::Note, 0}
                             : Column{Column::Kind::Information, c - perTree()};
    const int rest = c - frBlock;
    return {rest % perTree() == 0 ? Column::Kind::Label : Column::Kind::Note, 1 + rest / perTree()};
}

GridCell DesignTableGrid::head(int column) const
{
    if (column == 0)
        return {TableDocument::kNumberHead, TextColour::automaticColour(), true};
    const Column at = columnAt(column);
    switch (at.kind) {
    case Column::Kind::Information:
        return {TableDocument::kInformationHeads[static_cast<std::size_t>(at.index)], TextColour::automaticColour(), true};
    case Column::Kind::Note:
        return {TableDocument::kNotesHead, TextColour::automaticColour(), true};
    case Column::Kind::Label:
        break;
    }
    return {m_document.columnTitle(at.index), TextColour::automaticColour(), true};
}

GridCell DesignTableGrid::cell(int row, int column) const
{
    const TableRow& r = m_document.rows()[static_cast<std::size_t>(row)];
    if (column == 0)
        return {r.number, TextColour::automaticColour()};
    const Column at = columnAt(column);
    switch (at.kind) {
    case Column::Kind::Information:
        return {m_document.informationCells(static_cast<std::size_t>(row))[static_cast<std::size_t>(at.index)],
                TextColour::automaticColour()};
    case Column::Kind::Note:
        return {m_document.note(static_cast<std::size_t>(row), at.index), TextColour::automaticColour()};
    case Column::Kind::Label:
        break;
    }
    return {r.labels[static_cast<std::size_t>(at.index)], m_document.colourOf(r.level), r.level == 0,
            TableDocument::indentOf(r.level)};
}

double DesignTableGrid::columnWidth(int column, double tableWidth) const
{
    if (column == 0)
        return tableWidth * kNumberShare;
    if (const Column at = columnAt(column); at.kind == Column::Kind::Information)
        return tableWidth * (at.index < 2 ? kRangeShare : kBitsShare);
    const double information = informationColumns() > 0 ? 2 * kRangeShare + kBitsShare : 0;
    return tableWidth * (1 - kNumberShare - information) / (model::kTreeCount * perTree());
}

GridCell MatrixGrid::head(int column) const
{
    if (column == 0)
        return {{}, TextColour::automaticColour(), true};
    return {m_matrix.columnHeads[static_cast<std::size_t>(column - 1)], TextColour::automaticColour(), true, 0, true};
}

GridCell MatrixGrid::cell(int row, int column) const
{
    const auto r = static_cast<std::size_t>(row);
    if (column == 0)
        return {m_matrix.rowHeads[r], TextColour::automaticColour(), true};
    return {markText(m_matrix.mark(r, static_cast<std::size_t>(column - 1))), TextColour::automaticColour(), false, 0,
            true};
}

double MatrixGrid::columnWidth(int column, double tableWidth) const
{
    if (column == 0)
        return tableWidth * kRowHeadShare;
    const double marks = static_cast<double>(m_matrix.columnHeads.size());
    return std::min(tableWidth * kMarkShareMax, tableWidth * (1 - kRowHeadShare) / marks);
}

} // namespace exporting
