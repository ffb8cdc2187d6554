#include "model/DesignTree.h"

#include "model/Numbering.h"
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
    std::vector<const Node*> stack{top};
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        ++count;
        for (const Node* c : n->children)
            stack.push_back(c);
    }
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

DesignTree::~DesignTree()
{
    if (m_root)
        for (Node* c : m_root->children)
            destroySubtree(c);
}

DesignTree::DesignTree(DesignTree&& other) noexcept
    : m_root(std::exchange(other.m_root, std::make_unique<Node>())),
      m_size(std::exchange(other.m_size, 0)),
      m_orderValid(false),
      m_rowsValid(false),
      m_numbersStale(std::exchange(other.m_numbersStale, false))
{
    other.dropOrder();
    other.m_orderValid = other.m_rowsValid = true;
}

DesignTree& DesignTree::operator=(DesignTree&& other) noexcept
{
    if (this != &other) {
        for (Node* c : m_root->children)
            destroySubtree(c);
        m_root = std::exchange(other.m_root, std::make_unique<Node>());
        m_size = std::exchange(other.m_size, 0);
        m_numbersStale = std::exchange(other.m_numbersStale, false);
        dropOrder();
        m_rowsValid = false;
        other.dropOrder();
        other.m_orderValid = other.m_rowsValid = true;
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

// Calls f(node) for every node in row order, without recursion.
template <typename F>
void DesignTree::forEachNode(F&& f) const
{
    struct Frame { const Node* node; std::size_t next; };
    std::vector<Frame> stack{{m_root.get(), 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.node->children.size()) {
            stack.pop_back();
            continue;
        }
        Node* child = frame.node->children[frame.next++];
        f(child);
        if (!child->children.empty())
            stack.push_back({child, 0});
    }
}

void DesignTree::rebuildRows() const
{
    std::uint32_t row = 0;
    forEachNode([&row](Node* n) { n->row = row++; });
    m_rowsValid = true;
}

void DesignTree::dropOrder() const
{
    std::vector<Node*>().swap(m_order); // give the memory back, not just the size
    m_orderValid = false;
}

const std::vector<Node*>& DesignTree::preorder() const
{
    if (!m_orderValid) {
        m_order.clear();
        m_order.reserve(static_cast<std::size_t>(m_size));
        std::uint32_t row = 0;
        forEachNode([&](Node* n) {
            n->row = row++;
            m_order.push_back(n);
        });
        m_orderValid = m_rowsValid = true;
    }
    return m_order;
}

Node* DesignTree::nodeAt(int row) const
{
    assert(row >= 0 && row < m_size);
    if (m_orderValid)
        return m_order[static_cast<std::size_t>(row)];
    if (!m_rowsValid)
        rebuildRows();
    // Down from the root: the wanted row lies in the subtree of the last
    // child whose row is not past it.
    const auto target = static_cast<std::uint32_t>(row);
    const Node* n = m_root.get();
    for (;;) {
        const auto it = std::upper_bound(n->children.begin(), n->children.end(), target,
                                         [](std::uint32_t r, const Node* c) { return r < c->row; });
        Node* c = *(it - 1);
        if (c->row == target)
            return c;
        n = c;
    }
}

int DesignTree::rowOf(const Node* node) const
{
    if (!m_rowsValid)
        rebuildRows();
    return static_cast<int>(node->row);
}

// --- navigation ---------------------------------------------------------------

Node* DesignTree::parentOf(const Node* n) const
{
    return n->parent == m_root.get() ? nullptr : n->parent;
}

Node* DesignTree::prevSibling(const Node* n)
{
    return n->siblingIndex == 0 ? nullptr : n->parent->children[n->siblingIndex - 1];
}

Node* DesignTree::nextSibling(const Node* n)
{
    const auto next = static_cast<std::size_t>(n->siblingIndex) + 1;
    return next < n->parent->children.size() ? n->parent->children[next] : nullptr;
}

Node* DesignTree::lastChild(const Node* n)
{
    return n->children.empty() ? nullptr : n->children.back();
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
    parent->children.insertAt(static_cast<std::size_t>(index), child);
    reindexSiblings(parent, index);
}

void DesignTree::unlinkChild(Node* child)
{
    Node* parent = child->parent;
    const int index = static_cast<int>(child->siblingIndex);
    parent->children.eraseAt(static_cast<std::size_t>(index));
    reindexSiblings(parent, index);
    child->parent = nullptr;
}

void DesignTree::structureChanged(int delta)
{
    m_size += delta;
    m_rowsValid = false;
    if (m_orderValid)
        dropOrder();
    m_numbersStale = true;
}

Node* DesignTree::insert(Node* parent, int index, std::string text)
{
    return insertSubtree(parent, index, std::make_unique<Node>(std::move(text)));
}

Node* DesignTree::insertSubtree(Node* parent, int index, std::unique_ptr<Node> subtree)
{
    assert(index >= 0 && index <= childCount(parent));
    const int count = subtree->children.empty() ? 1 : countSubtree(subtree.get());
    notify([&](TreeObserver& o) { o.aboutToInsert(m_id, parent, index); });
    Node* node = subtree.release();
    linkChild(parent, index, node);
    structureChanged(count);
    notify([&](TreeObserver& o) { o.inserted(m_id, parent, index); });
    return node;
}

void DesignTree::remove(Node* node)
{
    Node* parent = node->parent;
    const int index = static_cast<int>(node->siblingIndex);
    const int count = node->children.empty() ? 1 : countSubtree(node);
    notify([&](TreeObserver& o) { o.aboutToRemove(m_id, parent, index); });
    unlinkChild(node);
    structureChanged(-count);
    destroySubtree(node);
    notify([&](TreeObserver& o) { o.removed(m_id, parent, index); });
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
    notify([&](TreeObserver& o) { o.moved(m_id, oldParent, oldIndex, newParent, index); });
    return true;
}

void DesignTree::setText(Node* node, std::string text)
{
    node->text = std::move(text);
    m_numbersStale = true;
    notify([&](TreeObserver& o) { o.textChanged(m_id, node); });
}

void DesignTree::assign(DesignTree&& other)
{
    notify([&](TreeObserver& o) { o.aboutToReset(m_id); });
    for (Node* c : m_root->children)
        destroySubtree(c);
    m_root = std::exchange(other.m_root, std::make_unique<Node>());
    m_size = std::exchange(other.m_size, 0);
    other.dropOrder();
    other.m_orderValid = other.m_rowsValid = true;
    dropOrder();
    m_rowsValid = false;
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

void DesignTree::forceRenumber()
{
    // Depth-first with one growing number buffer: a child's number is its
    // parent's, a full stop and its own sibling index + 1.
    struct Frame { Node* node; std::size_t next; std::size_t numberLength; };
    std::string number;
    bool changed = false;
    std::vector<Frame> stack{{m_root.get(), 0, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == f.node->children.size()) {
            number.resize(f.numberLength);
            stack.pop_back();
            continue;
        }
        Node* child = f.node->children[f.next++];
        const std::size_t parentLength = number.size();
        if (f.node != m_root.get())
            number += '.';
        appendDecimal(number, f.next);
        changed |= applyNumber(child->text, number);
        stack.push_back({child, 0, parentLength});
    }
    m_numbersStale = false;
    if (changed)
        notify([&](TreeObserver& o) { o.textsChanged(m_id); });
}

void DesignTree::stripNumbers()
{
    bool changed = false;
    forEachNode([&changed](Node* n) {
        if (const std::size_t offset = labelOffset(n->text)) {
            n->text.erase(0, offset);
            changed = true;
        }
    });
    if (changed) {
        m_numbersStale = true;
        notify([&](TreeObserver& o) { o.textsChanged(m_id); });
    }
}

// --- copies -------------------------------------------------------------------

std::unique_ptr<Node> DesignTree::cloneSubtree(const Node* top)
{
    auto copy = std::make_unique<Node>(top->text);
    std::vector<std::pair<const Node*, Node*>> stack{{top, copy.get()}};
    try {
        while (!stack.empty()) {
            auto [src, dst] = stack.back();
            stack.pop_back();
            dst->children.reserve(src->children.size());
            for (std::size_t i = 0; i < src->children.size(); ++i) {
                Node* c = new Node(src->children[i]->text);
                c->parent = dst;
                c->siblingIndex = static_cast<std::uint32_t>(i);
                dst->children.push_back(c);
                stack.emplace_back(src->children[i], c);
            }
        }
    } catch (...) {
        for (Node* c : copy->children)
            destroySubtree(c);
        throw;
    }
    return copy;
}

void DesignTree::destroySubtree(Node* top)
{
    std::vector<Node*> stack{top};
    while (!stack.empty()) {
        Node* n = stack.back();
        stack.pop_back();
        stack.insert(stack.end(), n->children.begin(), n->children.end());
        delete n;
    }
}

} // namespace model
