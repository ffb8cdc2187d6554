#include "model/LabelSearch.h"

#include "model/Cp1252.h"
#include "model/Design.h"
#include "model/Numbering.h"

#include <algorithm>
#include <array>
#include <cstring>

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
    // The bytes the query may begin with: a letter in either case, or one byte.
    if (!m_folded.empty())
        for (int b = 0; b < 256; ++b)
            if (static_cast<char>(kFold[static_cast<std::size_t>(b)]) == m_folded.front())
                m_firstBytes.push_back(static_cast<char>(b));
}

std::size_t LabelSearch::findIn(std::string_view text) const
{
    const std::size_t m = m_folded.size();
    if (m == 0 || text.size() < m)
        return std::string_view::npos;
    // memchr finds where the query may begin far faster than a loop folding
    // every byte; only there are the other bytes compared.
    const char* const begin = text.data();
    const char* const lastStart = begin + (text.size() - m);
    for (const char* at = begin + labelOffset(text); at <= lastStart; ++at) {
        const char* next = nullptr;
        for (char first : m_firstBytes)
            if (const void* p = std::memchr(at, first, static_cast<std::size_t>(lastStart - at) + 1))
                next = next ? std::min(next, static_cast<const char*>(p)) : static_cast<const char*>(p);
        if (!next)
            break;
        at = next;
        std::size_t j = 1;
        while (j < m && static_cast<char>(fold(at[j])) == m_folded[j])
            ++j;
        if (j == m)
            return static_cast<std::size_t>(at - begin);
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
