#include "model/DesignTree.h"

#include "model/EditRecord.h"
#include "model/Numbering.h"
#include "model/PreOrder.h"
#include "model/TreeObserver.h"

#include <algorithm>
#include <cassert>
#include <charconv>
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
    for (Node* top : tops)
        top->parent = parent;
    parent->children.insertRange(static_cast<std::size_t>(index), tops.data(), tops.size(), m_childArena);
    reindexSiblings(parent, index);
    structureChanged(count);
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
    for (int i = first; i <= last; ++i)
        parent->children[static_cast<std::size_t>(i)]->parent = nullptr;
    parent->children.eraseRange(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
    reindexSiblings(parent, first);
    structureChanged(-nodes);
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
    unlinkChild(node);
    linkChild(newParent, (oldParent == newParent && index > oldIndex) ? index - 1 : index, node);
    structureChanged(0);
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
    m_numbersStale = true;
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

void DesignTree::renumber()
{
    if (m_numbersStale)
        forceRenumber();
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

void DesignTree::forceRenumber()
{
    // Depth-first with one growing number buffer: a child's number is its
    // parent's, a full stop and its own sibling index + 1. Every rewritten
    // text is announced, so each view repaints exactly those rows.
    struct Frame { Node* node; std::size_t next; std::size_t numberLength; ChangedRun changed; };
    std::string number;
    std::vector<TextRun> runs;
    PrefixSwaps swaps; // what the renumbering replaced, when recording
    const bool keepPrefixes = m_record && !m_numbersRightWhenRecordingStarted;
    bool changedAny = false;
    std::vector<Frame> stack{{m_root.get(), 0, 0, {}}};
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
        if (offset != number.size() || child->m_text.view().substr(0, offset) != number) {
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
    m_numbersStale = false;
    if (keepPrefixes && !swaps.empty())
        m_record->numbersSet(m_id, std::move(swaps));
    else if (m_record && changedAny)
        m_record->renumbered(m_id);
    announceTexts(runs);
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
