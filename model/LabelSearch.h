#pragma once
// Find: a search over the labels of all three trees. Case is ignored for
// every Windows-1252 letter that has two cases (see foldCp1252), so "é"
// finds "É"; the outline number in front of a label is not searched.

#include "model/TreeId.h"

#include <string>
#include <string_view>
#include <vector>

namespace model {

class Design;

// One label that holds the query: row and column.
struct FoundLabel {
    int row;
    TreeId tree;
    friend bool operator==(const FoundLabel&, const FoundLabel&) = default;
};

class LabelSearch {
public:
    explicit LabelSearch(std::string_view query = {}); // Windows-1252 bytes, as typed
    bool empty() const { return m_folded.empty(); }
    std::size_t querySize() const { return m_folded.size(); }

    // Where the query first occurs in the label of `text`, as an offset into
    // `text`, or npos (always for an empty query).
    std::size_t findIn(std::string_view text) const;

    // Every label that holds the query, in row order, FR before DP before PV
    // within a row. Linear in the bytes of the labels.
    std::vector<FoundLabel> findAll(const Design& design) const;
    // The same among `candidates` only (those that held a shorter query this
    // one begins with: typing narrows the last result).
    std::vector<FoundLabel> findAmong(const Design& design, const std::vector<FoundLabel>& candidates) const;
    // Whether every label holding this query holds `shorter` too.
    bool narrows(const LabelSearch& shorter) const;

private:
    std::string m_folded;
    std::string m_firstBytes; // every byte that folds to the query's first
};

} // namespace model
