#include "model/RowMatching.h"

#include "model/Cp1252.h"
#include "model/Design.h"
#include "model/Numbering.h"
#include "model/RowTexts.h"

#include <algorithm>
#include <functional>
#include <span>
#include <unordered_map>

namespace model {

namespace {

bool ascii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::uint64_t mix(std::uint64_t h)
{
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

constexpr int kRoot = -1; // the hidden root: the top levels of both designs match

} // namespace

RowLabels::RowLabels(const Design& design)
{
    const RowTextStore& full = design.fullLabels();
    const auto frRows = design.tree(TreeId::FR).preorder();
    for (TreeId id : kAllTrees) {
        const auto rows = design.tree(id).preorder();
        auto& labels = m_labels[static_cast<std::size_t>(index(id))];
        auto& hashes = m_hashes[static_cast<std::size_t>(index(id))];
        labels.reserve(rows.size());
        hashes.reserve(rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const std::string_view text = rows[r]->text().view();
            const std::string* fullLabel = full.empty() ? nullptr : full.find(id, frRows[r]);
            std::string_view label = strippedLabel(text);
            if (fullLabel && fullLabelStands(text, *fullLabel))
                label = *fullLabel;
            else if (!ascii(label))
                label = m_owned.emplace_back(cp1252ToUtf8(label));
            labels.push_back(label);
            hashes.push_back(mix(std::hash<std::string_view>()(label) + static_cast<std::uint64_t>(index(id))));
        }
    }
}

namespace {

// The matching of two designs as it is built.
class Matcher {
public:
    Matcher(const Design& older, const RowLabels& oldLabels, const Design& newer, const RowLabels& newLabels)
        : m_old(older.tree(TreeId::FR)), m_new(newer.tree(TreeId::FR)),
          m_oldRows(m_old.preorder()), m_newRows(m_new.preorder()),
          m_oldLabels(oldLabels), m_newLabels(newLabels)
    {
        m_match.oldRowOf.assign(m_newRows.size(), -1);
        m_match.newRowOf.assign(m_oldRows.size(), -1);
    }

    RowMatch run() &&
    {
        matchUniqueRows();
        matchChildren(m_old.root(), m_new.root());
        for (const Node* node : m_newRows) {
            const int o = m_match.oldRowOf[node->row];
            if (o >= 0 && !node->children.empty())
                matchChildren(m_oldRows[static_cast<std::size_t>(o)], node);
        }
        return std::move(m_match);
    }

private:
    // Which trees a key is made of: all three, or two.
    using Trees = std::span<const TreeId>;
    static constexpr std::array<TreeId, 3> kAll{TreeId::FR, TreeId::DP, TreeId::PV};
    static constexpr std::array<std::array<TreeId, 2>, 3> kPairs{{{TreeId::FR, TreeId::DP},
                                                                  {TreeId::FR, TreeId::PV},
                                                                  {TreeId::DP, TreeId::PV}}};

    static std::uint64_t key(const RowLabels& labels, int row, Trees trees)
    {
        std::uint64_t h = trees.size();
        for (TreeId id : trees)
            h = mix(h * 31 + labels.hash(id, row));
        return h;
    }
    bool same(int o, int n, Trees trees) const
    {
        return std::all_of(trees.begin(), trees.end(),
                           [&](TreeId id) { return m_oldLabels.label(id, o) == m_newLabels.label(id, n); });
    }
    bool free(const Node* oldNode) const { return m_match.newRowOf[oldNode->row] < 0; }
    void link(int o, int n)
    {
        m_match.oldRowOf[static_cast<std::size_t>(n)] = o;
        m_match.newRowOf[static_cast<std::size_t>(o)] = n;
    }

    // Rows whose three labels occur once in each design are the same row,
    // wherever they stand: the anchors a move or an insertion cannot shift.
    void matchUniqueRows()
    {
        constexpr int kMany = -2;
        auto firstOf = [](const RowLabels& labels, std::size_t count) {
            std::unordered_map<std::uint64_t, int> rows;
            rows.reserve(count);
            for (int r = 0; r < static_cast<int>(count); ++r) {
                auto [it, fresh] = rows.try_emplace(key(labels, r, kAll), r);
                if (!fresh)
                    it->second = kMany;
            }
            return rows;
        };
        const auto oldRows = firstOf(m_oldLabels, m_oldRows.size());
        const auto newRows = firstOf(m_newLabels, m_newRows.size());
        for (const auto& [k, n] : newRows) {
            if (n == kMany)
                continue;
            const auto it = oldRows.find(k);
            if (it != oldRows.end() && it->second != kMany && same(it->second, n, kAll))
                link(it->second, n);
        }
    }

    // The free children of two matched parents, matched among themselves.
    void matchChildren(const Node* oldParent, const Node* newParent)
    {
        std::vector<const Node*> oldFree;
        for (const Node* c : oldParent->children)
            if (free(c))
                oldFree.push_back(c);
        if (oldFree.empty())
            return;
        std::vector<const Node*> newFree;
        for (const Node* c : newParent->children)
            if (m_match.oldRowOf[c->row] < 0)
                newFree.push_back(c);
        if (newFree.empty())
            return;
        matchByLabels(oldFree, newFree, kAll);
        for (const auto& pair : kPairs)
            matchByLabels(oldFree, newFree, pair);
        matchInPlace(oldParent, newParent);
    }

    // Each free new child takes the first free old child with the same
    // labels in `trees`, so repeated labels pair up in order.
    void matchByLabels(std::span<const Node* const> oldFree, std::vector<const Node*>& newFree, Trees trees)
    {
        std::unordered_map<std::uint64_t, std::vector<const Node*>> byKey;
        for (const Node* c : oldFree)
            if (free(c))
                byKey[key(m_oldLabels, static_cast<int>(c->row), trees)].push_back(c);
        if (byKey.empty())
            return;
        std::unordered_map<std::uint64_t, std::size_t> taken; // how far each list is used up
        std::erase_if(newFree, [&](const Node* n) {
            const std::uint64_t k = key(m_newLabels, static_cast<int>(n->row), trees);
            const auto it = byKey.find(k);
            if (it == byKey.end())
                return false;
            for (std::size_t& i = taken[k]; i < it->second.size(); ++i) {
                const Node* o = it->second[i];
                if (free(o) && same(static_cast<int>(o->row), static_cast<int>(n->row), trees)) {
                    link(static_cast<int>(o->row), static_cast<int>(n->row));
                    ++i;
                    return true;
                }
            }
            return false;
        });
    }

    // A child still free that stands where a free old child stood: first
    // among its siblings, or right behind the match of its previous sibling.
    void matchInPlace(const Node* oldParent, const Node* newParent)
    {
        const Node* before = nullptr; // the old match of the previous new child
        for (const Node* n : newParent->children) {
            const int o = m_match.oldRowOf[n->row];
            if (o >= 0) {
                before = m_oldRows[static_cast<std::size_t>(o)];
                continue;
            }
            const Node* candidate = nullptr;
            if (n->siblingIndex == 0)
                candidate = oldParent->children[0];
            else if (before && before->parent == oldParent)
                candidate = DesignTree::nextSibling(before);
            before = nullptr;
            if (candidate && free(candidate)) {
                link(static_cast<int>(candidate->row), static_cast<int>(n->row));
                before = candidate;
            }
        }
    }

    const DesignTree& m_old;
    const DesignTree& m_new;
    std::span<const Node* const> m_oldRows;
    std::span<const Node* const> m_newRows;
    const RowLabels& m_oldLabels;
    const RowLabels& m_newLabels;
    RowMatch m_match;
};

} // namespace

RowMatch matchRows(const Design& older, const RowLabels& oldLabels, const Design& newer, const RowLabels& newLabels)
{
    return Matcher(older, oldLabels, newer, newLabels).run();
}

} // namespace model
