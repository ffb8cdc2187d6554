#include "model/FullMatrix.h"

#include "model/DesignTree.h"
#include "model/Numbering.h"
#include "model/PreOrder.h"

#include <algorithm>
#include <array>

namespace model {

namespace {

// A run of leaf rows times a run of leaf columns, [r0, r1) x [c0, c1).
struct Rect {
    std::uint32_t r0, r1, c0, c1;
};

// The columns the rectangles cover on the row a sweep has reached: the
// columns compressed to the rectangles' edges, and a segment tree over the
// runs between two edges counting the rectangles that cover a run whole.
class ColumnCover {
public:
    explicit ColumnCover(const std::vector<Rect>& rects)
    {
        m_cols.reserve(rects.size() * 2);
        for (const Rect& r : rects) {
            m_cols.push_back(r.c0);
            m_cols.push_back(r.c1);
        }
        std::sort(m_cols.begin(), m_cols.end());
        m_cols.erase(std::unique(m_cols.begin(), m_cols.end()), m_cols.end());
        m_runs = m_cols.empty() ? 0 : m_cols.size() - 1;
        m_count.assign(4 * m_runs + 4, 0);
        m_covered.assign(4 * m_runs + 4, 0);
    }

    // A rectangle's columns start (+1) or stop (-1) being covered.
    void add(std::uint32_t c0, std::uint32_t c1, int delta)
    {
        if (m_runs > 0)
            update(1, 0, m_runs, run(c0), run(c1), delta);
    }
    std::uint64_t covered() const { return m_runs > 0 ? m_covered[1] : 0; }

    // Whether a rectangle covers the column now: one counts on the way down to its run.
    bool covers(std::uint32_t column) const
    {
        if (m_runs == 0 || column < m_cols.front() || column >= m_cols.back())
            return false;
        const std::size_t k = static_cast<std::size_t>(std::upper_bound(m_cols.begin(), m_cols.end(), column) - m_cols.begin()) - 1;
        std::size_t node = 1, lo = 0, hi = m_runs;
        for (;;) {
            if (m_count[node] > 0)
                return true;
            if (hi - lo == 1)
                return false;
            const std::size_t mid = (lo + hi) / 2;
            if (k < mid) {
                node = 2 * node;
                hi = mid;
            } else {
                node = 2 * node + 1;
                lo = mid;
            }
        }
    }

private:
    std::uint32_t run(std::uint32_t c) const
    {
        return static_cast<std::uint32_t>(std::lower_bound(m_cols.begin(), m_cols.end(), c) - m_cols.begin());
    }
    // Recursive, but only as deep as log2 of the runs.
    void update(std::size_t node, std::size_t lo, std::size_t hi, std::uint32_t a, std::uint32_t b, int delta)
    {
        if (b <= lo || hi <= a)
            return;
        if (a <= lo && hi <= b) {
            m_count[node] += delta;
        } else {
            const std::size_t mid = (lo + hi) / 2;
            update(2 * node, lo, mid, a, b, delta);
            update(2 * node + 1, mid, hi, a, b, delta);
        }
        if (m_count[node] > 0)
            m_covered[node] = m_cols[hi] - m_cols[lo];
        else if (hi - lo == 1)
            m_covered[node] = 0;
        else
            m_covered[node] = m_covered[2 * node] + m_covered[2 * node + 1];
    }

    std::vector<std::uint32_t> m_cols;
    std::size_t m_runs = 0;
    std::vector<int> m_count;
    std::vector<std::uint64_t> m_covered;
};

// A sweep down the rows: each rectangle starts at its first row and stops
// after its last, in row order.
struct RowEvent {
    std::uint32_t row;
    int delta;
    std::uint32_t c0, c1;
};

std::vector<RowEvent> rowEvents(const std::vector<Rect>& rects)
{
    std::vector<RowEvent> events;
    events.reserve(rects.size() * 2);
    for (const Rect& r : rects) {
        if (r.r0 >= r.r1 || r.c0 >= r.c1)
            continue;
        events.push_back({r.r0, +1, r.c0, r.c1});
        events.push_back({r.r1, -1, r.c0, r.c1});
    }
    std::sort(events.begin(), events.end(), [](const RowEvent& x, const RowEvent& y) { return x.row < y.row; });
    return events;
}

// The number of cells the rectangles cover together, O(R log R).
std::uint64_t unionArea(const std::vector<Rect>& rects)
{
    ColumnCover cover(rects);
    std::uint64_t area = 0;
    std::uint32_t lastRow = 0;
    for (const RowEvent& e : rowEvents(rects)) {
        area += cover.covered() * (e.row - lastRow);
        lastRow = e.row;
        cover.add(e.c0, e.c1, e.delta);
    }
    return area;
}

// How many of the cells (each once) the rectangles cover, O((R + P) log R).
std::uint64_t cellsCovered(const std::vector<Rect>& rects, std::vector<IndexedCell> cells)
{
    if (rects.empty() || cells.empty())
        return 0;
    std::sort(cells.begin(), cells.end(), [](const IndexedCell& x, const IndexedCell& y) { return x.row < y.row; });
    ColumnCover cover(rects);
    const std::vector<RowEvent> events = rowEvents(rects);
    std::uint64_t covered = 0;
    std::size_t next = 0;
    for (const IndexedCell& c : cells) {
        for (; next < events.size() && events[next].row <= c.row; ++next)
            cover.add(events[next].c0, events[next].c1, events[next].delta);
        covered += cover.covers(c.column) ? 1 : 0;
    }
    return covered;
}

// The cross cells of one kind. The store is a hash map, so walking it chases
// a pointer a cell: walk it once and keep what is needed.
struct CrossEntry {
    const Node* a;
    const Node* b;
    CellValue value;
};

std::vector<CrossEntry> crossCellsOf(const CrossCellStore& cross, MatrixKind kind)
{
    std::vector<CrossEntry> out;
    out.reserve(cross.size());
    for (const auto& [key, value] : cross.all())
        if (key.kind == kind)
            out.push_back({key.a, key.b, value});
    return out;
}

std::array<std::vector<CrossEntry>, kMatrixKindCount> crossCellsByKind(const CrossCellStore& cross)
{
    std::array<std::vector<CrossEntry>, kMatrixKindCount> out;
    for (const auto& [key, value] : cross.all())
        out[slot(key.kind)].push_back({key.a, key.b, value});
    return out;
}

bool hasGrandchildren(const Node* parent)
{
    return std::any_of(parent->children.begin(), parent->children.end(), [](const Node* c) { return !c->children.empty(); });
}

// What the stored cells give the full matrix of a kind. An O of a pair with
// a row that has children is a rectangle of leaf pairs; every other cell is
// one leaf pair. No two cells are the same leaf pair, and a cell between two
// sibling leaves lies under no rectangle (the only pair at or above two
// siblings is themselves): only the cross cells between leaves can lie under
// one, so only they need looking up.
struct Stored {
    std::vector<Rect> oRects;
    std::vector<IndexedCell> crossLeafCells; // positions are leaf indexes
    std::uint64_t siblingLeafCells = 0;
    std::vector<IndexedCell> leafX; // positions are leaf indexes
};

Stored storedCells(const MatrixStore& matrices, const std::vector<CrossEntry>& cross, MatrixKind kind,
                   const LeafIndex& leaves)
{
    Stored s;
    const auto add = [&](const Node* a, const Node* b, CellValue v, bool sibling) {
        if (a->children.empty() && b->children.empty()) {
            const IndexedCell leafPair{leaves.first(a), leaves.first(b), v};
            if (sibling)
                ++s.siblingLeafCells;
            else
                s.crossLeafCells.push_back(leafPair);
            if (v == CellValue::X)
                s.leafX.push_back(leafPair);
        } else if (v == CellValue::O) {
            s.oRects.push_back({leaves.first(a), leaves.end(a), leaves.first(b), leaves.end(b)});
        }
    };
    for (const Node* p : matrices.parents())
        for (const IndexedCell& c : matrices.indexedCells(p, kind, MatrixStore::Order::Any))
            add(p->children[c.row], p->children[c.column], c.value, true);
    for (const CrossEntry& c : cross)
        add(c.a, c.b, c.value, false);
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
    const Stored s = storedCells(matrices, crossCellsOf(cross, kind), kind, leaves);
    // Assessed: every pair an O rectangle covers, and the leaf pairs held besides.
    const std::uint64_t assessed = unionArea(s.oRects) + s.siblingLeafCells + s.crossLeafCells.size()
                                   - cellsCovered(s.oRects, s.crossLeafCells);
    const auto n = static_cast<std::uint32_t>(leaves.size());
    return classify(n, assessed, s.leafX);
}

std::vector<FullCell> fullMatrixCells(const MatrixStore& matrices, const CrossCellStore& cross, MatrixKind kind,
                                      const LeafIndex& leaves)
{
    const std::size_t n = leaves.size();
    if (n > static_cast<std::size_t>(kMostFullLeaves))
        return {};
    std::vector<FullCell> cells(n * n, FullCell::NotAssessed);
    const std::vector<CrossEntry> crossCells = crossCellsOf(cross, kind);
    const Stored s = storedCells(matrices, crossCells, kind, leaves);
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
    for (const CrossEntry& c : crossCells)
        leafCell(c.a, c.b, c.value);
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
        const Node* a;
        const Node* b;
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
            // Only the X's own cell is left out: through an only child another
            // pair can have the very same leaves, and its O counts.
            if (it->a1 > a1 || it->b0 < b0 || it->b1 > b1 || (it->a == a && it->b == b))
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
    // Without cross cells no X can lie under an O and no cell lies below a pair.
    if (cross.empty())
        return findings;
    const LeafIndex leaves(fr);
    const std::array<std::vector<CrossEntry>, kMatrixKindCount> crossCells = crossCellsByKind(cross);
    for (MatrixKind kind : kMatrixKinds) {
        const std::vector<CrossEntry>& kindCells = crossCells[slot(kind)];
        BelowIndex below;
        below.cells.reserve(kindCells.size());
        for (const CrossEntry& c : kindCells)
            below.cells.push_back({c.a, c.b, leaves.first(c.a), leaves.end(c.a), leaves.first(c.b), leaves.end(c.b), c.value,
                                   c.a->children.empty() && c.b->children.empty()});
        std::sort(below.cells.begin(), below.cells.end(), [](const auto& x, const auto& y) { return x.a0 < y.a0; });
        const auto checkX = [&](const Node* a, const Node* b) {
            if ((!a->children.empty() || !b->children.empty()) && below.notBorneOut(leaves, a, b))
                findings.push_back({Finding::Type::XNotBorneOut, kind, a, b});
        };
        // Only a sibling X with a row that has children can fail to be borne out.
        for (const Node* p : matrices.parents())
            if (hasGrandchildren(p))
                for (const IndexedCell& c : matrices.indexedCells(p, kind, MatrixStore::Order::Any))
                    if (c.value == CellValue::X)
                        checkX(p->children[c.row], p->children[c.column]);
        for (const CrossEntry& c : kindCells) {
            if (c.value != CellValue::X)
                continue;
            if (oPairAbove(matrices, cross, kind, c.a, c.b))
                findings.push_back({Finding::Type::XBelowO, kind, c.a, c.b});
            checkX(c.a, c.b);
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
