#include "export/PageGrid.h"

#include <algorithm>

namespace exporting {
namespace {

constexpr double kNumberShare = 0.10; // the rest is shared by the three labels
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

GridCell DesignTableGrid::head(int column) const
{
    return {column == 0 ? TableDocument::kNumberHead : m_document.columnTitle(column - 1),
            TextColour::automaticColour(), true};
}

GridCell DesignTableGrid::cell(int row, int column) const
{
    const TableRow& r = m_document.rows()[static_cast<std::size_t>(row)];
    if (column == 0)
        return {r.number, TextColour::automaticColour()};
    return {r.labels[static_cast<std::size_t>(column - 1)], m_document.colourOf(r.level), r.level == 0,
            TableDocument::indentOf(r.level)};
}

double DesignTableGrid::columnWidth(int column, double tableWidth) const
{
    return column == 0 ? tableWidth * kNumberShare : tableWidth * (1 - kNumberShare) / model::kTreeCount;
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
