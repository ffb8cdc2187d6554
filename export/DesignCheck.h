#pragma once
// `tessaric --check DESIGN.vok`: the design read without a display, and one
// line per finding (beside the other commands without a window, --export and
// --export-rtf):
//   top FR-DP: uncoupled                       the top level's matrices first
//   1.2 FR: no label                           then row by row: its empty labels (FR, DP, PV)
//   1.2 FR-DP: decoupled; order 1.2.2, 1.2.1   and the matrices over its children,
//   1.2 DP-PV: coupled: 1.2.1 1.2.3            FR-DP before DP-PV; one line per coupled group
//   1.2 DP-PV: incomplete: 4 of 6 not assessed
//   1.2 FR: p 0.750, I 0.415 bits              and an FR row's p and I when it has both ranges
//   1.2 FR-DP 2.1: X below an O                where the levels disagree, after the lines of
//   1 DP-PV 2: X not borne out below           the pair's first row (of two top-level rows:
//                                              after the top level's matrices)
//   full FR-DP: decoupled; order 1.1, 2        with cross cells, the full matrices over the
//   full DP-PV: coupled: 1.1 2                 leaf rows, numbered like the rows
//   total: I 2.830 bits over 4 FRs             last, the design's information content
// Numbers come from the rows' positions. The total says "(sum over FRs that
// are not independent)" behind it when it is not exact. A block of the file
// that was not taken in (a matrix or range block that could not be read, a
// block of a kind this version does not know) is reported on the error
// output. Exit status 0 when every matrix (the full ones too) is uncoupled or
// decoupled, the levels agree, no label is missing, no p is 0 and every block
// was read; 2 when anything else is reported; 1 when the file cannot be read.

#include "model/CrossCells.h"
#include "model/DesignTree.h"
#include "model/InformationRanges.h"
#include "model/MatrixStore.h"

#include <array>
#include <ostream>
#include <string>
#include <vector>

namespace exporting {

inline constexpr int kCheckPassed = 0;
inline constexpr int kCheckUnreadable = 1;
inline constexpr int kCheckFindings = 2;

class DesignCheck {
public:
    // Three trees of the same shape, their matrices, cross cells and ranges, keyed by the FR nodes.
    DesignCheck(const std::array<const model::DesignTree*, model::kTreeCount>& trees,
                const model::MatrixStore& matrices, const model::CrossCellStore& crossCells,
                const model::RangeStore& ranges);

    // Appends every line to `out`; true when something needs attention.
    bool write(std::string& out) const;

private:
    bool writeMatrices(const model::Node* parent, const std::string& number, std::string& out) const;
    bool writeLabels(const std::array<const model::Node*, model::kTreeCount>& row, const std::string& number,
                     std::string& out) const;
    bool writeInformation(const model::Node* fr, const std::string& number, std::string& out) const;
    bool writeFullMatrices(const std::vector<std::string>& leafNumbers, std::string& out) const;
    void writeTotal(std::string& out) const;

    std::array<const model::DesignTree*, model::kTreeCount> m_trees;
    const model::MatrixStore& m_matrices;
    const model::CrossCellStore& m_crossCells;
    const model::RangeStore& m_ranges;
};

// `args` are the arguments after "--check" (DESIGN.vok alone). Writes the
// lines to `out` and errors to `err`; returns the exit status. Needs no
// application object: it reads and prints only.
int runDesignCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace exporting
