#pragma once
// The information ranges as an aspect of the FR nodes (see NodeAspect): the
// ranges belong to their row and go where it goes. A subtree that goes takes
// its ranges along, a duplicate gets copies of those inside the original,
// copied rows carry theirs (CopiedRows::ranges). Every change is recorded
// with the ranges a node held, so undo gives back exactly those.

#include "model/InformationRanges.h"
#include "model/NodeAspect.h"

#include <span>
#include <utility>
#include <vector>

namespace model {

class InformationAspect final : public NodeAspect {
public:
    const RangeStore& store() const { return m_store; }
    // The ranges of one node; false, changing nothing, when it holds them already.
    bool setRanges(const Node* node, FrRanges ranges);
    // Opening a design: not recorded.
    void replace(RangeStore&& store);

    void subtreeLeaving(const Node* top) override;
    void childLeavingParent(const Node*) override {} // the ranges go with the row
    void subtreeCopied(const Node* from, const Node* to) override;
    void copyRows(std::span<const Node* const> nodes, CopiedRows& rows) const override;
    void pasteRows(std::span<const Node* const> nodes, const CopiedRows& rows) override;
    void treesReplaced() override { replace({}); }

private:
    using Held = std::pair<const Node*, FrRanges>;
    class RangesChange;
    void swapRanges(std::span<Held> held);
    void changed(std::vector<Held>&& before);

    RangeStore m_store;
};

} // namespace model
