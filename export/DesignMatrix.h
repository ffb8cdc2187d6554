#pragma once
// A design matrix as a table document shows it: which parameters each
// requirement depends on, marked X (strongly) or O (weakly) or left blank,
// under a caption such as "1.2 FR-DP" and over a classification line. Texts
// are Windows-1252 bytes, as node labels are.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

enum class MatrixMark : char { Blank = ' ', X = 'X', O = 'O' };

struct DesignMatrix {
    std::string caption;
    std::vector<std::string> columnHeads;
    std::vector<std::string> rowHeads;
    std::vector<MatrixMark> marks; // row by row; a missing mark is blank
    std::string classification;
    std::string corner = {}; // what rows and columns are, "FR \ DP"; a format may leave its corner blank

    MatrixMark mark(std::size_t row, std::size_t column) const
    {
        const std::size_t at = row * columnHeads.size() + column;
        return column < columnHeads.size() && at < marks.size() ? marks[at] : MatrixMark::Blank;
    }
};

// The text of a mark in a cell: "X", "O" or nothing.
inline std::string_view markText(MatrixMark mark)
{
    switch (mark) {
    case MatrixMark::X:
        return "X";
    case MatrixMark::O:
        return "O";
    case MatrixMark::Blank:
        break;
    }
    return {};
}

} // namespace exporting
