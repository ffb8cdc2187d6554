#pragma once
// Helpers shared by the model tests: building designs from outlines, dumping
// trees back to outlines, the invariant checks and a recording observer.
//
// An outline is one string per row in pre-order, its level given by the number
// of leading spaces: {"a", " b", " c", "d"} is a top-level a with children b
// and c, followed by a top-level d.
//
// Partner tags: a design built with tagged() holds "a" in FR, "a'" in DP and
// "a''" in PV, so that partnersHold() can tell whether every node row still
// holds the three nodes that belonged together.

#include "model/Design.h"
#include "model/TreeObserver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testsupport {

using Outline = std::vector<std::string>;

// Builds one tree from an outline (texts as they stand, not renumbered).
void buildTree(model::DesignTree& tree, const Outline& outline);

// Fills an empty design: FR gets the outline, DP and PV the same outline with
// one and two apostrophes behind the first word of every label.
void buildTagged(model::Design& design, const Outline& outline);

// The tree as an outline of its texts.
Outline outlineOf(const model::DesignTree& tree);
Outline outlineOf(const model::Design& design, model::TreeId id = model::TreeId::FR);

// Adds `primes` apostrophes behind the first word (the partner tag), leaving
// new-node labels alone.
std::string partnerText(const std::string& frText, int primes);

// Every tree is consistent in itself (parent links, sibling indexes, row
// cache against an independent pre-order walk, size), and the three trees
// have the same shape.
::testing::AssertionResult shapeHolds(const model::Design& design);
::testing::AssertionResult treeIsConsistent(const model::DesignTree& tree);

// Every node row holds partner tags (FR x, DP x', PV x'').
::testing::AssertionResult partnersHold(const model::Design& design);

// A deep copy of a tree, built through the public primitives.
void copyTree(const model::DesignTree& from, model::DesignTree& to);

// Records every notification as a line such as "FR aboutToMove 3 0 -> 3 2":
// parents are given by row index (-1 for the hidden root), rows are sibling
// indexes. Row indexes of parents are looked up when the call arrives.
class RecordingObserver : public model::TreeObserver {
public:
    explicit RecordingObserver(const model::Design& design) : m_design(design) {}

    std::vector<std::string> lines;

    // A run of more than one row reads "first..last".
    void aboutToInsert(model::TreeId t, model::Node* p, int f, int l) override { log(t, "aboutToInsert", p, f, l); }
    void inserted(model::TreeId t, model::Node* p, int f, int l) override { log(t, "inserted", p, f, l); }
    void aboutToRemove(model::TreeId t, model::Node* p, int f, int l) override { log(t, "aboutToRemove", p, f, l); }
    void removed(model::TreeId t, model::Node* p, int f, int l) override { log(t, "removed", p, f, l); }
    void aboutToMove(model::TreeId t, model::Node* sp, int sr, model::Node* dp, int dr) override;
    void moved(model::TreeId t, model::Node* sp, int sr, model::Node* dp, int dr) override;
    void textChanged(model::TreeId t, model::Node* n) override;
    void textsChanged(model::TreeId t, std::span<const model::TextRun> runs) override;
    void aboutToReset(model::TreeId t) override { lines.push_back(name(t) + " aboutToReset"); }
    void reset(model::TreeId t) override { lines.push_back(name(t) + " reset"); }
    void flagsChanged() override { lines.push_back("flagsChanged"); }

private:
    static std::string name(model::TreeId t);
    std::string rowText(model::TreeId t, const model::Node* parent) const;
    void log(model::TreeId t, const char* what, model::Node* parent, int first, int last);
    void logMove(model::TreeId t, const char* what, model::Node* sp, int sr, model::Node* dp, int dr);

    const model::Design& m_design;
};

} // namespace testsupport
