#pragma once
// Before/after notifications of the four primitives every command is built of.
// Rows are sibling indexes under `parent` (the tree's hidden root for top-level
// nodes). Empty defaults, so an observer overrides only what it needs.

#include "model/TreeId.h"

#include <span>

namespace model {

class Node;

// Children first..last of `parent`, whose texts changed together.
struct TextRun {
    Node* parent;
    int first;
    int last;
};

class TreeObserver {
public:
    virtual ~TreeObserver() = default;

    virtual void aboutToInsert(TreeId, Node* /*parent*/, int /*row*/) {}
    virtual void inserted(TreeId, Node* /*parent*/, int /*row*/) {}

    virtual void aboutToRemove(TreeId, Node* /*parent*/, int /*row*/) {}
    virtual void removed(TreeId, Node* /*parent*/, int /*row*/) {}

    // destRow is the place in destParent's children as they were before the move.
    virtual void aboutToMove(TreeId, Node* /*srcParent*/, int /*srcRow*/, Node* /*destParent*/, int /*destRow*/) {}
    virtual void moved(TreeId, Node* /*srcParent*/, int /*srcRow*/, Node* /*destParent*/, int /*destRow*/) {}

    virtual void textChanged(TreeId, Node* /*node*/) {}
    // Many texts of one tree changed at once (renumbering): every changed
    // text is in one of the runs of adjacent siblings, announced together.
    virtual void textsChanged(TreeId, std::span<const TextRun> /*runs*/) {}

    // The whole content of a tree is replaced (opening a design).
    virtual void aboutToReset(TreeId) {}
    virtual void reset(TreeId) {}

    // The modified or backed-up flag changed.
    virtual void flagsChanged() {}

    // A column title changed (undo and redo of a title edit).
    virtual void titleChanged(TreeId) {}

    // Cells of the design matrices over `parent`'s children changed; nullptr:
    // of any parent (a structural command, undo, redo, opening a design).
    virtual void matricesChanged(const Node* /*parent*/) {}
};

} // namespace model
