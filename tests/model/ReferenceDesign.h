#pragma once
// A second, deliberately plain implementation of the design commands, used to
// check the real one: the rows are a flat pre-order list of levels with three
// texts each, a subtree is a run of rows deeper than its first, and
// renumbering always strips and rebuilds every number with one counter per
// level. Slow and simple; nothing recursive.
//
// Design matrices are dense here: every row (and the top level) carries its
// two matrices over its children as n x n values (0 not assessed, 1 X, 2 O),
// which travel with the row and are reshaped by each command's plain rule.
// A row's information ranges are stood for by a number, its mark (0: none),
// which travels with the row the same way.

#include "model/TreeId.h"

#include <array>
#include <string>
#include <vector>

namespace testsupport {

class ReferenceDesign {
public:
    int size() const { return static_cast<int>(m_level.size()); }
    int level(int row) const { return m_level[static_cast<std::size_t>(row)]; }
    const std::string& text(model::TreeId t, int row) const;

    // The same commands and answers as model::Design (kNoRow = -1).
    int addFirstRow();
    int addSiblingBelow(int k);
    int addSiblingAbove(int k);
    int addChild(int k);
    int addUncle(int k);
    int deleteRow(int k, bool& refused);         // returns the row to select
    int moveUp(int k, bool& acted, bool& moved); // returns the selected row afterwards
    int moveDown(int k, bool& acted, bool& moved);
    int duplicate(int k);
    bool drop(int source, int target);
    bool editText(model::TreeId t, int row, const std::string& text); // true when it changed
    void renumber();

    // Matrices of the children of `parentRow` (-1: the top level); kind 0 FR-DP, 1 DP-PV.
    int childCount(int parentRow) const;
    int cell(int parentRow, int kind, int i, int j) const;
    bool setCell(int parentRow, int kind, int i, int j, int value); // true when it changed
    int assessedCells() const; // off-diagonal cells not 0, over the whole design

    int mark(int row) const { return m_dense[static_cast<std::size_t>(row)].mark; }
    void setMark(int row, int mark) { m_dense[static_cast<std::size_t>(row)].mark = mark; }

    bool modified = false;

private:
    bool valid(int k) const { return k >= 0 && k < size(); }
    int subtreeEnd(int k) const;  // first row after k's subtree
    int groupEnd(int k) const;    // first row after the subtrees of k and all its later siblings
    int parentRow(int k) const;   // -1 for top-level rows
    int prevSibling(int k) const; // -1 when none
    int nextSibling(int k) const; // -1 when none
    void insertRow(int at, int level);
    void rotate(int first, int middle, int last); // rows [middle, last) go before [first, middle)
    int siblingIndex(int k) const;

    // Two n x n matrices over one row's children, and the row's mark.
    struct Dense {
        int n = 0;
        int mark = 0;
        std::array<std::vector<int>, 2> cells;
        // Child p of the result is child from[p] before (-1: a new child, not assessed).
        void reshape(const std::vector<int>& from);
        void insert(int at);
        void erase(int at);
        void swap(int a, int b);
        void moveToEnd(int at);
    };
    Dense& dense(int parentRow) { return parentRow < 0 ? m_top : m_dense[static_cast<std::size_t>(parentRow)]; }
    const Dense& dense(int parentRow) const { return parentRow < 0 ? m_top : m_dense[static_cast<std::size_t>(parentRow)]; }

    std::vector<Dense> m_dense;
    Dense m_top;
    std::vector<int> m_level;
    std::array<std::vector<std::string>, model::kTreeCount> m_text;
};

} // namespace testsupport
