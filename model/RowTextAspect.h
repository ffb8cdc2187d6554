#pragma once
// The notes, or the full labels, as an aspect of the rows (see RowTexts.h
// and RowValueAspect.h): three texts per row, one for each tree's node.

#include "model/RowTexts.h"
#include "model/RowValueAspect.h"

namespace model {

class RowTextAspect : public RowValueAspect<RowTextStore, CopiedRowTexts> {
public:
    explicit RowTextAspect(std::vector<CopiedRowTexts> CopiedRows::*copied)
        : RowValueAspect(copied, &CopiedRowTexts::texts)
    {
    }

    // The text of the row's node in tree `id`; false, changing nothing, when
    // it holds it already.
    bool setText(TreeId id, const Node* frNode, std::string text)
    {
        RowTextArray row;
        if (const RowTextArray* held = store().find(frNode))
            row = *held;
        row[static_cast<std::size_t>(index(id))] = std::move(text);
        return setValue(frNode, std::move(row));
    }
};

// The full labels: a duplicate's top text gets a suffix behind its label, and
// so does its full label, which would otherwise no longer stand for it.
class FullLabelAspect final : public RowTextAspect {
public:
    FullLabelAspect() : RowTextAspect(&CopiedRows::fullLabels) {}
    void subtreeCopied(const Node* from, const Node* to) override;
};

} // namespace model
