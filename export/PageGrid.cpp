#include "export/PageGrid.h"

#include <algorithm>

namespace exporting {
namespace {

constexpr double kNumberShare = 0.10; // the rest is shared by the three labels
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

int DesignTableGrid::informationIndex(int column) const
{
    return column >= 2 && column < 2 + informationColumns() ? column - 2 : -1;
}

int DesignTableGrid::treeOf(int column) const
{
    return column <= 1 ? 0 : column - 1 - informationColumns();
}

GridCell DesignTableGrid::head(int column) const
{
    if (column == 0)
        return {TableDocument::kNumberHead, TextColour::automaticColour(), true};
    if (const int i = informationIndex(column); i >= 0)
        return {TableDocument::kInformationHeads[static_cast<std::size_t>(i)], TextColour::automaticColour(), true};
    return {m_document.columnTitle(treeOf(column)), TextColour::automaticColour(), true};
}

GridCell DesignTableGrid::cell(int row, int column) const
{
    const TableRow& r = m_document.rows()[static_cast<std::size_t>(row)];
    if (column == 0)
        return {r.number, TextColour::automaticColour()};
    if (const int i = informationIndex(column); i >= 0)
        return {m_document.informationCells(static_cast<std::size_t>(row))[static_cast<std::size_t>(i)],
                TextColour::automaticColour()};
    return {r.labels[static_cast<std::size_t>(treeOf(column))], m_document.colourOf(r.level), r.level == 0,
            TableDocument::indentOf(r.level)};
}

double DesignTableGrid::columnWidth(int column, double tableWidth) const
{
    if (column == 0)
        return tableWidth * kNumberShare;
    if (const int i = informationIndex(column); i >= 0)
        return tableWidth * (i < 2 ? kRangeShare : kBitsShare);
    const double information = informationColumns() > 0 ? 2 * kRangeShare + kBitsShare : 0;
    return tableWidth * (1 - kNumberShare - information) / model::kTreeCount;
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
