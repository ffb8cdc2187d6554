#pragma once
// Texts kept per row beside the three trees, one for each tree's node of the
// row: the notes, and the full labels of the nodes whose label goes beyond
// Windows-1252. Both are UTF-8, keyed by the row's FR node like every aspect
// (see NodeAspect), so they follow their rows through every command, and a
// design that uses neither holds an empty map and nothing per node.
//
// A full label is the text behind the node's outline number; the node's own
// text holds its question form (see Utf8.h), which is what the design file's
// sections, and any program that knows nothing of full labels, see. A full
// label counts only while its question form is still the node's label, so a
// label changed by other means simply shows its own text again.

#include "model/NodeAspect.h"
#include "model/TreeId.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace model {

struct CopiedRows;
struct CopiedRowTexts;

using RowTextArray = std::array<std::string, kTreeCount>; // FR, DP, PV; empty: none

class RowTextStore {
public:
    // The text of the row's node in tree `id`; nullptr when it has none.
    const std::string* find(TreeId id, const Node* frNode) const;
    const RowTextArray* findRow(const Node* frNode) const;
    // Puts the texts on the row (all empty take it off) and returns what it held.
    RowTextArray setRow(const Node* frNode, RowTextArray texts);
    bool empty() const { return m_rows.empty(); }
    std::size_t size() const { return m_rows.size(); }
    void clear() { m_rows.clear(); }
    void reserve(std::size_t n) { m_rows.reserve(n); }
    const std::unordered_map<const Node*, RowTextArray>& all() const { return m_rows; }

private:
    std::unordered_map<const Node*, RowTextArray> m_rows;
};

// One kind of row texts as an aspect: a subtree that goes takes its texts
// along, a duplicate gets copies, copied rows carry them in `member` of
// CopiedRows, and every change is recorded with what the row held.
class RowTextAspect final : public NodeAspect {
public:
    explicit RowTextAspect(std::vector<CopiedRowTexts> CopiedRows::*member) : m_member(member) {}

    const RowTextStore& store() const { return m_store; }
    // The text of one node; false, changing nothing, when it holds it already.
    bool setText(TreeId id, const Node* frNode, std::string text);
    // Opening a design: not recorded.
    void replace(RowTextStore&& store);

    void subtreeLeaving(const Node* top) override;
    void childLeavingParent(const Node*) override {} // the texts go with the row
    void subtreeCopied(const Node* from, const Node* to) override;
    void copyRows(std::span<const Node* const> nodes, CopiedRows& rows) const override;
    void pasteRows(std::span<const Node* const> nodes, const CopiedRows& rows) override;
    void treesReplaced() override { replace({}); }

private:
    using Held = std::pair<const Node*, RowTextArray>;
    class TextsChange;
    void swapTexts(std::span<Held> held);
    void changed(std::vector<Held>&& before);

    std::vector<CopiedRowTexts> CopiedRows::*m_member;
    RowTextStore m_store;
};

// A node's whole text in UTF-8: its number and `fullLabel` when the full
// label still stands for the text's label, otherwise the text itself.
std::string fullNodeText(std::string_view nodeText, const std::string* fullLabel);
// Whether a full label stands for the node text's label.
bool fullLabelStands(std::string_view nodeText, std::string_view fullLabel);

} // namespace model
