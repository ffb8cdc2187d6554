#include "model/MatrixStore.h"

#include "model/Node.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace model {

std::size_t MatrixStore::CellKeyHash::operator()(const CellKey& k) const noexcept
{
    const std::size_t a = std::hash<const void*>()(k.row);
    const std::size_t b = std::hash<const void*>()(k.column);
    return a ^ (b + 0x9E3779B97F4A7C15ull + (a << 6) + (a >> 2));
}

void MatrixStore::clear()
{
    m_parents.clear();
    m_cellCount = 0;
}

CellValue MatrixStore::cell(const Node* parent, MatrixKind kind, const Node* row, const Node* column) const
{
    const auto p = m_parents.find(parent);
    if (p == m_parents.end())
        return CellValue::NotAssessed;
    const CellMap& cells = p->second[slot(kind)];
    const auto c = cells.find({row, column});
    return c == cells.end() ? CellValue::NotAssessed : c->second;
}

CellValue MatrixStore::set(const Node* parent, MatrixKind kind, const Node* row, const Node* column, CellValue value)
{
    if (value == CellValue::NotAssessed) {
        const auto p = m_parents.find(parent);
        if (p == m_parents.end())
            return CellValue::NotAssessed;
        CellMap& cells = p->second[slot(kind)];
        const auto c = cells.find({row, column});
        if (c == cells.end())
            return CellValue::NotAssessed;
        const CellValue old = c->second;
        cells.erase(c);
        --m_cellCount;
        if (p->second[0].empty() && p->second[1].empty())
            m_parents.erase(p);
        return old;
    }
    auto [c, added] = m_parents[parent][slot(kind)].try_emplace({row, column}, value);
    if (added) {
        ++m_cellCount;
        return CellValue::NotAssessed;
    }
    return std::exchange(c->second, value);
}

void MatrixStore::reserve(const Node* parent, MatrixKind kind, std::size_t cells)
{
    CellMap& map = m_parents[parent][slot(kind)];
    map.reserve(map.size() + cells);
}

std::size_t MatrixStore::cellCount(const Node* parent, MatrixKind kind) const
{
    const auto p = m_parents.find(parent);
    return p == m_parents.end() ? 0 : p->second[slot(kind)].size();
}

std::vector<IndexedCell> MatrixStore::indexedCells(const Node* parent, MatrixKind kind, Order order) const
{
    std::vector<IndexedCell> out;
    const auto p = m_parents.find(parent);
    if (p == m_parents.end())
        return out;
    const CellMap& cells = p->second[slot(kind)];
    if (order == Order::Any) {
        out.reserve(cells.size());
        for (const auto& [key, value] : cells)
            out.push_back({key.row->siblingIndex, key.column->siblingIndex, value});
        return out;
    }
    // Sorted by one 64-bit key each, row above column: cheaper than comparing pairs.
    struct Keyed {
        std::uint64_t key;
        CellValue value;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(cells.size());
    for (const auto& [key, value] : cells)
        keyed.push_back({(std::uint64_t{key.row->siblingIndex} << 32) | key.column->siblingIndex, value});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    out.reserve(keyed.size());
    for (const Keyed& k : keyed)
        out.push_back({static_cast<std::uint32_t>(k.key >> 32), static_cast<std::uint32_t>(k.key), k.value});
    return out;
}

std::vector<const Node*> MatrixStore::parents() const
{
    std::vector<const Node*> out;
    out.reserve(m_parents.size());
    for (const auto& entry : m_parents)
        out.push_back(entry.first);
    return out;
}

template <typename Keep>
void MatrixStore::take(const Node* parent, std::vector<StoredCell>& taken, Keep&& keep)
{
    const auto p = m_parents.find(parent);
    if (p == m_parents.end())
        return;
    for (MatrixKind kind : kMatrixKinds) {
        CellMap& cells = p->second[slot(kind)];
        for (auto c = cells.begin(); c != cells.end();) {
            if (keep(c->first)) {
                ++c;
                continue;
            }
            taken.push_back({parent, kind, c->first.row, c->first.column, c->second});
            c = cells.erase(c);
            --m_cellCount;
        }
    }
    if (p->second[0].empty() && p->second[1].empty())
        m_parents.erase(p);
}

void MatrixStore::takeChild(const Node* parent, const Node* child, std::vector<StoredCell>& taken)
{
    take(parent, taken, [child](const CellKey& k) { return k.row != child && k.column != child; });
}

void MatrixStore::takeParent(const Node* parent, std::vector<StoredCell>& taken)
{
    take(parent, taken, [](const CellKey&) { return false; });
}

} // namespace model
