#pragma once
// What a design tells the parts of the program that show it. Two kinds:
//
// - before/after pairs of the four primitives every command is built of, for
//   the item models over the trees (ui::TreeAdapter), which must follow each
//   primitive as it happens. Rows are sibling indexes under `parent` (the
//   tree's hidden root for top-level nodes); nodes linked in or taken out
//   side by side (a paste and its undo) come as one run first..last, so a
//   view relays itself out once for all of them. The trees may differ in
//   shape between two of them.
// - stepFinished, once at the end of a whole command (or undo, redo, opening
//   a design), when the three trees have the same shape again: the one to
//   use for "something changed, look again".
//
// Empty defaults, so an observer overrides only what it needs.

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

// What a whole command changed, coarsely.
struct StepChanges {
    enum Bit : unsigned {
        Structure = 1u << 0, // nodes inserted, removed or moved
        Texts = 1u << 1,     // labels (a text set)
        Numbers = 1u << 2,   // outline numbers only (a renumbering)
        Titles = 1u << 3,    // column titles
        Aspects = 1u << 4,   // state kept per node: design matrices, ...
        Flags = 1u << 5,     // the modified or backed-up flag
        Replaced = 1u << 6,  // whole trees replaced (opening a design)
        Looks = 1u << 7,     // level styles or the header state the trees are drawn in
    };
    unsigned bits = 0;

    bool any() const { return bits != 0; }
    bool has(unsigned mask) const { return (bits & mask) != 0; }
};

class TreeObserver {
public:
    virtual ~TreeObserver() = default;

    virtual void aboutToInsert(TreeId, Node* /*parent*/, int /*first*/, int /*last*/) {}
    virtual void inserted(TreeId, Node* /*parent*/, int /*first*/, int /*last*/) {}

    virtual void aboutToRemove(TreeId, Node* /*parent*/, int /*first*/, int /*last*/) {}
    virtual void removed(TreeId, Node* /*parent*/, int /*first*/, int /*last*/) {}

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

    // A level style (`level`; -1: any of them) or the current header's level
    // records changed: what the rows are drawn in may differ.
    virtual void levelStylesChanged(int /*level*/) {}

    // A whole command is over; it changed what `changes` says (never nothing).
    virtual void stepFinished(const StepChanges& /*changes*/) {}
};

} // namespace model
