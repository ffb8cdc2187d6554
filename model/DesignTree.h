#pragma once
// One design tree: an ordered forest of nodes with pre-order row indexes.
//
// Nodes hang below a hidden root; top-level nodes are its children. Each node
// caches its row index, renewed by one walk on demand after a structural
// change, so rowOf is O(1) between changes and nodeAt a binary search per
// level. The list of all nodes in row order is built only when asked for and
// dropped at the next structural change: it would cost 8 bytes a node.
// Nothing here recurses over the depth of the tree: a chain of a million
// nodes is a legal design.

#include "model/Node.h"
#include "model/TreeId.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace model {

class TreeObserver;

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
    Node* root() const { return m_root.get(); }   // hidden, not a row
    Node* nodeAt(int row) const;                   // row in 0..size()-1; O(depth x log width)
    int rowOf(const Node* node) const;
    // Every node in row order; kept until the next structural change, and
    // nodeAt is O(1) while it is.
    const std::vector<Node*>& preorder() const;

    // --- navigation -------------------------------------------------------
    bool isTopLevel(const Node* n) const { return n->parent == m_root.get(); }
    Node* parentOf(const Node* n) const;           // nullptr for top-level nodes
    static int childCount(const Node* n) { return static_cast<int>(n->children.size()); }
    static Node* prevSibling(const Node* n);
    static Node* nextSibling(const Node* n);
    static Node* lastChild(const Node* n);
    int levelOf(const Node* n) const;              // O(depth)
    int subtreeSize(const Node* n) const;          // node and descendants, O(depth)
    bool isInSubtree(const Node* candidate, const Node* top) const;

    // --- primitives, each announced before and after ----------------------
    // Insert a new node (or a ready-made subtree) as child `index` of parent.
    Node* insert(Node* parent, int index, std::string text);
    Node* insertSubtree(Node* parent, int index, std::unique_ptr<Node> subtree);
    void remove(Node* node);
    // Move before child `index` of newParent (index counted before the move).
    // Refuses (returns false) a move onto the node itself or into its subtree.
    bool move(Node* node, Node* newParent, int index);
    void setText(Node* node, std::string text);

    // Replace the whole content (opening a design); announced as a reset.
    void assign(DesignTree&& other);
    void clear();

    // --- outline numbers --------------------------------------------------
    // Renumbers only when a change since the last renumbering may have made
    // a number wrong; otherwise costs nothing. Texts are rewritten in place.
    void renumber();
    void stripNumbers();
    bool numbersMayBeStale() const { return m_numbersStale; }
    void forceRenumber(); // full pass whatever the mark says (tests, benchmarks)

    // --- building without notifications (readers, copies) -----------------
    Node* appendTopLevel(std::string text) { return insert(m_root.get(), childCount(m_root.get()), std::move(text)); }
    Node* appendChild(Node* parent, std::string text) { return insert(parent, childCount(parent), std::move(text)); }
    // A detached deep copy of a subtree; linear, iterative.
    static std::unique_ptr<Node> cloneSubtree(const Node* top);
    static void destroySubtree(Node* top); // frees top and everything below it

    // --- notification wiring (done by Design) -----------------------------
    void attach(TreeId id, const std::vector<TreeObserver*>* observers);
    TreeId id() const { return m_id; }

private:
    template <typename F> void notify(F&& f) const;
    void linkChild(Node* parent, int index, Node* child);
    void unlinkChild(Node* child);
    static void reindexSiblings(Node* parent, int from);
    void structureChanged(int delta);
    void rebuildRows() const;
    void dropOrder() const;
    template <typename F> void forEachNode(F&& f) const;

    std::unique_ptr<Node> m_root;
    int m_size = 0;
    mutable std::vector<Node*> m_order; // empty unless preorder() was asked for
    mutable bool m_orderValid = true;
    mutable bool m_rowsValid = true;
    bool m_numbersStale = false;
    TreeId m_id = TreeId::FR;
    const std::vector<TreeObserver*>* m_observers = nullptr;
};

} // namespace model
