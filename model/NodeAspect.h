#pragma once
// State a design keeps per FR node beside the three trees (the design
// matrices are one): an aspect. The structure commands know no aspect by
// name; each tells the design's list of aspects once, at its one point, what
// happens to the nodes, and every aspect follows in its own way:
//
//   Delete, Cut       subtreeLeaving(top)         top and everything below go
//   a drop elsewhere  childLeavingParent(child)   child moves, its subtree with it
//                     subtreeArrived(child)       ... and is linked in at its new place
//   Duplicate         subtreeCopied(from, to)     `to` is the copy, linked in
//   copy, Cut         copyRows(nodes, rows)       what travels in CopiedRows
//   Paste             pasteRows(nodes, rows)      put on the rows just linked in
//   opening a design  treesReplaced()             every node is new
//
// The nodes of copyRows and pasteRows are the FR nodes of the copied rows,
// in row order. Every hook runs while the trees have the same shape.
//
// An aspect records each change of its state as an AspectChange in the step
// being recorded (record()), and the edit record undoes and redoes it like
// any other change; it tells the design that it changed (noteChanged()), so
// that the step's end reports it to the observers.

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace model {

class Design;
class DesignTree;
class Node;
class TreeObserver;
struct CopiedRows;

// One recorded change of an aspect, its own inverse: apply() swaps the
// aspect's state with the state held here, so undo and redo make the same call.
class AspectChange {
public:
    virtual ~AspectChange() = default;
    virtual void apply() = 0;
    virtual std::size_t bytes() const = 0; // recorded state, for the history's memory limit
};

class NodeAspect {
public:
    NodeAspect() = default;
    NodeAspect(const NodeAspect&) = delete;
    NodeAspect& operator=(const NodeAspect&) = delete;
    virtual ~NodeAspect() = default;

    virtual void subtreeLeaving(const Node* top) = 0;
    virtual void childLeavingParent(const Node* child) = 0;
    // After a drop out of its parent, the trees of the same shape again; most
    // aspects have nothing to do here.
    virtual void subtreeArrived(const Node* /*top*/) {}
    virtual void subtreeCopied(const Node* from, const Node* to) = 0;
    virtual void copyRows(std::span<const Node* const> nodes, CopiedRows& rows) const = 0;
    virtual void pasteRows(std::span<const Node* const> nodes, const CopiedRows& rows) = 0;
    // Not recorded: opening a design starts a new history.
    virtual void treesReplaced() = 0;

protected:
    const Design& design() const { return *m_design; }
    const DesignTree& frTree() const; // the design's FR tree, for aspects written as templates
    bool recording() const;
    // The design is told the aspect changed; `change`, when given, goes into
    // the step being recorded (dropped when nothing is recorded).
    void record(std::unique_ptr<AspectChange> change);
    void noteChanged();
    const std::vector<TreeObserver*>& observers() const;

private:
    friend class AspectList;
    Design* m_design = nullptr;
};

// The design's aspects, each told of a structural change by one call.
class AspectList {
public:
    void add(NodeAspect& aspect, Design& design);

    void subtreeLeaving(const Node* top) { each([&](NodeAspect& a) { a.subtreeLeaving(top); }); }
    void childLeavingParent(const Node* child) { each([&](NodeAspect& a) { a.childLeavingParent(child); }); }
    void subtreeArrived(const Node* top) { each([&](NodeAspect& a) { a.subtreeArrived(top); }); }
    void subtreeCopied(const Node* from, const Node* to) { each([&](NodeAspect& a) { a.subtreeCopied(from, to); }); }
    void copyRows(std::span<const Node* const> nodes, CopiedRows& rows) const
    {
        for (const NodeAspect* a : m_aspects)
            a->copyRows(nodes, rows);
    }
    void pasteRows(std::span<const Node* const> nodes, const CopiedRows& rows)
    {
        each([&](NodeAspect& a) { a.pasteRows(nodes, rows); });
    }
    void treesReplaced() { each([](NodeAspect& a) { a.treesReplaced(); }); }

private:
    template <typename F> void each(F&& f)
    {
        for (NodeAspect* a : m_aspects)
            f(*a);
    }
    std::vector<NodeAspect*> m_aspects;
};

} // namespace model
