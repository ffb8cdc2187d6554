#pragma once
// The independence rule applied to one design matrix, over its off-diagonal
// cells:
//   incomplete  some cell is not assessed, whatever the others show;
//   uncoupled   no X;
//   decoupled   the X cells form no cycle: the parameters can be set one
//               after another, DP j before DP i whenever cell (i, j) is X;
//   coupled     otherwise: some children affect each other round.
// Children are given by position (0 for the first); iterative throughout, so
// a matrix of any size classifies without deep recursion.

#include "model/MatrixStore.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace model {

enum class Coupling { Incomplete, Uncoupled, Decoupled, Coupled };

// A matrix over more children than this is too wide to show as a grid: the
// pane shows a message instead, the documents list its assessed cells.
inline constexpr int kMostGridRows = 200;

struct Classification {
    Coupling coupling = Coupling::Uncoupled;
    std::uint64_t offDiagonal = 0; // n(n - 1)
    std::uint64_t notAssessed = 0;
    // Decoupled: the order in which to set the parameters, the lowest
    // position first among those free to go.
    std::vector<std::uint32_t> order;
    // Coupled, or incomplete with X cells that already close a loop: each
    // group of two or more children that affect each other round, members in
    // row order, groups ordered by their first member.
    std::vector<std::vector<std::uint32_t>> groups;
};

// `cells`: the assessed off-diagonal cells of an n x n matrix, each once, in any order.
Classification classify(std::uint32_t n, std::span<const IndexedCell> cells);
// The same with the assessed cells counted apart: `assessed` of the n(n-1)
// off-diagonal cells are, and `cells` holds at least every X among them.
Classification classify(std::uint32_t n, std::uint64_t assessed, std::span<const IndexedCell> cells);
// One matrix of a store; an incomplete one is told by its count of cells alone.
Classification classify(const MatrixStore& store, const Node* parent, MatrixKind kind);

// "1.2.3" for child 2 (the third) of "1.2"; "3" at the top level (no parent number).
std::string childNumber(std::string_view parentNumber, std::uint32_t index);

// The classification as a sentence, numbers from the parent's outline number:
//   "Uncoupled"
//   "Decoupled: set DP 1.2, then 1.1, then 1.3"        (PV for a DP-PV matrix)
//   "Coupled: 1.1 and 1.3 affect each other"            (groups joined by "; ")
//   "4 of 6 cells not assessed"
//   "4 of 6 cells not assessed; 1.1 and 1.2 already affect each other"
std::string describe(const Classification& c, MatrixKind kind, std::string_view parentNumber);
// The same with each position named by its own number, numbers[i] for
// position i: the full matrix, whose positions are leaves of many parents.
std::string describe(const Classification& c, MatrixKind kind, std::span<const std::string> numbers);

// "FR-DP" or "DP-PV".
std::string_view kindName(MatrixKind kind);

} // namespace model
