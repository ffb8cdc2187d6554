#pragma once
// A design matrix as a table document shows it, under a caption such as
// "1.2 FR-DP" and over a classification line. A cell is X when it was
// assessed and the column's parameter affects the row's requirement, O when
// it was assessed and does not, and blank when it was not assessed; the
// diagonal is always X. A full matrix also has "o": not assessed itself, but
// O because a pair above it is. Only X cells count when classifying: O is an answer,
// not a weaker effect. Texts are UTF-8, row heads with the nodes' full labels.
//
// A matrix over more children than model::kMostGridRows has no grid: a grid
// grows with the square of its width, so a level of 3,000 rows with one cell
// would make a document of hundreds of megabytes. Such a matrix is a list of
// its assessed cells instead, one line each: "1.2 → 1.7: X" (row, column).
// A full matrix over more leaves than model::kMostFullLeaves lists none: its
// caption and its classification line alone.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

enum class MatrixMark : char { Blank = ' ', X = 'X', O = 'O', ImpliedO = 'o' };

// An assessed cell of a listed matrix, by the children's outline numbers.
struct ListedCell {
    std::string row;
    std::string column;
    MatrixMark mark = MatrixMark::X;
};

struct DesignMatrix {
    std::string caption;
    std::vector<std::string> columnHeads;
    std::vector<std::string> rowHeads;
    std::vector<MatrixMark> marks; // row by row; a missing mark is blank
    std::string classification;
    std::string corner = {}; // what rows and columns are, "FR \ DP"; a format may leave its corner blank
    bool listed = false;     // too wide for a grid: no heads and marks, the cells below instead
    std::vector<ListedCell> cells = {}; // a listed matrix's assessed cells, row by row

    MatrixMark mark(std::size_t row, std::size_t column) const
    {
        const std::size_t at = row * columnHeads.size() + column;
        return column < columnHeads.size() && at < marks.size() ? marks[at] : MatrixMark::Blank;
    }
};

// The text of a mark in a cell: "X", "O", "o" or nothing.
inline std::string_view markText(MatrixMark mark)
{
    switch (mark) {
    case MatrixMark::X:
        return "X";
    case MatrixMark::O:
        return "O";
    case MatrixMark::ImpliedO:
        return "o";
    case MatrixMark::Blank:
        break;
    }
    return {};
}

// A listed cell as its line reads, in UTF-8: "1.2 → 1.7: X".
inline std::string listedCellLine(const ListedCell& cell)
{
    std::string line = cell.row;
    line.append(" \xE2\x86\x92 ").append(cell.column).append(": ").append(markText(cell.mark));
    return line;
}

} // namespace exporting
