#pragma once
// One design tree: an ordered forest of nodes with pre-order row indexes.
//
// Nodes hang below a hidden root; top-level nodes are its children. Row
// indexes come from a pre-order cache: each primitive splices what it
// changed into it, and the readers, which build a tree in bulk, have it
// rebuilt on demand; lookups are O(1). Nothing here recurses over the
// depth of the tree: a chain of a million nodes is a legal design. Nodes come
// from the tree's pool, and texts read from a file stay in the file's bytes,
// which the tree keeps alive.

#include "model/Node.h"
#include "model/NodePool.h"
#include "model/TreeId.h"

#include <functional>
#include <utility>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace model {

class TreeObserver;
class EditRecord;
struct PrefixSwaps;
struct TextRun;

class DesignTree {
public:
    DesignTree();
    ~DesignTree();
    DesignTree(DesignTree&& other) noexcept;
    DesignTree& operator=(DesignTree&& other) noexcept;
    DesignTree(const DesignTree&) = delete;
    DesignTree& operator=(const DesignTree&) = delete;

    // --- size and rows ----------------------------------------------------
    int size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    // A const tree hands out const nodes: what was only read stays unchanged.
    const Node* root() const { return m_root.get(); } // hidden, not a row
    Node* root() { return m_root.get(); }
    const Node* nodeAt(int row) const;             // row in 0..size()-1
    Node* nodeAt(int row) { return const_cast<Node*>(std::as_const(*this).nodeAt(row)); }
    int rowOf(const Node* node) const;
    std::span<const Node* const> preorder() const; // every node in row order

    // --- navigation -------------------------------------------------------
    bool isTopLevel(const Node* n) const { return n->parent == m_root.get(); }
    const Node* parentOf(const Node* n) const;     // nullptr for top-level nodes
    Node* parentOf(Node* n) { return const_cast<Node*>(std::as_const(*this).parentOf(n)); }
    static int childCount(const Node* n) { return static_cast<int>(n->children.size()); }
    static const Node* prevSibling(const Node* n);
    static Node* prevSibling(Node* n) { return const_cast<Node*>(prevSibling(static_cast<const Node*>(n))); }
    static const Node* nextSibling(const Node* n);
    static Node* nextSibling(Node* n) { return const_cast<Node*>(nextSibling(static_cast<const Node*>(n))); }
    static const Node* lastChild(const Node* n);
    int maxLevel() const;                          // deepest level, -1 when empty; linear
    int levelOf(const Node* n) const;              // O(depth)
    int subtreeSize(const Node* n) const;          // node and descendants, O(depth)
    bool isInSubtree(const Node* candidate, const Node* top) const;

    // --- primitives, each announced before and after ----------------------
    // Insert a new node (or a detached subtree of this tree) as child `index` of parent.
    Node* insert(Node* parent, int index, std::string_view text);
    Node* insertSubtree(Node* parent, int index, Node* detached);
    // Links detached subtrees of this tree in side by side, as children
    // index.. of parent, announced as one run (a paste, the undo of a cut).
    void insertRun(Node* parent, int index, std::span<Node* const> detachedTops);
    // Removes a node with its subtree: destroyed, or held by the edit record
    // being made, which can give it back.
    void remove(Node* node);
    // Takes a node with its subtree out, announced as a removal, and hands it
    // to the caller, who links it in again or destroys it (undo and redo).
    Node* detach(Node* node);
    // Children first..first+count-1 of parent taken out as one run, with
    // their subtrees, and handed to the caller (the undo of a paste).
    std::vector<Node*> detachRun(Node* parent, int first, int count);
    // Move before child `index` of newParent (index counted before the move).
    // Refuses (returns false) a move onto the node itself or into its subtree.
    bool move(Node* node, Node* newParent, int index);
    void setText(Node* node, std::string_view text);

    // Replace the whole content (opening a design); announced as a reset.
    void assign(DesignTree&& other);
    void clear();

    // --- outline numbers --------------------------------------------------
    // Renumbers only where a change since the last renumbering may have made
    // a number wrong (the later siblings of a row linked in, taken out or
    // moved, with their subtrees; a text set); otherwise costs nothing. Texts
    // are rewritten in place.
    void renumber();
    // renumber() of each tree in turn, the walks of a large design side by side.
    static void renumberSideBySide(std::span<DesignTree* const> trees);
    void stripNumbers();
    bool numbersMayBeStale() const { return m_numbersStale || !m_marks.empty(); }
    void setNumbersMayBeStale(bool stale) // undo and redo restore it
    {
        m_numbersStale = stale;
        m_marks.clear();
    }
    // Puts back number prefixes a renumbering replaced, announced as one
    // renumbering; each swap then holds the prefix it replaced (undo and redo).
    void swapPrefixes(PrefixSwaps& swaps);
    // The whole pass, whatever the marks say: every number prefix that is not
    // already right is rewritten and announced, and the marks are cleared.
    // Any renumbering records this way: a recording edit record gets the
    // replaced prefixes when the numbers were not right as recording began,
    // else only a "renumbered" mark: undoing the rest and renumbering where
    // the undone changes mark gives those right numbers back.
    void forceRenumber();

    // --- building (a tree not yet shown has no observers) -------------------
    Node* appendTopLevel(std::string_view text) { return insert(m_root.get(), childCount(m_root.get()), text); }
    Node* appendChild(Node* parent, std::string_view text) { return insert(parent, childCount(parent), text); }
    // Readers: the text stays where it is, in bytes that `keeper` keeps alive.
    void adoptBuffer(std::shared_ptr<const void> keeper);
    Node* appendBorrowed(Node* parent, std::string_view text) // parent: root() for top level
    {
        Node* node = m_pool.take();
        node->m_text.borrow(text);
        node->parent = parent;
        node->siblingIndex = static_cast<std::uint32_t>(parent->children.size());
        parent->children.push_back(node, m_childArena);
        structureChanged(1);
        return node;
    }
    // Moves every top-level node of `other` behind the last top-level node
    // here, together with the storage they live in, and leaves `other` empty:
    // a reader may build one tree in pieces side by side. Not announced.
    void appendTree(DesignTree&& other);
    // A detached deep copy of a subtree, in this tree's pool, `topSuffix`
    // appended to the copy of its top; linear, iterative.
    Node* cloneSubtree(const Node* top, std::string_view topSuffix = {});
    Node* createDetached(std::string_view text);
    // Detached subtrees built from rows in row order, each given by its level
    // (0 for a top, at most one deeper than the row before) and its text: the
    // tops in order, in this tree's pool (a paste); linear, iterative.
    std::vector<Node*> createDetachedRows(std::span<const std::uint32_t> levels, std::span<const std::string> texts);
    void destroySubtree(Node* top); // gives top and everything below it back to the pool

    // --- notification wiring and recording (done by Design) ---------------
    void attach(TreeId id, const std::vector<TreeObserver*>* observers);
    // nullptr: not recording. `keepEveryNumber`: a renumbering records every
    // number it replaces, even when the numbers were right before.
    void recordInto(EditRecord* record, bool keepEveryNumber)
    {
        m_record = record;
        m_numbersRightWhenRecordingStarted = !numbersMayBeStale() && !keepEveryNumber;
    }
    TreeId id() const { return m_id; }

private:
    template <typename F> void notify(F&& f) const;
    void linkChild(Node* parent, int index, Node* child);
    void unlinkChild(Node* child);
    static void reindexSiblings(Node* parent, int from);
    void structureChanged(int delta) // in bulk: the row cache is rebuilt when next asked
    {
        m_size += delta;
        m_rowsValid = false;
        m_numbersStale = true;
    }
    // A primitive's change, spliced into the row cache when it holds.
    std::optional<std::size_t> rowAt(const Node* parent, int index) const;
    void rowsInserted(std::size_t at, std::span<Node* const> tops, int count);
    void rowsErased(std::size_t at, int count);
    void rowsMoved(std::size_t from, int count, std::size_t to);
    void setRows(std::size_t first, std::size_t end);
    // Where numbers may have gone wrong: parent's children from `from` on,
    // with their subtrees, or (from < 0) one node's own text.
    struct NumberMark { Node* node; int from; };
    void markBelow(Node* parent, int from);
    void markText(Node* node);
    void dropMarksIn(std::size_t firstRow, int count);
    struct Renumbering;
    void renumberChildren(Node* parent, std::size_t from, std::string number, Renumbering& r);
    void renumberOne(Node* node, Renumbering& r);
    void walkNumbers(Renumbering& r);
    void walkAllNumbers(Renumbering& r);
    void walkMarkedNumbers(Renumbering& r);
    void finishRenumbering(Renumbering& r);
    void swapContent(DesignTree& other) noexcept;
    void rebuildRows() const;
    const std::vector<Node*>& rows() const;
    void announceTexts(std::span<const TextRun> runs);
    void unlinkAnnounced(Node* parent, int first, int count, int nodes);
    static std::size_t subtreeBytes(const Node* top, int& count);

    NodePool m_pool;
    ChildArena m_childArena; // the nodes' child lists
    std::vector<std::shared_ptr<const void>> m_buffers; // what borrowed texts point into
    std::unique_ptr<Node> m_root;
    int m_size = 0;
    mutable std::vector<Node*> m_order;
    mutable bool m_rowsValid = true;
    bool m_numbersStale = false; // any number may be wrong
    std::vector<NumberMark> m_marks; // else only these may be
    // Set once any text may have storage of its own; until then (a design
    // only read and looked at) freeing the tree need not visit its nodes.
    bool m_textsMayOwn = false;
    TreeId m_id = TreeId::FR;
    const std::vector<TreeObserver*>* m_observers = nullptr;
    EditRecord* m_record = nullptr;
    // While recording: the numbers were right when it started, and no text
    // was set since, so a renumbering need not record what it replaces.
    bool m_numbersRightWhenRecordingStarted = false;
};

} // namespace model
