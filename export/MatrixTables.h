#pragma once
// The design matrices as the documents show them: for every parent with an
// assessed cell, in row order (the top level first), its FR-DP and DP-PV
// matrices, each under a caption such as "1.2 FR-DP" ("Top level FR-DP"),
// rows headed by the children's numbers and labels (FR, resp. DP), columns by
// their numbers (DP, resp. PV), the diagonal X, and the classification
// sentence; a level wider than model::kMostGridRows lists its assessed cells
// instead of a grid. A design without an assessed cell has none.
//
// A design with cross cells has the full matrices last, "Full FR-DP" and
// "Full DP-PV": rows headed by the leaf rows' numbers and labels, columns by
// their numbers, an O that a pair above implies as "o", and the
// classification over the leaves; over model::kMostFullLeaves leaves, the
// caption and the classification alone.

#include "export/DesignMatrix.h"
#include "export/ExportDocument.h"

#include <vector>

namespace exporting {

std::vector<DesignMatrix> matrixTables(const ExportSource& source);

} // namespace exporting
