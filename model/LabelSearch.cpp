#include "model/LabelSearch.h"

#include "model/Cp1252.h"
#include "model/Design.h"
#include "model/Numbering.h"

#include <algorithm>
#include <array>

namespace model {

namespace {

constexpr std::array<unsigned char, 256> kFold = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[static_cast<std::size_t>(b)] = foldCp1252(static_cast<unsigned char>(b));
    return t;
}();

unsigned char fold(char c)
{
    return kFold[static_cast<unsigned char>(c)];
}

} // namespace

LabelSearch::LabelSearch(std::string_view query)
{
    m_folded.reserve(query.size());
    for (char c : query)
        m_folded.push_back(static_cast<char>(fold(c)));
    // Horspool's shifts: how far the window may move when its last byte is b.
    const std::size_t m = m_folded.size();
    m_shift.fill(std::max<std::size_t>(m, 1));
    for (std::size_t j = 0; j + 1 < m; ++j)
        m_shift[static_cast<unsigned char>(m_folded[j])] = m - 1 - j;
}

std::size_t LabelSearch::findIn(std::string_view text) const
{
    const std::size_t m = m_folded.size();
    if (m == 0 || text.size() < m)
        return std::string_view::npos;
    const char last = m_folded.back();
    for (std::size_t i = labelOffset(text); i + m <= text.size();) {
        const unsigned char end = fold(text[i + m - 1]);
        if (static_cast<char>(end) == last) {
            std::size_t j = 0;
            while (j + 1 < m && static_cast<char>(fold(text[i + j])) == m_folded[j])
                ++j;
            if (j + 1 == m)
                return i;
        }
        i += m_shift[end];
    }
    return std::string_view::npos;
}

std::vector<FoundLabel> LabelSearch::findAll(const Design& design) const
{
    std::vector<FoundLabel> found;
    if (empty())
        return found;
    std::array<std::span<const Node* const>, kTreeCount> rows;
    for (TreeId id : kAllTrees)
        rows[static_cast<std::size_t>(index(id))] = design.tree(id).preorder();
    for (int row = 0; row < design.rowCount(); ++row)
        for (TreeId id : kAllTrees)
            if (findIn(rows[static_cast<std::size_t>(index(id))][static_cast<std::size_t>(row)]->text())
                != std::string_view::npos)
                found.push_back({row, id});
    return found;
}

std::vector<FoundLabel> LabelSearch::findAmong(const Design& design, const std::vector<FoundLabel>& candidates) const
{
    std::vector<FoundLabel> found;
    for (const FoundLabel& f : candidates)
        if (f.row < design.rowCount() && findIn(design.tree(f.tree).nodeAt(f.row)->text()) != std::string_view::npos)
            found.push_back(f);
    return found;
}

bool LabelSearch::narrows(const LabelSearch& shorter) const
{
    return !shorter.empty() && m_folded.find(shorter.m_folded) != std::string::npos;
}

} // namespace model
