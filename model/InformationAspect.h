#pragma once
// The information ranges as an aspect of the FR nodes (see RowValueAspect):
// the ranges belong to their row and go where it goes; copied rows carry
// theirs in CopiedRows::ranges.

#include "model/InformationRanges.h"
#include "model/RowValueAspect.h"

namespace model {

class InformationAspect final : public RowValueAspect<RangeStore, CopiedRanges> {
public:
    InformationAspect() : RowValueAspect(&CopiedRows::ranges, &CopiedRanges::ranges) {}

    // The ranges of one node; false, changing nothing, when it holds them already.
    bool setRanges(const Node* node, FrRanges ranges) { return setValue(node, std::move(ranges)); }
};

} // namespace model
