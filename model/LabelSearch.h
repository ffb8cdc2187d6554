#pragma once
// Find: a search over the labels of all three trees and the notes of their
// nodes. Case is ignored for every Windows-1252 letter that has two cases
// (see foldCp1252), so "é" finds "É", also in UTF-8; any other character is
// found as it is. The outline number in front of a label is not searched. A
// label kept in full beside its tree (see RowTexts.h) is searched in full,
// so "ΔT" finds the label shown as "ΔT", and "?" does not find it.

#include "model/TreeId.h"

#include <string>
#include <string_view>
#include <vector>

namespace model {

class Design;

// One label, or one node's note, that holds the query: row and column.
struct FoundLabel {
    int row;
    TreeId tree;
    bool inNote = false; // the node's note holds it (its label may as well: a match of its own)
    friend bool operator==(const FoundLabel&, const FoundLabel&) = default;
};

// Row order, FR before DP before PV within a row, a label before its node's note.
bool foundBefore(const FoundLabel& a, const FoundLabel& b);

class LabelSearch {
public:
    explicit LabelSearch(std::string_view query = {}); // Windows-1252 bytes, as typed
    // The query as typed in UTF-8; one beyond Windows-1252 finds only full
    // labels and notes.
    static LabelSearch ofUtf8(std::string_view utf8);
    bool empty() const { return m_foldedUtf8.empty(); }
    std::size_t querySize() const { return m_folded.size(); } // in Windows-1252 bytes
    std::size_t utf8Size() const { return m_foldedUtf8.size(); }

    // Where the query first occurs in the label of `text` (Windows-1252), as
    // an offset into `text`, or npos (always for an empty query).
    std::size_t findIn(std::string_view text) const;
    // Where it first occurs in UTF-8 text from byte `from` on, as a byte
    // offset; the match is utf8Size() bytes long.
    std::size_t findInUtf8(std::string_view utf8, std::size_t from = 0) const;

    // Every label and note that holds the query, in row order, FR before DP
    // before PV within a row, a label before its node's note. Linear in the
    // bytes of the labels and notes.
    std::vector<FoundLabel> findAll(const Design& design) const;
    // The same among `candidates` only (those that held a shorter query this
    // one begins with: typing narrows the last result).
    std::vector<FoundLabel> findAmong(const Design& design, const std::vector<FoundLabel>& candidates) const;
    // Whether every label holding this query holds `shorter` too.
    bool narrows(const LabelSearch& shorter) const;

private:
    bool labelHolds(const Design& design, TreeId id, int row, std::string& scratch) const;
    bool noteHolds(const Design& design, TreeId id, int row, std::string& scratch) const;
    void findInNotes(const Design& design, std::vector<FoundLabel>& found) const;

    std::string m_folded;     // Windows-1252; empty when the query goes beyond it
    std::string m_foldedUtf8; // the same query in UTF-8
    std::string m_firstBytes; // every byte that folds to the query's first
};

} // namespace model
