#include "model/DesignTree.h"

#include "model/EditRecord.h"
#include "model/Numbering.h"
#include "model/PreOrder.h"
#include "model/TreeObserver.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <future>
#include <utility>

namespace model {

namespace {

int countSubtree(const Node* top)
{
    int count = 0;
    preOrder(top, [&](const Node*, std::size_t) { ++count; });
    return count;
}

void appendDecimal(std::string& out, std::size_t value)
{
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;
    out.append(buf, end);
}

} // namespace

DesignTree::DesignTree() : m_root(std::make_unique<Node>()) {}

// The pool's blocks hold every node: destroying them frees the whole tree at once.
DesignTree::~DesignTree()
{
    if (!m_textsMayOwn)
        m_pool.nothingToDestroy();
}

void DesignTree::swapContent(DesignTree& other) noexcept
{
    m_pool.swap(other.m_pool);
    m_childArena.swap(other.m_childArena);
    m_buffers.swap(other.m_buffers);
    m_root.swap(other.m_root);
    std::swap(m_size, other.m_size);
    std::swap(m_numbersStale, other.m_numbersStale);
    m_marks.swap(other.m_marks);
    std::swap(m_textsMayOwn, other.m_textsMayOwn);
    m_rowsValid = false;
    other.m_rowsValid = false;
}

DesignTree::DesignTree(DesignTree&& other) noexcept : m_root(std::make_unique<Node>())
{
    swapContent(other);
}

DesignTree& DesignTree::operator=(DesignTree&& other) noexcept
{
    if (this != &other) {
        DesignTree old(std::move(*this));
        swapContent(other);
    }
    return *this;
}

void DesignTree::attach(TreeId id, const std::vector<TreeObserver*>* observers)
{
    m_id = id;
    m_observers = observers;
}

template <typename F>
void DesignTree::notify(F&& f) const
{
    if (!m_observers)
        return;
    for (TreeObserver* o : *m_observers)
        f(*o);
}

// --- rows ------------------------------------------------------------------

void DesignTree::rebuildRows() const
{
    m_order.clear();
    m_order.reserve(static_cast<std::size_t>(m_size));
    preOrderBelow(m_root.get(), [this](Node* child, std::size_t) {
        child->row = static_cast<std::uint32_t>(m_order.size());
        m_order.push_back(child);
    });
    m_rowsValid = true;
}

const std::vector<Node*>& DesignTree::rows() const
{
    if (!m_rowsValid)
        rebuildRows();
    return m_order;
}

std::span<const Node* const> DesignTree::preorder() const
{
    const std::vector<Node*>& order = rows();
    return {order.data(), order.size()};
}

const Node* DesignTree::nodeAt(int row) const
{
    const auto& order = rows();
    assert(row >= 0 && row < static_cast<int>(order.size()));
    return order[static_cast<std::size_t>(row)];
}

int DesignTree::rowOf(const Node* node) const
{
    if (!m_rowsValid)
        rebuildRows();
    return static_cast<int>(node->row);
}

namespace {
// How far up rowAt looks for the row after a subtree. A deep chain built
// row by row would make each look cost its depth: past this many levels the
// row cache is dropped instead and rebuilt once when next asked.
constexpr int kLevelsLookedUp = 256;
} // namespace

// The row a node linked in as child `index` of parent would take: the row of
// the child there now, or else the row after parent's subtree; nothing when
// that lies too many levels up.
std::optional<std::size_t> DesignTree::rowAt(const Node* parent, int index) const
{
    if (index < childCount(parent))
        return parent->children[static_cast<std::size_t>(index)]->row;
    int levels = 0;
    for (const Node* x = parent; x != m_root.get(); x = x->parent) {
        if (const Node* next = nextSibling(x))
            return next->row;
        if (++levels == kLevelsLookedUp)
            return std::nullopt;
    }
    return m_order.size();
}

// Each primitive keeps the cache as a rebuild would make it, so that a
// command on a large design costs a move of pointers, not a walk of the tree.
void DesignTree::rowsInserted(std::size_t at, std::span<Node* const> tops, int count)
{
    std::vector<Node*> added;
    added.reserve(static_cast<std::size_t>(count));
    for (Node* top : tops)
        preOrder(top, [&](Node* n, std::size_t) { added.push_back(n); });
    m_order.insert(m_order.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
    setRows(at, m_order.size());
}

void DesignTree::rowsErased(std::size_t at, int count)
{
    const auto first = m_order.begin() + static_cast<std::ptrdiff_t>(at);
    m_order.erase(first, first + count);
    setRows(at, m_order.size());
}

// The subtree of `count` rows at `from` now stands before the row that stood
// at `to` (`to` outside it).
void DesignTree::rowsMoved(std::size_t from, int count, std::size_t to)
{
    const auto begin = m_order.begin();
    const auto n = static_cast<std::size_t>(count);
    if (to > from) {
        std::rotate(begin + static_cast<std::ptrdiff_t>(from), begin + static_cast<std::ptrdiff_t>(from + n),
                    begin + static_cast<std::ptrdiff_t>(to));
        setRows(from, to);
    } else {
        std::rotate(begin + static_cast<std::ptrdiff_t>(to), begin + static_cast<std::ptrdiff_t>(from),
                    begin + static_cast<std::ptrdiff_t>(from + n));
        setRows(to, from + n);
    }
}

void DesignTree::setRows(std::size_t first, std::size_t end)
{
    for (std::size_t row = first; row < end; ++row)
        m_order[row]->row = static_cast<std::uint32_t>(row);
}

// --- navigation ---------------------------------------------------------------

const Node* DesignTree::parentOf(const Node* n) const
{
    return n->parent == m_root.get() ? nullptr : n->parent;
}

const Node* DesignTree::prevSibling(const Node* n)
{
    return n->siblingIndex == 0 ? nullptr : n->parent->children[n->siblingIndex - 1];
}

const Node* DesignTree::nextSibling(const Node* n)
{
    const auto next = static_cast<std::size_t>(n->siblingIndex) + 1;
    return next < n->parent->children.size() ? n->parent->children[next] : nullptr;
}

const Node* DesignTree::lastChild(const Node* n)
{
    return n->children.empty() ? nullptr : n->children.back();
}

int DesignTree::maxLevel() const
{
    // A node's level is its parent's plus one, and a parent comes first in row order.
    const std::vector<Node*>& order = rows();
    std::vector<int> level(order.size());
    int deepest = -1;
    for (std::size_t row = 0; row < order.size(); ++row) {
        const Node* n = order[row];
        level[row] = isTopLevel(n) ? 0 : level[n->parent->row] + 1;
        deepest = std::max(deepest, level[row]);
    }
    return deepest;
}

int DesignTree::levelOf(const Node* n) const
{
    int level = 0;
    for (const Node* p = n->parent; p != m_root.get(); p = p->parent)
        ++level;
    return level;
}

int DesignTree::subtreeSize(const Node* n) const
{
    const int row = rowOf(n);
    for (const Node* x = n; x != m_root.get(); x = x->parent)
        if (const Node* next = nextSibling(x))
            return rowOf(next) - row;
    return m_size - row;
}

bool DesignTree::isInSubtree(const Node* candidate, const Node* top) const
{
    for (const Node* x = candidate; x && x != m_root.get(); x = x->parent)
        if (x == top)
            return true;
    return false;
}

// --- primitives ---------------------------------------------------------------

void DesignTree::reindexSiblings(Node* parent, int from)
{
    for (std::size_t i = static_cast<std::size_t>(from); i < parent->children.size(); ++i)
        parent->children[i]->siblingIndex = static_cast<std::uint32_t>(i);
}

void DesignTree::linkChild(Node* parent, int index, Node* child)
{
    child->parent = parent;
    parent->children.insert(static_cast<std::size_t>(index), child, m_childArena);
    reindexSiblings(parent, index);
}

void DesignTree::unlinkChild(Node* child)
{
    Node* parent = child->parent;
    const int index = static_cast<int>(child->siblingIndex);
    parent->children.erase(static_cast<std::size_t>(index));
    reindexSiblings(parent, index);
    child->parent = nullptr;
}

Node* DesignTree::createDetached(std::string_view text)
{
    Node* node = m_pool.take();
    m_textsMayOwn = true;
    node->m_text.assign(text);
    return node;
}

Node* DesignTree::insert(Node* parent, int index, std::string_view text)
{
    return insertSubtree(parent, index, createDetached(text));
}

void DesignTree::adoptBuffer(std::shared_ptr<const void> keeper)
{
    m_buffers.push_back(std::move(keeper));
}

void DesignTree::appendTree(DesignTree&& other)
{
    m_pool.absorb(std::move(other.m_pool));
    m_childArena.absorb(std::move(other.m_childArena));
    for (auto& buffer : other.m_buffers)
        m_buffers.push_back(std::move(buffer));
    other.m_buffers.clear();
    Node* root = m_root.get();
    ChildList& tops = other.m_root->children;
    root->children.reserve(root->children.size() + tops.size(), m_childArena);
    for (Node* top : tops) {
        top->parent = root;
        top->siblingIndex = static_cast<std::uint32_t>(root->children.size());
        root->children.push_back(top, m_childArena);
    }
    tops.release(m_childArena); // it was allocated from other's arena, which is ours now
    structureChanged(other.m_size);
    m_textsMayOwn = m_textsMayOwn || other.m_textsMayOwn;
    m_numbersStale = m_numbersStale || other.m_numbersStale;
    other.structureChanged(-other.m_size);
}

Node* DesignTree::insertSubtree(Node* parent, int index, Node* node)
{
    insertRun(parent, index, std::span<Node* const>(&node, 1));
    return node;
}

void DesignTree::insertRun(Node* parent, int index, std::span<Node* const> tops)
{
    assert(!tops.empty() && index >= 0 && index <= childCount(parent));
    int count = 0;
    for (const Node* top : tops)
        count += top->children.empty() ? 1 : countSubtree(top);
    const int last = index + static_cast<int>(tops.size()) - 1;
    notify([&](TreeObserver& o) { o.aboutToInsert(m_id, parent, index, last); });
    const std::optional<std::size_t> at = m_rowsValid ? rowAt(parent, index) : std::nullopt;
    for (Node* top : tops)
        top->parent = parent;
    parent->children.insertRange(static_cast<std::size_t>(index), tops.data(), tops.size(), m_childArena);
    reindexSiblings(parent, index);
    m_size += count;
    markBelow(parent, index);
    if (at)
        rowsInserted(*at, tops, count);
    else
        m_rowsValid = false;
    if (m_record)
        m_record->linked(m_id, parent, index, tops);
    notify([&](TreeObserver& o) { o.inserted(m_id, parent, index, last); });
}

void DesignTree::remove(Node* node)
{
    if (m_record) { // the record holds the subtree: undo links the same nodes in again
        Node* parent = node->parent;
        const int index = static_cast<int>(node->siblingIndex);
        int count = 0;
        const std::size_t bytes = subtreeBytes(node, count);
        unlinkAnnounced(parent, index, 1, count);
        m_record->unlinked(m_id, parent, index, node, bytes);
        return;
    }
    destroySubtree(detach(node));
}

Node* DesignTree::detach(Node* node)
{
    return detachRun(node->parent, static_cast<int>(node->siblingIndex), 1).front();
}

std::vector<Node*> DesignTree::detachRun(Node* parent, int first, int count)
{
    assert(count > 0 && first >= 0 && first + count <= childCount(parent));
    std::vector<Node*> tops(parent->children.begin() + first, parent->children.begin() + first + count);
    int nodes = 0;
    for (const Node* top : tops)
        nodes += top->children.empty() ? 1 : countSubtree(top);
    unlinkAnnounced(parent, first, count, nodes);
    return tops;
}

void DesignTree::unlinkAnnounced(Node* parent, int first, int count, int nodes)
{
    const int last = first + count - 1;
    notify([&](TreeObserver& o) { o.aboutToRemove(m_id, parent, first, last); });
    const std::size_t at = m_rowsValid ? parent->children[static_cast<std::size_t>(first)]->row : 0;
    for (int i = first; i <= last; ++i)
        parent->children[static_cast<std::size_t>(i)]->parent = nullptr;
    parent->children.eraseRange(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
    reindexSiblings(parent, first);
    m_size -= nodes;
    if (m_rowsValid) {
        dropMarksIn(at, nodes);
        rowsErased(at, nodes);
    } else {
        m_numbersStale = true;
    }
    markBelow(parent, first);
    notify([&](TreeObserver& o) { o.removed(m_id, parent, first, last); });
}

// What a subtree holds: its nodes and their texts' bytes.
std::size_t DesignTree::subtreeBytes(const Node* top, int& count)
{
    std::size_t bytes = 0;
    preOrder(top, [&](const Node* n, std::size_t) {
        ++count;
        bytes += sizeof(Node) + n->m_text.size() + n->children.size() * sizeof(Node*);
    });
    return bytes;
}

bool DesignTree::move(Node* node, Node* newParent, int index)
{
    if (newParent == node || isInSubtree(newParent, node))
        return false;
    Node* oldParent = node->parent;
    const int oldIndex = static_cast<int>(node->siblingIndex);
    if (oldParent == newParent && (index == oldIndex || index == oldIndex + 1))
        return false; // already there
    notify([&](TreeObserver& o) { o.aboutToMove(m_id, oldParent, oldIndex, newParent, index); });
    const std::size_t from = node->row;
    const std::optional<std::size_t> end = m_rowsValid ? rowAt(oldParent, oldIndex + 1) : std::nullopt;
    const std::optional<std::size_t> to = end ? rowAt(newParent, index) : std::nullopt;
    unlinkChild(node);
    const int newIndex = (oldParent == newParent && index > oldIndex) ? index - 1 : index;
    linkChild(newParent, newIndex, node);
    markBelow(oldParent, oldIndex);
    markBelow(newParent, newIndex);
    if (to)
        rowsMoved(from, static_cast<int>(*end - from), *to);
    else
        m_rowsValid = false;
    if (m_record)
        m_record->moved(m_id, node, oldParent, oldIndex);
    notify([&](TreeObserver& o) { o.moved(m_id, oldParent, oldIndex, newParent, index); });
    return true;
}

void DesignTree::setText(Node* node, std::string_view text)
{
    if (m_record) {
        m_record->textSet(m_id, node, node->m_text);
        m_numbersRightWhenRecordingStarted = false;
    }
    m_textsMayOwn = true;
    node->m_text.assign(text);
    markText(node);
    notify([&](TreeObserver& o) { o.textChanged(m_id, node); });
}

void DesignTree::assign(DesignTree&& other)
{
    notify([&](TreeObserver& o) { o.aboutToReset(m_id); });
    {
        DesignTree old(std::move(*this)); // freed at the end of this block
        swapContent(other);
    }
    m_order.clear();
    m_numbersStale = true; // stored numbers stand until the next renumbering
    notify([&](TreeObserver& o) { o.reset(m_id); });
}

void DesignTree::clear()
{
    assign(DesignTree());
}

// --- outline numbers ----------------------------------------------------------


namespace {
// Past this many marks, renumbering everything costs about as much.
constexpr std::size_t kMostMarks = 4096;
} // namespace

void DesignTree::markBelow(Node* parent, int from)
{
    if (m_numbersStale)
        return;
    if (m_marks.size() >= kMostMarks) {
        m_numbersStale = true;
        m_marks.clear();
        return;
    }
    m_marks.push_back({parent, from});
}

void DesignTree::markText(Node* node)
{
    markBelow(node, -1);
}

// Rows taken out of the tree take their marks along: a mark must never
// outlive its node.
void DesignTree::dropMarksIn(std::size_t firstRow, int count)
{
    const std::size_t end = firstRow + static_cast<std::size_t>(count);
    std::erase_if(m_marks, [&](const NumberMark& m) {
        return m.node != m_root.get() && m.node->row >= firstRow && m.node->row < end;
    });
}

namespace {

// Adjacent siblings whose texts changed, gathered while a walk visits the
// children of one parent in order; each finished run joins the list.
class ChangedRun {
public:
    void add(Node* parent, int index, std::vector<TextRun>& runs)
    {
        if (m_first >= 0 && index == m_last + 1) {
            m_last = index;
            return;
        }
        flush(parent, runs);
        m_first = m_last = index;
    }
    void flush(Node* parent, std::vector<TextRun>& runs)
    {
        if (m_first >= 0)
            runs.push_back({parent, m_first, m_last});
        m_first = m_last = -1;
    }

private:
    int m_first = -1;
    int m_last = -1;
};

} // namespace

// What one renumbering changed: the runs to announce, and what it replaced.
struct DesignTree::Renumbering {
    bool walked = false; // nothing was stale: nothing to finish
    std::vector<TextRun> runs;
    PrefixSwaps swaps; // what the renumbering replaced, when recording
    bool keepPrefixes = false;
    bool changedAny = false;
};

void DesignTree::forceRenumber()
{
    Renumbering r;
    walkAllNumbers(r);
    finishRenumbering(r);
}

void DesignTree::walkAllNumbers(Renumbering& r)
{
    r.keepPrefixes = m_record && !m_numbersRightWhenRecordingStarted;
    renumberChildren(m_root.get(), 0, {}, r);
}

void DesignTree::renumber()
{
    if (!numbersMayBeStale())
        return;
    Renumbering r;
    walkNumbers(r);
    finishRenumbering(r);
}

void DesignTree::walkNumbers(Renumbering& r)
{
    r.walked = true;
    if (m_numbersStale)
        walkAllNumbers(r);
    else
        walkMarkedNumbers(r);
}

namespace {
// Past this many rows to renumber, the trees are walked side by side.
constexpr std::size_t kRowsWorthThreads = 200'000;
} // namespace

// A renumbering of a large design rewrites the number of every row below
// the change in all three trees (Add sibling above the first of a million
// rows: three million texts). The walks touch nothing outside their own
// tree, so they run side by side; the recording and the announcing then
// follow one tree after another, as a renumbering of each in turn would.
void DesignTree::renumberSideBySide(std::span<DesignTree* const> trees)
{
    std::vector<Renumbering> walked(trees.size());
    std::size_t rows = 0;
    for (const DesignTree* t : trees)
        rows += t->numbersMayBeStale() ? static_cast<std::size_t>(t->size()) : 0;
    auto walk = [&](std::size_t i) {
        if (trees[i]->numbersMayBeStale())
            trees[i]->walkNumbers(walked[i]);
    };
    if (rows < kRowsWorthThreads || trees.size() < 2) {
        for (std::size_t i = 0; i < trees.size(); ++i)
            walk(i);
    } else {
        std::vector<std::future<void>> others;
        for (std::size_t i = 1; i < trees.size(); ++i)
            others.push_back(std::async(std::launch::async, walk, i));
        walk(0);
        for (auto& other : others)
            other.get();
    }
    for (std::size_t i = 0; i < trees.size(); ++i)
        if (walked[i].walked)
            trees[i]->finishRenumbering(walked[i]);
}

// Only the marked places: each mark covers a stretch of rows (a parent's
// later children with their subtrees, or one row), and such stretches are
// nested or apart, so in row order a stretch inside one already renumbered
// is skipped, and the swaps and runs come in row order as a whole pass
// gives them.
void DesignTree::walkMarkedNumbers(Renumbering& r)
{
    rows();
    struct Stretch { std::size_t start; std::size_t end; const NumberMark* mark; };
    std::vector<Stretch> stretches;
    for (const NumberMark& m : m_marks) {
        if (m.from < 0) {
            stretches.push_back({m.node->row, std::size_t(m.node->row) + 1, &m});
        } else if (m.from < childCount(m.node)) {
            const std::optional<std::size_t> end = rowAt(m.node, childCount(m.node));
            if (!end) { // deep down a chain: the whole pass costs about the same
                walkAllNumbers(r);
                return;
            }
            stretches.push_back({m.node->children[static_cast<std::size_t>(m.from)]->row, *end, &m});
        }
    }
    std::sort(stretches.begin(), stretches.end(), [](const Stretch& a, const Stretch& b) {
        return a.start != b.start ? a.start < b.start : a.end > b.end;
    });
    r.keepPrefixes = m_record && !m_numbersRightWhenRecordingStarted;
    std::size_t renumberedTo = 0;
    for (const Stretch& s : stretches) {
        if (s.start < renumberedTo)
            continue;
        renumberedTo = s.end;
        if (s.mark->from < 0)
            renumberOne(s.mark->node, r);
        else
            renumberChildren(s.mark->node, static_cast<std::size_t>(s.mark->from), outlineNumberOf(s.mark->node), r);
    }
}

void DesignTree::renumberOne(Node* node, Renumbering& r)
{
    const std::string number = outlineNumberOf(node) + ' ';
    const std::size_t offset = labelOffset(node->m_text);
    if (offset == number.size() && node->m_text.view().substr(0, offset) == number)
        return;
    if (r.keepPrefixes)
        r.swaps.add(node, static_cast<std::uint32_t>(number.size()), node->m_text.view().substr(0, offset));
    r.changedAny = true;
    node->m_text.replacePrefix(offset, number);
    m_textsMayOwn = true;
    const int index = static_cast<int>(node->siblingIndex);
    r.runs.push_back({node->parent, index, index});
}

void DesignTree::finishRenumbering(Renumbering& r)
{
    m_numbersStale = false;
    m_marks.clear();
    if (r.keepPrefixes && !r.swaps.empty())
        m_record->numbersSet(m_id, std::move(r.swaps));
    else if (m_record && r.changedAny)
        m_record->renumbered(m_id);
    announceTexts(r.runs);
}

// Children from..end of parent with their subtrees; `number` is parent's.
void DesignTree::renumberChildren(Node* top, std::size_t from, std::string number, Renumbering& r)
{
    // Depth-first with one growing number buffer: a child's number is its
    // parent's, a full stop and its own sibling index + 1. Every rewritten
    // text is announced, so each view repaints exactly those rows.
    struct Frame { Node* node; std::size_t next; std::size_t numberLength; ChangedRun changed; };
    std::vector<TextRun>& runs = r.runs;
    PrefixSwaps& swaps = r.swaps;
    const bool keepPrefixes = r.keepPrefixes;
    bool changedAny = false;
    std::vector<Frame> stack{{top, from, number.size(), {}}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == f.node->children.size()) {
            f.changed.flush(f.node, runs);
            number.resize(f.numberLength);
            stack.pop_back();
            continue;
        }
        Node* child = f.node->children[f.next++];
        const std::size_t parentLength = number.size();
        if (f.node != m_root.get())
            number += '.';
        appendDecimal(number, f.next);
        number += ' ';
        // The text keeps its label; only a number that is not already right is replaced.
        const std::size_t offset = labelOffset(child->m_text);
        if (offset != number.size() || !startsWithNumber(child->m_text.view(), number)) {
            if (keepPrefixes)
                swaps.add(child, static_cast<std::uint32_t>(number.size()), child->m_text.view().substr(0, offset));
            changedAny = true;
            child->m_text.replacePrefix(offset, number);
            m_textsMayOwn = true;
            f.changed.add(f.node, static_cast<int>(f.next - 1), runs);
        }
        number.pop_back();
        if (!child->children.empty())
            stack.push_back({child, 0, parentLength, {}});
        else
            number.resize(parentLength);
    }
    r.changedAny = r.changedAny || changedAny;
}

void DesignTree::stripNumbers()
{
    struct Frame { Node* node; std::size_t next; ChangedRun changed; };
    std::vector<TextRun> runs;
    PrefixSwaps swaps;
    std::vector<Frame> stack{{m_root.get(), 0, {}}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == f.node->children.size()) {
            f.changed.flush(f.node, runs);
            stack.pop_back();
            continue;
        }
        Node* child = f.node->children[f.next++];
        if (const std::size_t offset = labelOffset(child->m_text)) {
            if (m_record)
                swaps.add(child, 0, child->m_text.view().substr(0, offset));
            child->m_text.erasePrefix(offset);
            f.changed.add(f.node, static_cast<int>(f.next - 1), runs);
        }
        if (!child->children.empty())
            stack.push_back({child, 0, {}});
    }
    if (!runs.empty()) {
        m_numbersStale = true;
        m_numbersRightWhenRecordingStarted = false;
    }
    if (!swaps.empty())
        m_record->numbersSet(m_id, std::move(swaps));
    announceTexts(runs);
}

void DesignTree::swapPrefixes(PrefixSwaps& swaps)
{
    // Each text takes the other prefix, which the swaps keep in its stead.
    // Runs are gathered per parent: the swaps come in row order, so a
    // parent's children arrive in order, though not one after another.
    PrefixSwaps swapped;
    swapped.nodes.reserve(swaps.nodes.size());
    swapped.lengths.reserve(swaps.nodes.size());
    swapped.ends.reserve(swaps.nodes.size());
    std::vector<std::pair<Node*, int>> changed;
    changed.reserve(swaps.nodes.size());
    std::uint32_t begin = 0;
    for (std::size_t i = 0; i < swaps.nodes.size(); ++i) {
        Node* node = swaps.nodes[i];
        const std::string_view other(swaps.prefixes.data() + begin, swaps.ends[i] - begin);
        swapped.add(node, static_cast<std::uint32_t>(other.size()), node->m_text.view().substr(0, swaps.lengths[i]));
        node->m_text.replacePrefix(swaps.lengths[i], other);
        begin = swaps.ends[i];
        changed.emplace_back(node->parent, static_cast<int>(node->siblingIndex));
    }
    swaps = std::move(swapped);
    m_textsMayOwn = true;
    std::stable_sort(changed.begin(), changed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TextRun> runs;
    for (const auto& [parent, index] : changed) {
        if (!runs.empty() && runs.back().parent == parent && runs.back().last + 1 == index)
            runs.back().last = index;
        else
            runs.push_back({parent, index, index});
    }
    announceTexts(runs);
}

void DesignTree::announceTexts(std::span<const TextRun> runs)
{
    if (!runs.empty())
        notify([&](TreeObserver& o) { o.textsChanged(m_id, runs); });
}

// --- copies -------------------------------------------------------------------

Node* DesignTree::cloneSubtree(const Node* top, std::string_view topSuffix)
{
    Node* copy = createDetached(top->m_text);
    copy->m_text.append(topSuffix);
    std::vector<std::pair<const Node*, Node*>> stack{{top, copy}};
    try {
        while (!stack.empty()) {
            auto [src, dst] = stack.back();
            stack.pop_back();
            dst->children.reserve(src->children.size(), m_childArena);
            for (std::size_t i = 0; i < src->children.size(); ++i) {
                Node* c = createDetached(src->children[i]->m_text);
                c->parent = dst;
                c->siblingIndex = static_cast<std::uint32_t>(i);
                dst->children.push_back(c, m_childArena);
                stack.emplace_back(src->children[i], c);
            }
        }
    } catch (...) {
        destroySubtree(copy);
        throw;
    }
    return copy;
}

std::vector<Node*> DesignTree::createDetachedRows(std::span<const std::uint32_t> levels,
                                                 std::span<const std::string> texts)
{
    assert(levels.size() == texts.size());
    std::vector<Node*> tops;
    std::vector<Node*> path; // the latest row at each level
    Node* loose = nullptr;   // made, not yet linked
    try {
        for (std::size_t i = 0; i < levels.size(); ++i) {
            const std::size_t level = std::min<std::size_t>(levels[i], path.size());
            Node* node = loose = createDetached(texts[i]);
            path.resize(level);
            if (level == 0) {
                tops.push_back(node);
            } else {
                Node* parent = path.back();
                node->parent = parent;
                node->siblingIndex = static_cast<std::uint32_t>(parent->children.size());
                parent->children.push_back(node, m_childArena);
            }
            loose = nullptr;
            path.push_back(node);
        }
    } catch (...) {
        if (loose)
            destroySubtree(loose);
        for (Node* top : tops)
            destroySubtree(top);
        throw;
    }
    return tops;
}

void DesignTree::destroySubtree(Node* top)
{
    std::vector<Node*> stack{top};
    while (!stack.empty()) {
        Node* n = stack.back();
        stack.pop_back();
        stack.insert(stack.end(), n->children.begin(), n->children.end());
        n->children.release(m_childArena);
        m_pool.give(n);
    }
}

} // namespace model
