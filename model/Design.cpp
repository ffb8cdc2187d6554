#include "model/Design.h"

#include "model/Numbering.h"
#include "model/TreeObserver.h"
#include "model/UserError.h"

#include <algorithm>

namespace model {

Design::Design()
{
    for (TreeId id : kAllTrees)
        tree(id).attach(id, &m_observers);
}

template <typename F>
void Design::eachTree(F&& step)
{
    for (TreeId id : kAllTrees)
        step(tree(id));
}

bool Design::hasSameShape() const
{
    for (TreeId id : {TreeId::DP, TreeId::PV})
        if (!sameShape(tree(TreeId::FR), tree(id)))
            return false;
    return true;
}

// Same shape: the same number of children at every place, found by walking
// both trees in step (linear, without recursion or row lookups).
bool Design::sameShape(const DesignTree& a, const DesignTree& b)
{
    if (a.size() != b.size())
        return false;
    std::vector<std::pair<const Node*, const Node*>> stack{{a.root(), b.root()}};
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        if (x->children.size() != y->children.size())
            return false;
        for (std::size_t i = 0; i < x->children.size(); ++i)
            if (!x->children[i]->children.empty() || !y->children[i]->children.empty())
                stack.emplace_back(x->children[i], y->children[i]);
    }
    return true;
}

void Design::replaceTrees(std::array<DesignTree, kTreeCount>&& trees)
{
    // Refused before anything changes: partner lookups would leave a tree.
    for (std::size_t i = 1; i < trees.size(); ++i)
        if (!sameShape(trees[0], trees[i]))
            throw UserError("The three trees do not have the same shape");
    m_lifetime = std::make_shared<const int>(0);
    for (TreeId id : kAllTrees)
        tree(id).assign(std::move(trees[static_cast<std::size_t>(index(id))]));
    replaceMatrices({});
    m_kept.clear();
}

void Design::replaceTrees(ComparedTrees&& trees)
{
    m_lifetime = std::make_shared<const int>(0);
    for (TreeId id : kAllTrees)
        tree(id).assign(std::move(trees.m_trees[static_cast<std::size_t>(index(id))]));
    replaceMatrices({});
    m_kept.clear();
}

void Design::setTitle(TreeId id, std::string text)
{
    std::string& title = m_titles[static_cast<std::size_t>(index(id))];
    if (title == text)
        return;
    if (m_recording)
        m_recording->titleSet(id, title);
    title = std::move(text);
    for (TreeObserver* o : m_observers)
        o->titleChanged(id);
}

// --- design matrices ------------------------------------------------------------

const Node* Design::matrixParent(int parentRow) const
{
    const DesignTree& fr = tree(TreeId::FR);
    return parentRow == kNoRow ? fr.root() : fr.nodeAt(parentRow);
}

bool Design::setMatrixCell(int parentRow, MatrixKind kind, int row, int column, CellValue value)
{
    if (parentRow != kNoRow && !validRow(parentRow))
        return false;
    const Node* parent = matrixParent(parentRow);
    const int n = DesignTree::childCount(parent);
    if (row < 0 || column < 0 || row >= n || column >= n || row == column)
        return false;
    const Node* r = parent->children[static_cast<std::size_t>(row)];
    const Node* c = parent->children[static_cast<std::size_t>(column)];
    const CellValue old = m_matrices.set(parent, kind, r, c, value);
    if (old == value)
        return false;
    if (m_recording)
        m_recording->cellsSet({StoredCell{parent, kind, r, c, old}});
    announceMatrices(parent);
    setModified(true);
    return true;
}

void Design::replaceMatrices(MatrixStore&& matrices)
{
    if (m_matrices.empty() && matrices.empty())
        return;
    m_matrices = std::move(matrices);
    announceMatrices(nullptr);
}

void Design::swapCells(std::span<StoredCell> cells)
{
    for (StoredCell& c : cells)
        c.value = m_matrices.set(c.parent, c.kind, c.row, c.column, c.value);
    announceMatrices(nullptr);
}

void Design::announceMatrices(const Node* parent)
{
    for (TreeObserver* o : m_observers)
        o->matricesChanged(parent);
}

void Design::cellsTaken(std::vector<StoredCell>&& cells)
{
    if (cells.empty())
        return;
    if (m_recording)
        m_recording->cellsSet(std::move(cells));
    announceMatrices(nullptr);
}

// A child leaving its parent takes its row and column out of the parent's matrices.
void Design::takeRowAndColumn(const Node* child)
{
    if (m_matrices.empty())
        return;
    std::vector<StoredCell> taken;
    m_matrices.takeChild(child->parent, child, taken);
    cellsTaken(std::move(taken));
}

// A deleted subtree also takes the matrices of every parent inside it, found
// by whichever is shorter: the parents with cells, or the subtree.
void Design::takeMatricesOf(const Node* top)
{
    if (m_matrices.empty())
        return;
    std::vector<StoredCell> taken;
    m_matrices.takeChild(top->parent, top, taken);
    const DesignTree& fr = tree(TreeId::FR);
    if (m_matrices.parentCount() < static_cast<std::size_t>(fr.subtreeSize(top))) {
        for (const Node* p : m_matrices.parents())
            if (fr.isInSubtree(p, top))
                m_matrices.takeParent(p, taken);
    } else {
        std::vector<const Node*> stack{top};
        while (!stack.empty()) {
            const Node* n = stack.back();
            stack.pop_back();
            m_matrices.takeParent(n, taken);
            for (const Node* c : n->children)
                if (!c->children.empty())
                    stack.push_back(c);
        }
    }
    cellsTaken(std::move(taken));
}

// The copy of a subtree gets the matrices inside the original; its own row and
// column in its parent's matrices stay not assessed.
void Design::copyMatrices(const Node* from, const Node* to)
{
    if (m_matrices.empty())
        return;
    std::vector<StoredCell> added;
    std::vector<std::pair<const Node*, const Node*>> stack{{from, to}};
    while (!stack.empty()) {
        const auto [src, dst] = stack.back();
        stack.pop_back();
        if (m_matrices.hasCells(src))
            for (MatrixKind kind : kMatrixKinds)
                for (const IndexedCell& c : m_matrices.indexedCells(src, kind)) {
                    const Node* r = dst->children[c.row];
                    const Node* col = dst->children[c.column];
                    m_matrices.set(dst, kind, r, col, c.value);
                    added.push_back({dst, kind, r, col, CellValue::NotAssessed});
                }
        for (std::size_t i = 0; i < src->children.size(); ++i)
            if (!src->children[i]->children.empty())
                stack.emplace_back(src->children[i], dst->children[i]);
    }
    cellsTaken(std::move(added));
}

// The pasted rows are rows first .. first + rows.size() - 1: their matrices
// come from the copy (well-formed, so every cell fits its parent).
void Design::pasteMatrices(int first, const CopiedRows& rows)
{
    if (rows.matrices.empty())
        return;
    const auto nodes = tree(TreeId::FR).preorder().subspan(static_cast<std::size_t>(first), rows.size());
    std::vector<StoredCell> added;
    for (const CopiedMatrix& m : rows.matrices) {
        const Node* parent = nodes[m.parent];
        m_matrices.reserve(parent, m.kind, m.cells.size());
        for (const IndexedCell& c : m.cells) {
            const Node* r = parent->children[c.row];
            const Node* col = parent->children[c.column];
            m_matrices.set(parent, m.kind, r, col, c.value);
            added.push_back({parent, m.kind, r, col, CellValue::NotAssessed});
        }
    }
    cellsTaken(std::move(added));
}

// --- recording -------------------------------------------------------------------

void Design::startRecording(Joining joining)
{
    m_recording = std::make_unique<EditRecord>(*this);
    for (TreeId id : kAllTrees) {
        m_staleAtStart[static_cast<std::size_t>(index(id))] = tree(id).numbersMayBeStale();
        tree(id).recordInto(m_recording.get(), joining == Joining::Yes);
    }
}

std::unique_ptr<EditRecord> Design::stopRecording()
{
    std::array<bool, kTreeCount> staleNow{};
    for (TreeId id : kAllTrees) {
        staleNow[static_cast<std::size_t>(index(id))] = tree(id).numbersMayBeStale();
        tree(id).recordInto(nullptr, false);
    }
    if (m_recording && !m_recording->empty())
        m_recording->staleFlags(m_staleAtStart, staleNow);
    return std::move(m_recording);
}

void Design::setModified(bool on)
{
    m_modified = on;
    if (on)
        m_backedUp = false;
    for (TreeObserver* o : m_observers)
        o->flagsChanged();
}

void Design::setBackedUp(bool on)
{
    m_backedUp = on;
    for (TreeObserver* o : m_observers)
        o->flagsChanged();
}

void Design::addObserver(TreeObserver* o)
{
    m_observers.push_back(o);
}

void Design::removeObserver(TreeObserver* o)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), o), m_observers.end());
}

void Design::renumber()
{
    eachTree([](DesignTree& t) { t.renumber(); });
}

// --- adding ---------------------------------------------------------------

int Design::addFirstRow()
{
    if (!empty())
        return kNoRow;
    eachTree([](DesignTree& t) { t.appendTopLevel(kNewNodeLabel); });
    renumber();
    setModified(true);
    return 0;
}

int Design::addSiblingBelow(int k)
{
    if (!validRow(k))
        return kNoRow;
    int row = kNoRow;
    eachTree([&](DesignTree& t) {
        Node* parent = t.nodeAt(k)->parent;
        row = t.rowOf(t.insert(parent, DesignTree::childCount(parent), kNewNodeLabel));
    });
    renumber();
    setModified(true);
    return row;
}

int Design::addSiblingAbove(int k)
{
    if (!validRow(k))
        return kNoRow;
    eachTree([&](DesignTree& t) {
        Node* s = t.nodeAt(k);
        t.insert(s->parent, static_cast<int>(s->siblingIndex), kNewNodeLabel);
    });
    renumber();
    setModified(true);
    return k;
}

int Design::addChild(int k)
{
    if (!validRow(k))
        return kNoRow;
    int row = kNoRow;
    eachTree([&](DesignTree& t) {
        Node* s = t.nodeAt(k);
        row = t.rowOf(t.insert(s, DesignTree::childCount(s), kNewNodeLabel));
    });
    renumber();
    setModified(true);
    return row;
}

int Design::addUncle(int k)
{
    if (!validRow(k) || tree(TreeId::FR).levelOf(tree(TreeId::FR).nodeAt(k)) < 2)
        return kNoRow;
    int row = kNoRow;
    eachTree([&](DesignTree& t) {
        Node* grandparent = t.nodeAt(k)->parent->parent;
        row = t.rowOf(t.insert(grandparent, DesignTree::childCount(grandparent), kNewNodeLabel));
    });
    renumber();
    setModified(true);
    return row;
}

// --- removing, reordering, duplicating ----------------------------------------

DeleteResult Design::deleteRow(int k)
{
    if (k <= 0 || !validRow(k))
        return {true, kNoRow};
    // The same remaining row in all three views: next sibling, else previous, else parent.
    const DesignTree& fr = tree(TreeId::FR);
    const Node* s = fr.nodeAt(k);
    int select = k;
    if (!DesignTree::nextSibling(s)) {
        const Node* other = DesignTree::prevSibling(s);
        select = fr.rowOf(other ? other : fr.parentOf(s));
    }
    takeMatricesOf(s);
    eachTree([&](DesignTree& t) { t.remove(t.nodeAt(k)); });
    renumber();
    setModified(true);
    return {false, select};
}

MoveResult Design::moveUp(int k)
{
    if (k <= 0 || !validRow(k))
        return {};
    MoveResult result{true, false, k};
    if (const Node* p = DesignTree::prevSibling(tree(TreeId::FR).nodeAt(k))) {
        result.moved = true;
        result.row = k - tree(TreeId::FR).subtreeSize(p);
    }
    eachTree([&](DesignTree& t) {
        Node* n = t.nodeAt(k);
        if (Node* p = DesignTree::prevSibling(n))
            t.move(n, n->parent, static_cast<int>(p->siblingIndex));
    });
    renumber();
    setModified(true);
    return result;
}

MoveResult Design::moveDown(int k)
{
    if (!validRow(k))
        return {};
    const Node* x = DesignTree::nextSibling(tree(TreeId::FR).nodeAt(k));
    if (!x)
        return {};
    MoveResult result{true, true, k + tree(TreeId::FR).subtreeSize(x)};
    eachTree([&](DesignTree& t) {
        Node* n = t.nodeAt(k);
        t.move(DesignTree::nextSibling(n), n->parent, static_cast<int>(n->siblingIndex));
    });
    renumber();
    setModified(true);
    return result;
}

int Design::duplicate(int k)
{
    if (!validRow(k))
        return kNoRow;
    // The copy keeps the source's texts, numbers included, so renumbering strips
    // each number exactly once; the copy's top gets the suffix.
    int row = kNoRow;
    const Node* source = tree(TreeId::FR).nodeAt(k);
    const Node* frCopy = nullptr;
    eachTree([&](DesignTree& t) {
        Node* s = t.nodeAt(k);
        Node* copy = t.cloneSubtree(s, kCopySuffix);
        Node* parent = s->parent;
        row = t.rowOf(t.insertSubtree(parent, DesignTree::childCount(parent), copy));
        if (t.id() == TreeId::FR)
            frCopy = copy;
    });
    copyMatrices(source, frCopy);
    renumber();
    setModified(true);
    return row;
}

bool Design::drop(int source, int target)
{
    if (!validRow(source) || !validRow(target))
        return false;
    const DesignTree& fr = tree(TreeId::FR);
    const Node* dragged = fr.nodeAt(source);
    const Node* onto = fr.nodeAt(target);
    if (!m_matrices.empty() && dragged->parent != onto && !fr.isInSubtree(onto, dragged))
        takeRowAndColumn(dragged); // a drop out of its parent
    bool moved = false;
    eachTree([&](DesignTree& t) {
        Node* s = t.nodeAt(source);
        Node* n = t.nodeAt(target);
        moved = t.move(s, n, DesignTree::childCount(n)) || moved;
    });
    renumber();
    if (moved)
        setModified(true);
    return moved;
}

// --- cut and paste -------------------------------------------------------------

int Design::paste(int k, const CopiedRows& rows, PastePlace place)
{
    const bool intoEmpty = empty(); // FR is pasted first: ask before
    if (rows.empty() || !rows.wellFormed() || (!intoEmpty && !validRow(k)))
        return kNoRow;
    int first = kNoRow;
    eachTree([&](DesignTree& t) {
        Node* parent = t.root();
        int at = 0;
        if (!intoEmpty) {
            Node* s = t.nodeAt(k);
            parent = place == PastePlace::LastChildren ? s : s->parent;
            at = place == PastePlace::LastChildren ? DesignTree::childCount(s) : static_cast<int>(s->siblingIndex) + 1;
        }
        const std::vector<Node*> tops = t.createDetachedRows(rows.levels, rows.textsOf(t.id()));
        for (std::size_t i = 0; i < tops.size(); ++i)
            t.insertSubtree(parent, at + static_cast<int>(i), tops[i]);
        first = t.rowOf(tops.front());
    });
    pasteMatrices(first, rows);
    renumber();
    setModified(true);
    return first;
}

DeleteResult Design::cut(int k, CopiedRows& rows)
{
    if (k <= 0 || !validRow(k))
        return {true, kNoRow};
    rows = copySubtree(*this, k);
    return deleteRow(k);
}

// A tree text holds one node a line with its level as leading tabs, and a
// NUL ends it: such characters in a label would split or cut the saved tree,
// so a typed or pasted label keeps blanks in their place.
std::string Design::oneLineLabel(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n' || c == '\t' || c == '\0')
            c = ' ';
    return out;
}

void Design::editLabel(TreeId id, int row, std::string_view label)
{
    if (!validRow(row))
        return;
    const std::string_view text = tree(id).nodeAt(row)->text().view();
    std::string full(text.substr(0, labelOffset(text)));
    if (full.empty())
        full = outlineNumberOf(tree(id).nodeAt(row)) + ' ';
    full += label;
    editText(id, row, full);
}

void Design::editText(TreeId id, int row, std::string_view typed)
{
    const std::string text = oneLineLabel(typed);
    if (!validRow(row) || tree(id).nodeAt(row)->text() == text)
        return;
    tree(id).setText(tree(id).nodeAt(row), text);
    setModified(true);
}

} // namespace model
