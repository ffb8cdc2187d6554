#pragma once
// The designs of about 100,000 rows the model benchmarks run on, and the rows
// in the middle of them that commands act on.
//
//   wide (arg 0): 10 top-level nodes x 100 children x 99 grandchildren
//   deep (arg 1): 1,000 top-level chains, each 100 levels deep
//   wide with matrices (arg 2): the wide shape, every matrix assessed along
//     a band beside its diagonal (about 400,000 cells in 1,011 matrix pairs)

#include "model/Design.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace bench {

using model::Design;
using model::DesignTree;
using model::Node;
using model::TreeId;

inline const char* const kLabels[] = {"Function", "Parameter", "Variable"};

inline std::unique_ptr<Design> wideDesign(int tops, int children, int grandchildren)
{
    auto d = std::make_unique<Design>();
    for (TreeId id : model::kAllTrees) {
        DesignTree& t = d->tree(id);
        const std::string label = kLabels[model::index(id)];
        for (int i = 0; i < tops; ++i) {
            Node* top = t.appendTopLevel(label);
            for (int j = 0; j < children; ++j) {
                Node* c = t.appendChild(top, label);
                for (int k = 0; k < grandchildren; ++k)
                    t.appendChild(c, label);
            }
        }
    }
    d->renumber();
    return d;
}

inline std::unique_ptr<Design> deepDesign(int chains, int depth)
{
    auto d = std::make_unique<Design>();
    for (TreeId id : model::kAllTrees) {
        DesignTree& t = d->tree(id);
        for (int i = 0; i < chains; ++i) {
            Node* n = t.root();
            for (int j = 0; j < depth; ++j)
                n = t.appendChild(n, kLabels[model::index(id)]);
        }
    }
    d->renumber();
    return d;
}

// Cells (i, i - 1) X and (i - 1, i) O in both matrices of every parent.
inline void assessBands(Design& d)
{
    for (int row = model::kNoRow; row < d.rowCount(); ++row) {
        const int n = static_cast<int>(d.matrixParent(row)->children.size());
        for (model::MatrixKind kind : model::kMatrixKinds)
            for (int i = 1; i < n; ++i) {
                d.setMatrixCell(row, kind, i, i - 1, model::CellValue::X);
                d.setMatrixCell(row, kind, i - 1, i, model::CellValue::O);
            }
    }
}

inline std::unique_ptr<Design> design(const benchmark::State& state)
{
    if (state.range(0) == 1)
        return deepDesign(1000, 100);
    auto d = wideDesign(10, 100, 99);
    if (state.range(0) == 2)
        assessBands(*d);
    return d;
}

// The rows a command acts on, in the middle of the design.
struct Places {
    int top;      // a top-level node with later and earlier siblings
    int child;    // a level-1 node (wide) / a node half way down a chain (deep)
    int leaf;     // a level-2 leaf (wide) / a node at level 60 (deep)
    int target;   // where a drop goes: a level-1 node in another subtree
};

inline Places places(const Design& d, bool deep)
{
    const DesignTree& t = d.tree(TreeId::FR);
    const Node* root = t.root();
    if (!deep) {
        const Node* top = root->children[5];
        return {t.rowOf(top), t.rowOf(top->children[50]), t.rowOf(top->children[50]->children[49]),
                t.rowOf(root->children[3]->children[10])};
    }
    const int chain = t.rowOf(root->children[500]);
    return {chain, chain + 50, chain + 60, t.rowOf(root->children[300]) + 50};
}

} // namespace bench
