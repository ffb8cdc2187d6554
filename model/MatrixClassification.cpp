#include "model/MatrixClassification.h"

#include "model/Node.h"

#include <algorithm>
#include <functional>
#include <queue>

namespace model {
namespace {

// Cell (i, j) X: parameter j must be set before i, an edge j -> i. Edges
// grouped by their source, as offsets into one array.
struct Graph {
    std::vector<std::uint32_t> first; // n + 1 offsets
    std::vector<std::uint32_t> to;
    std::vector<std::uint32_t> inDegree;

    std::span<const std::uint32_t> from(std::uint32_t v) const { return {to.data() + first[v], to.data() + first[v + 1]}; }
};

Graph graphOf(std::uint32_t n, std::span<const IndexedCell> cells)
{
    Graph g;
    g.first.assign(n + 1, 0);
    g.inDegree.assign(n, 0);
    for (const IndexedCell& c : cells)
        if (c.value == CellValue::X) {
            ++g.first[c.column + 1];
            ++g.inDegree[c.row];
        }
    for (std::uint32_t v = 0; v < n; ++v)
        g.first[v + 1] += g.first[v];
    g.to.resize(g.first[n]);
    std::vector<std::uint32_t> next(g.first.begin(), g.first.end() - 1);
    for (const IndexedCell& c : cells)
        if (c.value == CellValue::X)
            g.to[next[c.column]++] = c.row;
    return g;
}

// Kahn's algorithm with the lowest free position first; shorter than n when
// there is a cycle.
std::vector<std::uint32_t> setOrder(const Graph& g, std::uint32_t n)
{
    std::vector<std::uint32_t> waiting = g.inDegree;
    std::priority_queue<std::uint32_t, std::vector<std::uint32_t>, std::greater<>> free;
    for (std::uint32_t v = 0; v < n; ++v)
        if (waiting[v] == 0)
            free.push(v);
    std::vector<std::uint32_t> order;
    order.reserve(n);
    while (!free.empty()) {
        const std::uint32_t v = free.top();
        free.pop();
        order.push_back(v);
        for (std::uint32_t w : g.from(v))
            if (--waiting[w] == 0)
                free.push(w);
    }
    return order;
}

// Tarjan's strongly connected components with an explicit stack; only the
// groups of two or more are kept.
std::vector<std::vector<std::uint32_t>> coupledGroups(const Graph& g, std::uint32_t n)
{
    constexpr std::uint32_t kUnvisited = UINT32_MAX;
    std::vector<std::uint32_t> index(n, kUnvisited), low(n, 0);
    std::vector<bool> onStack(n, false);
    std::vector<std::uint32_t> stack;
    struct Frame { std::uint32_t v; std::uint32_t next; };
    std::vector<Frame> calls;
    std::vector<std::vector<std::uint32_t>> groups;
    std::uint32_t counter = 0;
    const auto visit = [&](std::uint32_t v) {
        index[v] = low[v] = counter++;
        stack.push_back(v);
        onStack[v] = true;
        calls.push_back({v, g.first[v]});
    };
    for (std::uint32_t start = 0; start < n; ++start) {
        if (index[start] != kUnvisited)
            continue;
        visit(start);
        while (!calls.empty()) {
            Frame& f = calls.back();
            const std::uint32_t v = f.v;
            if (f.next < g.first[v + 1]) {
                const std::uint32_t w = g.to[f.next++];
                if (index[w] == kUnvisited)
                    visit(w);
                else if (onStack[w])
                    low[v] = std::min(low[v], index[w]);
                continue;
            }
            calls.pop_back();
            if (!calls.empty())
                low[calls.back().v] = std::min(low[calls.back().v], low[v]);
            if (low[v] != index[v])
                continue;
            std::vector<std::uint32_t> group;
            std::uint32_t w = 0;
            do {
                w = stack.back();
                stack.pop_back();
                onStack[w] = false;
                group.push_back(w);
            } while (w != v);
            if (group.size() >= 2) {
                std::sort(group.begin(), group.end());
                groups.push_back(std::move(group));
            }
        }
    }
    std::sort(groups.begin(), groups.end(), [](const auto& a, const auto& b) { return a.front() < b.front(); });
    return groups;
}

// Incomplete, told from the number of assessed cells alone; else uncoupled so far.
Classification counted(std::uint32_t n, std::uint64_t assessed)
{
    Classification c;
    c.offDiagonal = n < 2 ? 0 : std::uint64_t{n} * (n - 1);
    c.notAssessed = c.offDiagonal - std::min(c.offDiagonal, assessed);
    if (c.notAssessed > 0)
        c.coupling = Coupling::Incomplete;
    return c;
}

} // namespace

Classification classify(std::uint32_t n, std::span<const IndexedCell> cells)
{
    return classify(n, cells.size(), cells);
}

Classification classify(std::uint32_t n, std::uint64_t assessed, std::span<const IndexedCell> cells)
{
    Classification c = counted(n, assessed);
    if (c.coupling == Coupling::Incomplete) {
        // A coupling among the cells assessed so far stays whatever the open ones hold.
        c.groups = coupledGroups(graphOf(n, cells), n);
        return c;
    }
    const bool anyX = std::any_of(cells.begin(), cells.end(), [](const IndexedCell& x) { return x.value == CellValue::X; });
    if (!anyX) {
        c.coupling = Coupling::Uncoupled;
        return c;
    }
    const Graph g = graphOf(n, cells);
    c.order = setOrder(g, n);
    if (c.order.size() == n) {
        c.coupling = Coupling::Decoupled;
        return c;
    }
    c.order.clear();
    c.coupling = Coupling::Coupled;
    c.groups = coupledGroups(g, n);
    return c;
}

Classification classify(const MatrixStore& store, const Node* parent, MatrixKind kind)
{
    const auto n = static_cast<std::uint32_t>(parent->children.size());
    if (store.cellCount(parent, kind) == 0)
        return counted(n, 0);
    return classify(n, store.indexedCells(parent, kind, MatrixStore::Order::Any));
}

std::string childNumber(std::string_view parentNumber, std::uint32_t index)
{
    std::string out(parentNumber);
    if (!out.empty())
        out += '.';
    out += std::to_string(std::uint64_t{index} + 1);
    return out;
}

std::string_view kindName(MatrixKind kind)
{
    return kind == MatrixKind::FrDp ? "FR-DP" : "DP-PV";
}

namespace {

using NameOf = std::function<std::string(std::uint32_t position)>;

// "a", "a and b", "a, b and c"
std::string listed(const std::vector<std::uint32_t>& members, const NameOf& nameOf)
{
    std::string out;
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i > 0)
            out += i + 1 == members.size() ? " and " : ", ";
        out += nameOf(members[i]);
    }
    return out;
}

std::string described(const Classification& c, MatrixKind kind, const NameOf& nameOf)
{
    switch (c.coupling) {
    case Coupling::Incomplete: {
        std::string out = std::to_string(c.notAssessed) + " of " + std::to_string(c.offDiagonal) + " cells not assessed";
        for (const auto& group : c.groups)
            out += "; " + listed(group, nameOf) + " already affect each other";
        return out;
    }
    case Coupling::Uncoupled:
        return "Uncoupled";
    case Coupling::Decoupled: {
        std::string out = kind == MatrixKind::FrDp ? "Decoupled: set DP " : "Decoupled: set PV ";
        for (std::size_t i = 0; i < c.order.size(); ++i) {
            if (i > 0)
                out += ", then ";
            out += nameOf(c.order[i]);
        }
        return out;
    }
    case Coupling::Coupled:
        break;
    }
    std::string out = "Coupled: ";
    for (std::size_t i = 0; i < c.groups.size(); ++i) {
        if (i > 0)
            out += "; ";
        out += listed(c.groups[i], nameOf) + " affect each other";
    }
    return out;
}

} // namespace

std::string describe(const Classification& c, MatrixKind kind, std::string_view parentNumber)
{
    return described(c, kind, [parentNumber](std::uint32_t i) { return childNumber(parentNumber, i); });
}

std::string describe(const Classification& c, MatrixKind kind, std::span<const std::string> numbers)
{
    return described(c, kind, [numbers](std::uint32_t i) { return numbers[i]; });
}

} // namespace model
