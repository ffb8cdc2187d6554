#pragma once
// What one step of the user changed in a design, recorded while the step ran,
// so that it can be undone and redone exactly. Plain C++: the window puts
// each record on its undo stack.
//
// Every change is recorded as the primitive that made it (a subtree linked
// in or out, a move, a text, the outline numbers a renumbering rewrote, a
// column title, a change of a node aspect such as the design matrices),
// holding only what that primitive changed: a removed subtree
// is moved into the record, never copied, and a renumbering keeps only the
// number prefixes it replaced. Each recorded change is its own inverse:
// applying it swaps the design's state with the state it holds, so undo
// applies the changes last to first, and redo first to last.
//
// Only the model records: the recording calls are private, for the design,
// its trees and its aspects, so every recorded change is one that happened.

#include "model/NodeAspect.h"
#include "model/TreeId.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace model {

class Design;
class DesignTree;
class Node;

// The number prefixes a renumbering replaced, packed: a renumbering of a
// whole large design records hundreds of thousands of them, and a command
// must not cost much more for being recorded. Node i's text now begins with
// `lengths[i]` bytes of number; what stood there before (or after) is
// `prefixes` from ends[i-1] to ends[i].
struct PrefixSwaps {
    std::vector<Node*> nodes;
    std::vector<std::uint32_t> lengths;
    std::vector<std::uint32_t> ends;
    std::string prefixes;

    void add(Node* node, std::uint32_t length, std::string_view other)
    {
        nodes.push_back(node);
        lengths.push_back(length);
        prefixes.append(other);
        ends.push_back(static_cast<std::uint32_t>(prefixes.size()));
    }
    bool empty() const { return nodes.empty(); }
    std::size_t bytes() const
    {
        return nodes.capacity() * sizeof(Node*) + (lengths.capacity() + ends.capacity()) * sizeof(std::uint32_t)
            + prefixes.capacity();
    }
};

class EditRecord {
public:
    ~EditRecord();
    EditRecord(const EditRecord&) = delete;
    EditRecord& operator=(const EditRecord&) = delete;

    bool empty() const { return m_changes.empty(); }
    // Bytes of recorded state (subtrees held, texts, numbers), for the
    // history's memory limit.
    std::size_t bytes() const { return m_bytes; }

    // The design must be in the state right after (for undo) or right before
    // (for redo) this record. The views are told of every change.
    void undo();
    void redo();

    // Appends the changes of a record made right after this one, so that
    // both are undone and redone as one. The later record must have been
    // made joining (Design::Joining::Yes).
    void append(EditRecord&& later);

private:
    friend class Design;
    friend class DesignTree;
    friend class NodeAspect;
    friend class DesignLook;
    explicit EditRecord(Design& design); // made by Design::startRecording

    // --- recording, called by the design's primitives -----------------------
    // Subtrees linked in side by side as children index.. of parent.
    void linked(TreeId tree, Node* parent, int index, std::span<Node* const> tops);
    // The subtree was taken out and is held here from now on.
    void unlinked(TreeId tree, Node* parent, int index, Node* node, std::size_t bytes);
    void moved(TreeId tree, Node* node, Node* fromParent, int fromIndex);
    void textSet(TreeId tree, Node* node, std::string_view before);
    void numbersSet(TreeId tree, PrefixSwaps&& swaps);
    // A renumbering that started from numbers that were all right, with no
    // text set since: undoing the changes before it and renumbering gives
    // those numbers back, so nothing of them need be kept.
    void renumbered(TreeId tree);
    void titleSet(TreeId tree, std::string_view before, std::string_view beforeFull);
    // A change of a node aspect (see NodeAspect), or of the level styles.
    void aspectChanged(std::unique_ptr<AspectChange> change);
    // Whether each tree's numbers may be out of date, before and after.
    void staleFlags(const std::array<bool, kTreeCount>& before, const std::array<bool, kTreeCount>& after);

    // Subtrees side by side, linked in or held here; undo and redo take them
    // out or link them in as one run.
    struct Link { TreeId tree; Node* parent; int index; std::vector<Node*> nodes; bool linked; };
    struct Move { TreeId tree; Node* node; Node* otherParent; int otherIndex; };
    struct Text { TreeId tree; Node* node; std::string other; };
    struct Numbers { TreeId tree; PrefixSwaps swaps; };
    struct Renumbered { TreeId tree; };
    struct Title { TreeId tree; std::string other; std::string otherFull; };
    struct Aspect { std::unique_ptr<AspectChange> change; };
    using Change = std::variant<Link, Move, Text, Numbers, Renumbered, Title, Aspect>;

    void apply(Change& change, bool undoing, std::array<bool, kTreeCount>& renumberAfter);
    void applyStaleFlags(bool undoing);
    static void detachLinked(DesignTree& tree, const std::vector<Node*>& tops);
    bool designAlive() const;

    Design* m_design;
    std::weak_ptr<const int> m_lifetime; // expires when the trees recorded here are gone
    std::vector<Change> m_changes;
    std::array<bool, kTreeCount> m_staleBefore{};
    std::array<bool, kTreeCount> m_staleAfter{};
    bool m_hasStaleFlags = false;
    std::size_t m_bytes = 0;
};

} // namespace model
