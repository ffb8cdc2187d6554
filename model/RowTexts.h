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

#include "model/TreeId.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace model {

class Node;

using RowTextArray = std::array<std::string, kTreeCount>; // FR, DP, PV; empty: none

class RowTextStore {
public:
    using Value = RowTextArray;
    static bool isEmpty(const RowTextArray& texts);
    static std::size_t bytesOf(const RowTextArray& texts);

    // The text of the row's node in tree `id`; nullptr when it has none.
    const std::string* find(TreeId id, const Node* frNode) const;
    const RowTextArray* find(const Node* frNode) const;
    // Puts the texts on the row (all empty take it off) and returns what it held.
    RowTextArray set(const Node* frNode, RowTextArray texts);
    bool empty() const { return m_rows.empty(); }
    std::size_t size() const { return m_rows.size(); }
    void clear() { m_rows.clear(); }
    void reserve(std::size_t n) { m_rows.reserve(n); }
    const std::unordered_map<const Node*, RowTextArray>& all() const { return m_rows; }

private:
    std::unordered_map<const Node*, RowTextArray> m_rows;
};

// A node's whole text in UTF-8: its number and `fullLabel` when the full
// label still stands for the text's label, otherwise the text itself.
std::string fullNodeText(std::string_view nodeText, const std::string* fullLabel);
// Whether a full label stands for the node text's label.
bool fullLabelStands(std::string_view nodeText, std::string_view fullLabel);

} // namespace model
