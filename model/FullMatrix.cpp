#include "model/FullMatrix.h"

#include "model/DesignTree.h"
#include "model/Numbering.h"
#include "model/PreOrder.h"

#include <algorithm>

namespace model {

namespace {

// A run of leaf rows times a run of leaf columns, [r0, r1) x [c0, c1).
struct Rect {
    std::uint32_t r0, r1, c0, c1;
};

// The number of cells the rectangles cover together: a sweep over the rows
// with a segment tree over the (compressed) columns, O(R log R).
std::uint64_t unionArea(const std::vector<Rect>& rects)
{
    if (rects.empty())
        return 0;
    std::vector<std::uint32_t> cols;
    cols.reserve(rects.size() * 2);
    for (const Rect& r : rects) {
        cols.push_back(r.c0);
        cols.push_back(r.c1);
    }
    std::sort(cols.begin(), cols.end());
    cols.erase(std::unique(cols.begin(), cols.end()), cols.end());
    const std::size_t m = cols.size() - 1; // elementary column runs
    if (m == 0)
        return 0;
    struct Event {
        std::uint32_t row;
        int delta;
        std::uint32_t c0, c1; // compressed
    };
    std::vector<Event> events;
    events.reserve(rects.size() * 2);
    const auto at = [&](std::uint32_t c) {
        return static_cast<std::uint32_t>(std::lower_bound(cols.begin(), cols.end(), c) - cols.begin());
    };
    for (const Rect& r : rects) {
        if (r.r0 >= r.r1 || r.c0 >= r.c1)
            continue;
        events.push_back({r.r0, +1, at(r.c0), at(r.c1)});
        events.push_back({r.r1, -1, at(r.c0), at(r.c1)});
    }
    std::sort(events.begin(), events.end(), [](const Event& x, const Event& y) { return x.row < y.row; });
    std::vector<int> count(4 * m, 0);
    std::vector<std::uint64_t> covered(4 * m, 0);
    // Iterative descent would be longer; the depth is log2 of the columns.
    const auto update = [&](auto&& self, std::size_t node, std::size_t lo, std::size_t hi, std::uint32_t a,
                            std::uint32_t b, int delta) -> void {
        if (b <= lo || hi <= a)
            return;
        if (a <= lo && hi <= b) {
            count[node] += delta;
        } else {
            const std::size_t mid = (lo + hi) / 2;
            self(self, 2 * node, lo, mid, a, b, delta);
            self(self, 2 * node + 1, mid, hi, a, b, delta);
        }
        if (count[node] > 0)
            covered[node] = cols[hi] - cols[lo];
        else if (hi - lo == 1)
            covered[node] = 0;
        else
            covered[node] = covered[2 * node] + covered[2 * node + 1];
    };
    std::uint64_t area = 0;
    std::uint32_t lastRow = events.empty() ? 0 : events.front().row;
    for (const Event& e : events) {
        area += covered[1] * (e.row - lastRow);
        lastRow = e.row;
        update(update, 1, 0, m, e.c0, e.c1, e.delta);
    }
    return area;
}

// What the stored cells give the full matrix of a kind: a rectangle per O
// (sibling or cross), and the X cells between two leaves.
struct Stored {
    std::vector<Rect> oRects;
    std::vector<IndexedCell> leafX; // positions are leaf indexes
};

Stored storedCells(const MatrixStore& matrices, const CrossCellStore& cross, MatrixKind kind, const LeafIndex& leaves)
{
    Stored s;
    const auto add = [&](const Node* a, const Node* b, CellValue v) {
        if (v == CellValue::O)
            s.oRects.push_back({leaves.first(a), leaves.end(a), leaves.first(b), leaves.end(b)});
        else if (v == CellValue::X && a->children.empty() && b->children.empty())
            s.leafX.push_back({leaves.first(a), leaves.first(b), CellValue::X});
    };
    for (const Node* p : matrices.parents())
        for (const IndexedCell& c : matrices.indexedCells(p, kind, MatrixStore::Order::Any))
            add(p->children[c.row], p->children[c.column], c.value);
    for (const auto& [key, value] : cross.all())
        if (key.kind == kind)
            add(key.a, key.b, value);
    return s;
}

// A node and its ancestors up to, not including, the hidden root.
std::vector<const Node*> chainOf(const Node* n)
{
    std::vector<const Node*> chain;
    for (; n->parent; n = n->parent)
        chain.push_back(n);
    return chain;
}

CellValue pairValue(const MatrixStore& matrices, const CrossCellStore& cross, MatrixKind kind, const Node* a,
                    const Node* b)
{
    if (a->parent == b->parent)
        return matrices.cell(a->parent, kind, a, b);
    return cross.cell(kind, a, b);
}

std::string numberOf(const Node* n)
{
    std::vector<std::uint32_t> places;
    for (; n->parent; n = n->parent)
        places.push_back(n->siblingIndex);
    std::string out;
    for (auto it = places.rbegin(); it != places.rend(); ++it)
        out = childNumber(out, *it);
    return out;
}

} // namespace

LeafIndex::LeafIndex(const DesignTree& fr) : m_fr(fr)
{
    const std::span<const Node* const> rows = fr.preorder();
    m_first.resize(rows.size());
    m_end.resize(rows.size());
    // In pre-order a row's leaves follow it: its first leaf is the next leaf
    // met, its end the leaf count once its subtree is passed.
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Node* n = rows[r];
        m_first[r] = static_cast<std::uint32_t>(m_leaves.size());
        if (n->children.empty())
            m_leaves.push_back(n);
    }
    // A row's subtree is rows r .. r + size - 1; its end is the first leaf after.
    for (std::size_t r = rows.size(); r-- > 0;) {
        const Node* n = rows[r];
        if (n->children.empty()) {
            m_end[r] = m_first[r] + 1;
        } else {
            const Node* last = n->children.back();
            m_end[r] = m_end[static_cast<std::size_t>(fr.rowOf(last))];
        }
    }
}

std::uint32_t LeafIndex::first(const Node* n) const
{
    return m_first[static_cast<std::size_t>(m_fr.rowOf(n))];
}

std::uint32_t LeafIndex::end(const Node* n) const
{
    return m_end[static_cast<std::size_t>(m_fr.rowOf(n))];
}

std::optional<NodePair> oPairAbove(const MatrixStore& matrices, const CrossCellStore& cross, MatrixKind kind,
                                   const Node* a, const Node* b)
{
    std::vector<const Node*> as = chainOf(a);
    std::vector<const Node*> bs = chainOf(b);
    // Drop the common ancestors: a pair with one of them is one inside the other.
    while (!as.empty() && !bs.empty() && as.back() == bs.back()) {
        as.pop_back();
        bs.pop_back();
    }
    if (matrices.empty() && cross.empty())
        return std::nullopt;
    // Topmost first: from the children of the common ancestor down.
    for (auto i = as.rbegin(); i != as.rend(); ++i)
        for (auto j = bs.rbegin(); j != bs.rend(); ++j) {
            if (*i == a && *j == b)
                continue;
            if (pairValue(matrices, cross, kind, *i, *j) == CellValue::O)
                return NodePair{*i, *j};
        }
    return std::nullopt;
}

std::string markedOMessage(MatrixKind kind, NodePair above)
{
    const bool frDp = kind == MatrixKind::FrDp;
    return std::string(frDp ? "FR " : "DP ") + numberOf(above.first) + (frDp ? " and DP " : " and PV ")
           + numberOf(above.second) + " are marked O one level up";
}

Classification classifyFull(const MatrixStore& matrices, const CrossCellStore& cross, MatrixKind kind,
                            const LeafIndex& leaves)
{
    Stored s = storedCells(matrices, cross, kind, leaves);
    // Assessed: every pair an O covers, and the X pairs besides.
    std::vector<Rect> assessed = s.oRects;
    for (const IndexedCell& x : s.leafX)
        assessed.push_back({x.row, x.row + 1, x.column, x.column + 1});
    const auto n = static_cast<std::uint32_t>(leaves.size());
    return classify(n, unionArea(assessed), s.leafX);
}

std::vector<FullCell> fullMatrixCells(const MatrixStore& matrices, const CrossCellStore& cross, MatrixKind kind,
                                      const LeafIndex& leaves)
{
    const std::size_t n = leaves.size();
    if (n > static_cast<std::size_t>(kMostFullLeaves))
        return {};
    std::vector<FullCell> cells(n * n, FullCell::NotAssessed);
    const Stored s = storedCells(matrices, cross, kind, leaves);
    for (const Rect& r : s.oRects)
        for (std::uint32_t i = r.r0; i < r.r1; ++i)
            std::fill(cells.begin() + static_cast<std::ptrdiff_t>(i * n + r.c0),
                      cells.begin() + static_cast<std::ptrdiff_t>(i * n + r.c1), FullCell::ImpliedO);
    // The cells stored between two leaves stand as they are.
    const auto leafCell = [&](const Node* a, const Node* b, CellValue v) {
        if (a->children.empty() && b->children.empty())
            cells[leaves.first(a) * n + leaves.first(b)] = v == CellValue::X ? FullCell::X : FullCell::O;
    };
    for (const Node* p : matrices.parents())
        for (const IndexedCell& c : matrices.indexedCells(p, kind, MatrixStore::Order::Any))
            leafCell(p->children[c.row], p->children[c.column], c.value);
    for (const auto& [key, value] : cross.all())
        if (key.kind == kind)
            leafCell(key.a, key.b, value);
    for (std::size_t i = 0; i < n; ++i)
        cells[i * n + i] = FullCell::X;
    return cells;
}

namespace {

// An X at (a', b') and the leaf pairs below it: borne out unless the Os at or
// below cover every one of them and no leaf pair below holds X. Only cross
// cells lie strictly below a pair (the sibling cells below it are pairs
// inside a' or inside b').
struct BelowIndex {
    struct Cell {
        std::uint32_t a0, a1, b0, b1;
        CellValue value;
        bool leafPair; // both rows are leaves: the cell is the leaf pair's value
    };
    std::vector<Cell> cells; // by a0

    bool notBorneOut(const LeafIndex& leaves, const Node* a, const Node* b) const
    {
        const std::uint32_t a0 = leaves.first(a), a1 = leaves.end(a), b0 = leaves.first(b), b1 = leaves.end(b);
        std::vector<Rect> os;
        auto it = std::lower_bound(cells.begin(), cells.end(), a0, [](const Cell& c, std::uint32_t v) { return c.a0 < v; });
        for (; it != cells.end() && it->a0 < a1; ++it) {
            if (it->a1 > a1 || it->b0 < b0 || it->b1 > b1 || (it->a0 == a0 && it->a1 == a1 && it->b0 == b0 && it->b1 == b1))
                continue;
            if (it->value == CellValue::O)
                os.push_back({it->a0, it->a1, it->b0, it->b1});
            else if (it->leafPair)
                return false; // a leaf pair below holds X
        }
        return !os.empty() && unionArea(os) == std::uint64_t{a1 - a0} * (b1 - b0);
    }
};

} // namespace

std::vector<Finding> consistencyFindings(const DesignTree& fr, const MatrixStore& matrices, const CrossCellStore& cross)
{
    std::vector<Finding> findings;
    if (matrices.empty() && cross.empty())
        return findings;
    const LeafIndex leaves(fr);
    for (MatrixKind kind : kMatrixKinds) {
        BelowIndex below;
        for (const auto& [key, value] : cross.all())
            if (key.kind == kind)
                below.cells.push_back({leaves.first(key.a), leaves.end(key.a), leaves.first(key.b), leaves.end(key.b),
                                       value, key.a->children.empty() && key.b->children.empty()});
        std::sort(below.cells.begin(), below.cells.end(), [](const auto& x, const auto& y) { return x.a0 < y.a0; });
        const auto checkX = [&](const Node* a, const Node* b) {
            if ((!a->children.empty() || !b->children.empty()) && below.notBorneOut(leaves, a, b))
                findings.push_back({Finding::Type::XNotBorneOut, kind, a, b});
        };
        for (const Node* p : matrices.parents())
            for (const IndexedCell& c : matrices.indexedCells(p, kind, MatrixStore::Order::Any))
                if (c.value == CellValue::X)
                    checkX(p->children[c.row], p->children[c.column]);
        for (const auto& [key, value] : cross.all()) {
            if (key.kind != kind || value != CellValue::X)
                continue;
            if (oPairAbove(matrices, cross, kind, key.a, key.b))
                findings.push_back({Finding::Type::XBelowO, kind, key.a, key.b});
            checkX(key.a, key.b);
        }
    }
    std::sort(findings.begin(), findings.end(), [&](const Finding& x, const Finding& y) {
        const int xa = fr.rowOf(x.a), ya = fr.rowOf(y.a);
        if (xa != ya)
            return xa < ya;
        if (x.kind != y.kind)
            return x.kind < y.kind;
        const int xb = fr.rowOf(x.b), yb = fr.rowOf(y.b);
        if (xb != yb)
            return xb < yb;
        return x.type < y.type;
    });
    return findings;
}

} // namespace model
