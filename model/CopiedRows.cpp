#include "model/CopiedRows.h"

#include "model/Design.h"

namespace model {

void CopiedRows::append(std::uint32_t level, std::array<std::string, kTreeCount> rowTexts)
{
    levels.push_back(level);
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i].push_back(std::move(rowTexts[i]));
}

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
    return rows;
}

} // namespace model
