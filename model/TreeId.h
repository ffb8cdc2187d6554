#pragma once
// The three design trees of a design, in the order every command visits them.

#include <array>

namespace model {

enum class TreeId { FR = 0, DP = 1, PV = 2 };

inline constexpr int kTreeCount = 3;
inline constexpr std::array<TreeId, kTreeCount> kAllTrees = {TreeId::FR, TreeId::DP, TreeId::PV};

inline constexpr int index(TreeId t) { return static_cast<int>(t); }

} // namespace model
