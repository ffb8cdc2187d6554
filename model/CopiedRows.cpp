#include "model/CopiedRows.h"

#include "model/Design.h"
#include "model/Limits.h"
#include "model/Utf8.h"

#include <algorithm>

namespace model {

void CopiedRows::append(std::uint32_t level, std::array<std::string, kTreeCount> rowTexts)
{
    levels.push_back(level);
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i].push_back(std::move(rowTexts[i]));
}

std::vector<std::uint32_t> CopiedRows::childCounts() const
{
    // The rows above a row, one a level: its parent is the last of them.
    std::vector<std::uint32_t> counts(levels.size(), 0);
    std::vector<std::size_t> above;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        above.resize(std::min<std::size_t>(levels[i], above.size()));
        if (!above.empty())
            ++counts[above.back()];
        above.push_back(i);
    }
    return counts;
}

namespace {

bool isValue(CellValue v)
{
    return v == CellValue::X || v == CellValue::O;
}

// Cells of a matrix over n children: off-diagonal, assessed, strictly by row
// then column, so none is repeated and there are at most n(n-1).
bool cellsFit(const std::vector<IndexedCell>& cells, std::uint32_t n)
{
    if (cells.empty())
        return false; // an empty matrix is never copied
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const IndexedCell& c = cells[k];
        if (c.row >= n || c.column >= n || c.row == c.column || !isValue(c.value))
            return false;
        if (k > 0 && (cells[k - 1].row > c.row || (cells[k - 1].row == c.row && cells[k - 1].column >= c.column)))
            return false;
    }
    return true;
}

} // namespace

bool CopiedRows::wellFormed() const
{
    for (const auto& t : texts)
        if (t.size() != levels.size())
            return false;
    std::uint32_t previous = 0;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (i == 0 ? levels[i] != 0 : levels[i] > previous + 1)
            return false;
        previous = levels[i];
    }
    for (std::size_t k = 0; k < ranges.size(); ++k) {
        const CopiedRanges& r = ranges[k];
        if (r.row >= levels.size() || (k > 0 && ranges[k - 1].row >= r.row) || r.ranges.empty()
            || problemWith(r.ranges))
            return false;
    }
    if (!crossCellsFit() || !rowTextsFit(notes) || !rowTextsFit(fullLabels))
        return false;
    if (matrices.empty())
        return true;
    const std::vector<std::uint32_t> counts = childCounts();
    for (std::size_t k = 0; k < matrices.size(); ++k) {
        const CopiedMatrix& m = matrices[k];
        if (m.parent >= levels.size() || (m.kind != MatrixKind::FrDp && m.kind != MatrixKind::DpPv))
            return false;
        // By parent, FR-DP before DP-PV: one matrix of each kind at most.
        if (k > 0 && (matrices[k - 1].parent > m.parent
                      || (matrices[k - 1].parent == m.parent && matrices[k - 1].kind >= m.kind)))
            return false;
        if (!cellsFit(m.cells, counts[m.parent]))
            return false;
    }
    return true;
}

// By row, each row once, with texts of valid UTF-8 no longer than a note may be.
bool CopiedRows::rowTextsFit(const std::vector<CopiedRowTexts>& rowTexts) const
{
    for (std::size_t k = 0; k < rowTexts.size(); ++k) {
        const CopiedRowTexts& t = rowTexts[k];
        if (t.row >= levels.size() || (k > 0 && rowTexts[k - 1].row >= t.row))
            return false;
        bool any = false;
        for (const std::string& text : t.texts) {
            if (text.size() > kLongestNote || !validUtf8(text))
                return false;
            any = any || !text.empty();
        }
        if (!any)
            return false;
    }
    return true;
}

// Each cross cell once, in order, between two rows of the copy that are
// neither the same, siblings (the top rows are siblings once pasted) nor one
// inside the other.
bool CopiedRows::crossCellsFit() const
{
    if (crossCells.empty())
        return true;
    const std::size_t n = levels.size();
    std::vector<std::size_t> parent(n), end(n, n); // parent: n for a top row; end: past the subtree
    std::vector<std::size_t> above;
    for (std::size_t i = 0; i < n; ++i) {
        while (above.size() > levels[i]) {
            end[above.back()] = i;
            above.pop_back();
        }
        parent[i] = above.empty() ? n : above.back();
        above.push_back(i);
    }
    const auto inside = [&](std::size_t x, std::size_t top) { return x > top && x < end[top]; };
    for (std::size_t k = 0; k < crossCells.size(); ++k) {
        const CopiedCrossCell& c = crossCells[k];
        if (c.a >= n || c.b >= n || c.a == c.b || parent[c.a] == parent[c.b] || inside(c.a, c.b) || inside(c.b, c.a))
            return false;
        if ((c.kind != MatrixKind::FrDp && c.kind != MatrixKind::DpPv) || !isValue(c.value))
            return false;
        if (k > 0 && !(crossCells[k - 1] < c) )
            return false;
        if (k > 0 && crossCells[k - 1].kind == c.kind && crossCells[k - 1].a == c.a && crossCells[k - 1].b == c.b)
            return false;
    }
    return true;
}

CopiedRows copySubtree(const Design& design, int k)
{
    CopiedRows rows;
    if (k < 0 || k >= design.rowCount())
        return rows;
    // The subtree is the rows k .. k+m-1; a row's level is its parent's plus
    // one, and its parent comes before it, so one pass finds every level.
    const DesignTree& fr = design.tree(TreeId::FR);
    const int m = fr.subtreeSize(fr.nodeAt(k));
    rows.levels.reserve(static_cast<std::size_t>(m));
    for (int i = 0; i < m; ++i) {
        const Node* n = fr.nodeAt(k + i);
        rows.levels.push_back(i == 0 ? 0 : rows.levels[n->parent->row - static_cast<std::uint32_t>(k)] + 1);
    }
    for (TreeId id : kAllTrees) {
        const auto nodes = design.tree(id).preorder().subspan(static_cast<std::size_t>(k), static_cast<std::size_t>(m));
        std::vector<std::string>& out = rows.textsOf(id);
        out.reserve(nodes.size());
        for (const Node* n : nodes)
            out.emplace_back(n->text().view());
    }
    design.aspects().copyRows(fr.preorder().subspan(static_cast<std::size_t>(k), static_cast<std::size_t>(m)), rows);
    return rows;
}

} // namespace model
